#pragma once

#include "core/LogLabelScope.h"
#include "core/Protocol.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace plx {

class ReportControl;
struct Environment;

// 印刷指定: starts the normal print run of the format in use for every ordering
// company or for the one chosen, on the printer chosen, and shows what was
// issued (PrintSummaryDialog).
//
// Widgets (objectName): Combo1 the company, Text1..Text4 its codes and names,
// FramePrinter with ComboPrinter: "PDFのみ" (PDF only) and the system's printers
// as the report engine lists them;
// the choice starts from the setting PrinterName and is written back to it when
// 印刷 is pressed. A PrinterName that names no printer of the system is listed
// as "名前（見つかりません）": the run says so before its first question and
// writes the PDFs only. Command1 印刷, Command2 ｷｬﾝｾﾙ.
class PrintSelectionWindow : public QDialog
{
    Q_OBJECT
public:
    // `protocol` is the format in use.
    PrintSelectionWindow(Environment& env, Protocol protocol, ReportControl& report, QWidget* parent = nullptr);

    // The printer chosen; empty for "PDFのみ".
    QString chosenPrinter() const;
    // Whether a run of this window issued documents: the list has changed.
    bool issued() const { return m_issued; }

private:
    void load();
    void showCompany(int index);
    void printClicked();

    Environment& m_env;
    // The window's log labels while it is open; the opener's afterwards.
    LogLabelScope m_logLabels;
    Protocol m_protocol;
    ReportControl& m_report;
    void fillPrinters();

    QComboBox* m_company;
    QComboBox* m_printers;
    QLineEdit* m_companyBoxes[4];
    int m_lastIndex = 0;
    bool m_issued = false;
};

} // namespace plx
