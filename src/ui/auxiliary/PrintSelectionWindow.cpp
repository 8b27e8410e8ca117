#include "PrintSelectionWindow.h"

#include "ui/FieldWidths.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "core/Protocol.h"
#include "core/Registry.h"
#include "core/ReportControl.h"
#include "output/PrintRun.h"
#include "output/PrinterChoice.h"
#include "store/CustStore.h"
#include "ui/PrintProgressDialog.h"
#include "ui/auxiliary/PrintSummaryDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace plx {

PrintSelectionWindow::PrintSelectionWindow(Environment& env, Protocol protocol, ReportControl& report, QWidget* parent)
    : QDialog(parent), m_env(env), m_logLabels(env), m_protocol(protocol), m_report(report)
{
    setObjectName(QStringLiteral("印刷指定"));
    setModal(true);

    auto* companyFrame = new QGroupBox(QStringLiteral("印刷する発注者"), this);
    companyFrame->setObjectName(QStringLiteral("Frame1"));
    auto* pick = new QHBoxLayout(companyFrame);
    pick->addWidget(new QLabel(QStringLiteral("発注者："), companyFrame));
    m_company = new QComboBox(companyFrame);
    m_company->setObjectName(QStringLiteral("Combo1"));
    // The choice shows whole names of 50 bytes.
    m_company->setMinimumWidth(comboWidthForBytes(*m_company, 50));
    pick->addWidget(m_company, 1);

    auto* companyBoxesFrame = new QGroupBox(companyFrame->parentWidget());
    companyBoxesFrame->setObjectName(QStringLiteral("Frame2"));
    auto* form = new QFormLayout(companyBoxesFrame);
    const char16_t* captions[4] = {u"発注者ｺｰﾄﾞ：", u"発注者名称：", u"受注者ｺｰﾄﾞ：", u"受注者名称："};
    for (int i = 0; i < 4; ++i) {
        m_companyBoxes[i] = new QLineEdit(companyBoxesFrame);
        m_companyBoxes[i]->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        // The boxes only show the chosen company: the read-only look (the
        // window's colour) and no Tab stop; a click still puts the cursor in
        // one to copy from it.
        m_companyBoxes[i]->setReadOnly(true);
        m_companyBoxes[i]->setFocusPolicy(Qt::ClickFocus);
        QPalette look = m_companyBoxes[i]->palette();
        look.setColor(QPalette::Base, look.color(QPalette::Window));
        m_companyBoxes[i]->setPalette(look);
        // Codes of 12 bytes, names of 50, shown whole.
        m_companyBoxes[i]->setMinimumWidth(lineEditWidthForBytes(*m_companyBoxes[i], i % 2 == 0 ? 12 : 50));
        form->addRow(QString::fromUtf16(captions[i]), m_companyBoxes[i]);
    }

    auto* framePrinter = new QGroupBox(QStringLiteral("プリンタ"), this);
    framePrinter->setObjectName(QStringLiteral("FramePrinter"));
    auto* printerRow = new QHBoxLayout(framePrinter);
    printerRow->addWidget(new QLabel(QStringLiteral("出力先："), framePrinter));
    m_printers = new QComboBox(framePrinter);
    m_printers->setObjectName(QStringLiteral("ComboPrinter"));
    printerRow->addWidget(m_printers, 1);

    auto* print = new QPushButton(QStringLiteral("印刷"), this);
    print->setObjectName(QStringLiteral("Command1"));
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(print);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(companyFrame);
    layout->addWidget(companyBoxesFrame);
    layout->addWidget(framePrinter);
    layout->addLayout(buttons);

    connect(m_company, &QComboBox::currentIndexChanged, this,
            [this](int index) { runTrapped(m_env, QString(), [&] { showCompany(index); }); });
    connect(print, &QPushButton::clicked, this, [this] { printClicked(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    runTrapped(m_env, QString(), [this] { load(); });
    fillPrinters();
}

void PrintSelectionWindow::fillPrinters()
{
    int chosen = 0;
    const QList<printerChoice::Entry> entries =
        printerChoice::entries(m_report.availablePrinters(), printerChoice::stored(m_env), chosen);
    m_printers->clear();
    for (const printerChoice::Entry& e : entries)
        m_printers->addItem(e.text, e.printer);
    m_printers->setCurrentIndex(chosen);
}

QString PrintSelectionWindow::chosenPrinter() const
{
    return m_printers->currentData().toString();
}

void PrintSelectionWindow::load()
{
    setWindowTitle(QStringLiteral("納品書・荷札の印刷") + protocolCaption(m_protocol));
    const CustStore companies = OpenCustFile(m_env);
    const QSignalBlocker block(m_company);
    m_company->clear();
    m_company->addItem(QStringLiteral("すべて"));
    for (const CompanyEntry& c : companies.entries(m_protocol))
        m_company->addItem(c.ordererName);
    m_company->setCurrentIndex(0);
    m_lastIndex = 0;
}

void PrintSelectionWindow::showCompany(int index)
{
    if (index == m_lastIndex)
        return;
    m_lastIndex = index;
    if (index <= 0) {
        for (QLineEdit* t : m_companyBoxes)
            t->clear();
        return;
    }
    const CustStore companies = OpenCustFile(m_env);
    const QList<int> list = companies.list(m_protocol);
    if (index > list.size())
        return;
    const CompanyEntry c = companies.entry(list.at(index - 1));
    m_companyBoxes[0]->setText(c.ordererCode);
    m_companyBoxes[1]->setText(c.ordererName);
    m_companyBoxes[2]->setText(c.supplierCode);
    m_companyBoxes[3]->setText(c.supplierName);
}

void PrintSelectionWindow::printClicked()
{
    m_logLabels.setOperation(QStringLiteral("OKﾎﾞﾀﾝ"));
    const auto trimRight = [](QString s) {
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    };
    m_env.closeFiles();
    // The printer chosen is the one of this run and of the runs to come.
    const QString printer = chosenPrinter();
    if (const QString refused = printerChoice::store(m_env, printer); !refused.isEmpty())
        m_env.dialogs->show(MessageIcon::Exclamation, refused, MessageButtons::Ok, DefaultButton::First);
    m_report.setPrinterName(printer);
    PrintRunResult result;
    PrintProgressDialog progress(this);
    if (!runTrapped(m_env, QStringLiteral("帳票発行処理/"), [&] {
            result = runNormalPrint(m_env, m_protocol, m_report, trimRight(m_companyBoxes[0]->text()),
                                    trimRight(m_companyBoxes[2]->text()), &progress);
        }))
        return;
    m_issued = m_issued || result.issued;
    PrintSummaryDialog::showFor(result, parentWidget());
    // A step that stopped the run (an empty company or code file, a refusal)
    // has told the operator; the window stays for another try.
    if (result.stopped)
        return;
    if (result.slipGroups > 0 || result.tagGroups > 0) {
        accept();
        return;
    }
    ShowMessage(m_env, 630);
}

} // namespace plx
