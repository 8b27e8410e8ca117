#pragma once

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

// The controls of the ordering-company window (発注企業情報) and their layout:
// the menus, the protocol choice and company list on the left, the company's
// boxes and choices with ＯＫ/ｷｬﾝｾﾙ on the right. Building them gives every
// control its object name, caption, size and place in the tab order; the
// window connects them to its session afterwards.
struct CustomerWidgets
{
    // Builds the controls into `window`, which becomes their parent and gets
    // the layout and the menu bar.
    void build(QDialog& window);

    // ﾌｧｲﾙ and ﾍﾙﾌﾟ menus.
    QAction* mnuNew = nullptr;  // MnuCustNew 新規作成
    QAction* mnuRmk = nullptr;  // MnuCustRmk 変更
    QAction* mnuDel = nullptr;  // MnuCustDel 削除
    QAction* mnuCls = nullptr;  // MnuCustCls 閉じる
    QAction* mnuMaru = nullptr; // MnuMaru ﾍﾙﾌﾟ
    QAction* mnuVer = nullptr;  // MnuVer ﾊﾞｰｼﾞｮﾝ情報

    // The list side.
    QRadioButton* option1 = nullptr; // EIAJ
    QRadioButton* option2 = nullptr; // KORVAN
    QTableWidget* grid = nullptr;    // CustGrid

    // The edit side.
    QLabel* label3 = nullptr;               // the mode's caption
    std::array<QLineEdit*, 10> text{};      // Text1 ... Text9 at 1 ... 9
    std::array<QComboBox*, 3> combo{};      // Combo3 ... Combo5
    QButtonGroup* outputKind = nullptr;     // Option5 ... Option7
    QButtonGroup* kanjiUse = nullptr;       // Option3, Option4
    QButtonGroup* amountRounding = nullptr; // Option8 ... Option10
    QButtonGroup* taxRounding = nullptr;    // Option11 ... Option13
    QGroupBox* companyFrame = nullptr;      // Frame1: codes and names
    QGroupBox* documentFrame = nullptr;     // Frame2: output kind, layouts, digits, comment
    QGroupBox* eiajFrame = nullptr;         // Frame3: the EIAJ settings
    QPushButton* command1 = nullptr;        // ＯＫ
    QPushButton* command2 = nullptr;        // ｷｬﾝｾﾙ
    QPushButton* command3 = nullptr;        // 参照 for Text5
    QPushButton* command4 = nullptr;        // 参照 for Text6

private:
    void buildMenus(QDialog& window);
    QWidget* buildListSide(QDialog& window);
    QWidget* buildEditSide(QDialog& window);
    QLineEdit* addText(int n, QWidget* parent);
};

} // namespace plx
