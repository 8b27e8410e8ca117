#pragma once

#include "billing/HistoryTableModel.h"
#include "core/LogLabelScope.h"
#include "core/Protocol.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace plx {

class ReportControl;
struct Environment;

// 発行履歴: the documents the history holds, looked up by format, ship date,
// company, delivery key, order number or item, with the totals of what is
// shown; the selected documents printed again (再発行), and the month's
// billing written for accounting (Excel出力).
//
// Widgets (objectName): ComboFormat, TextFrom, TextTo (ship dates),
// TextOrderer, TextSupplier, TextKey, TextOrderNo, TextItem; CommandFind 検索,
// HistoryGrid, LabelTotals; CommandReprint 再発行, CommandExport Excel出力,
// CommandClose 閉じる.
class HistoryWindow : public QDialog
{
    Q_OBJECT
public:
    // `report` prints the copies; `protocol` is the format shown first.
    HistoryWindow(Environment& env, ReportControl* report, Protocol protocol, QWidget* parent = nullptr);

    // Where Excel出力 writes: asked of the clerk (a file dialog) by default.
    using ChooseFile = std::function<QString(QWidget* parent, const QString& title, const QString& suggested)>;
    void setChooseFile(ChooseFile choose) { m_chooseFile = std::move(choose); }

    const HistoryTableModel& model() const { return m_model; }

private:
    void find();
    void reprintSelected();
    void exportMonth();
    // The look-up the boxes ask for; nothing (after a message naming the box)
    // when a date is not one.
    std::optional<HistoryQuery> query();
    Protocol protocol() const;
    void tell(const QString& text, bool problem);

    Environment& m_env;
    LogLabelScope m_logLabels;
    ReportControl* m_report;
    HistoryTableModel m_model;
    ChooseFile m_chooseFile;
    QComboBox* m_format = nullptr;
    QLineEdit* m_from = nullptr;
    QLineEdit* m_to = nullptr;
    QLineEdit* m_orderer = nullptr;
    QLineEdit* m_supplier = nullptr;
    QLineEdit* m_key = nullptr;
    QLineEdit* m_orderNo = nullptr;
    QLineEdit* m_item = nullptr;
    QTableView* m_grid = nullptr;
    QLabel* m_totals = nullptr;
    QPushButton* m_reprint = nullptr;
};

} // namespace plx
