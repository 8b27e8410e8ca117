#pragma once

#include "store/CustRecord.h"

#include <array>

class QAction;
class QButtonGroup;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class QWidget;

namespace plx {

struct CompanyField;

// The controls of the ordering-company window (発注企業情報) and their layout:
// the menus, the protocol choice and company list on the left, the company's
// fields with ＯＫ/ｷｬﾝｾﾙ on the right. Building them gives every control its
// object name, caption, size and place in the tab order; a field's control is
// made from its row of the company field table (CompanyFields.h), and only
// its place in the layout is written here. The window connects them to its
// session afterwards.
struct CustomerWidgets
{
    // Builds the controls into `window`, which becomes their parent and gets
    // the layout and the menu bar.
    void build(QDialog& window);

    // The typed field's box, the choice's buttons, the code field's list.
    QLineEdit* box(CustField field) const { return m_boxes[index(field)]; }
    QButtonGroup* choice(CustField field) const { return m_choices[index(field)]; }
    QComboBox* codeList(CustField field) const { return m_codeLists[index(field)]; }
    // The control a field's focus goes to: its box or list, a choice's first
    // button.
    QWidget* focusTarget(const CompanyField& row) const;

    // ﾌｧｲﾙ and ﾍﾙﾌﾟ menus.
    QAction* newAction = nullptr;     // 新規作成
    QAction* changeAction = nullptr;  // 変更
    QAction* deleteAction = nullptr;  // 削除
    QAction* closeAction = nullptr;   // 閉じる
    QAction* helpAction = nullptr;    // ﾍﾙﾌﾟ
    QAction* versionAction = nullptr; // ﾊﾞｰｼﾞｮﾝ情報

    // The list side: the protocol whose companies are listed, and the list.
    QRadioButton* eiajOption = nullptr;
    QRadioButton* korvanOption = nullptr;
    QTableWidget* companyList = nullptr;

    // The edit side.
    QLabel* modeLabel = nullptr;           // the mode's caption
    QGroupBox* companyFrame = nullptr;     // codes and names
    QGroupBox* documentFrame = nullptr;    // output kind, layouts, digits, comment
    QGroupBox* eiajFrame = nullptr;        // the EIAJ settings
    QPushButton* okButton = nullptr;       // ＯＫ
    QPushButton* cancelButton = nullptr;   // ｷｬﾝｾﾙ
    QPushButton* browseSlipForm = nullptr; // 参照 for the slip's layout file
    QPushButton* browseTagForm = nullptr;  // 参照 for the tag's layout file

private:
    static int index(CustField field) { return static_cast<int>(field); }
    void buildMenus(QDialog& window);
    QWidget* buildListSide(QDialog& window);
    QWidget* buildEditSide(QDialog& window);
    // A field's control, named and sized from its row.
    QLineEdit* addBox(CustField field, QWidget* parent);
    // A choice's frame with its buttons side by side or one under another.
    QGroupBox* addChoice(CustField field, bool sideBySide, QDialog& window, QWidget* parent);
    QComboBox* addCodeList(CustField field, QWidget* parent);

    std::array<QLineEdit*, CustRecord::kFieldCount> m_boxes{};
    std::array<QButtonGroup*, CustRecord::kFieldCount> m_choices{};
    std::array<QComboBox*, CustRecord::kFieldCount> m_codeLists{};
};

} // namespace plx
