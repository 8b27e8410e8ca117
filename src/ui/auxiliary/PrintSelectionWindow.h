#pragma once

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
    // `kind` is the format in use (0 EIAJ, 1 KORVAN).
    PrintSelectionWindow(Environment& env, Protocol protocol, ReportControl& report, QWidget* parent = nullptr);

    // The printer chosen; empty for "PDFのみ".
    QString chosenPrinter() const;
    // Whether a run of this window issued documents: the list has changed.
    bool issued() const { return m_issued; }

private:
    void Form_Load();
    void Combo1_Click(int index);
    void Command1_Click();

    Environment& m_env;
    Protocol m_protocol;
    ReportControl& m_report;
    void fillPrinters();

    QComboBox* m_combo1;
    QComboBox* m_printers;
    QLineEdit* m_text[4];
    int m_lastIndex = 0;
    bool m_issued = false;
};

} // namespace plx
