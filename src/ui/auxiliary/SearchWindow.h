#pragma once

#include "core/LogLabelScope.h"

#include "list/DeliverySearch.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace plx {

struct Environment;

// 検索: finds the next listed delivery-slip record of the current list after a
// given row that meets the conditions typed in. The conditions are remembered
// for the run, so the window reopens with the last ones.
//
// Widgets (objectName): Frame1 the frame 検索する条件; Combo1 the drop-down
// 発注者 ("すべて", then the companies of the format); Text1 orderer code,
// Text2 orderer name, Text3 supplier code, Text4 supplier name (read-only,
// filled from the chosen company); Text5 注文番号, Text6 納品ｷｰ番号,
// Text7 品名ｺｰﾄﾞ, Text8 納期; Command1 ＯＫ, Command2 ｷｬﾝｾﾙ.
class SearchWindow : public QDialog
{
    Q_OBJECT
public:
    // `protocol` is the current list; the search starts after
    // list row `startRow` (0: from the first row).
    SearchWindow(Environment& env, Protocol protocol, int startRow, QWidget* parent = nullptr);

    // The list row found by ＯＫ; 0 when the window closed without a match.
    int foundRow() const { return m_foundRow; }

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void showRemembered();
    void showOrderer(int index);
    void findClicked();
    void cancelClicked();
    SearchConditions conditions() const;

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    DeliverySearch m_search;
    int m_startRow;
    int m_foundRow = 0;
    QComboBox* m_orderer = nullptr;
    QLineEdit* m_terms[8] = {};
};

} // namespace plx
