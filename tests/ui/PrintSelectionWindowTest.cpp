#include "ModalWindows.h"
#include "support/OutputFixtures.h"

#include "core/Registry.h"
#include "ui/auxiliary/PrintSelectionWindow.h"
#include "ui/auxiliary/PrintSummaryDialog.h"
#include "ui/list/ListWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct PrintWindowFixture : ::testing::Test
{
    TestInstall inst;
    RecordingReport report;
    PrintWindowFixture()
    {
        writeListInstallation(inst);
        inst.env.apUse = QStringLiteral("ALL");
        inst.env.logCount = 10;
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"),
                       cp932::encode(u"200,2,\"納品書を印刷しますか？\"\r\n210,2,\"荷札を印刷しますか？\"\r\n"
                                     u"630,4,\"該当するデータがありません。\"\r\n"));
        inst.writeFile(QStringLiteral("Usr/E_Slip.agr"), "{}");
        inst.writeFile(QStringLiteral("Usr/E_Tag.agr"), "{}");
        CustRecord longName = outputCompany('1', "B", "1", QString(30, QChar(u'長')));
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                       fileOf(QList{outputCompany('1', "A", "1", QStringLiteral("北斗星電機")), longName,
                                    outputCompany('2', "K", "1", QStringLiteral("湘洋"))}));
        inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{due('1', "A", "K1"), due('1', "B", "K2")}));
    }
    ~PrintWindowFixture() override { closeSummaries(); }
    QString storedPrinter() const
    {
        QString name;
        inst.env.registry->regGetValue(kRegistryKey, QStringLiteral("PrinterName"), name);
        return name;
    }
    // The result dialogs open now.
    static QList<PrintSummaryDialog*> summaries()
    {
        QList<PrintSummaryDialog*> out;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<PrintSummaryDialog*>(w); d && d->isVisible())
                out.append(d);
        }
        return out;
    }
    static void closeSummaries()
    {
        for (PrintSummaryDialog* d : summaries())
            d->close();
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(PrintWindowFixture, ListsTheCompaniesOfTheFormatAndPrintsOne)
{
    PrintSelectionWindow w(inst.env, Protocol::Eiaj, report);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("納品書・荷札の印刷 （ＥＩＡＪ）"));
    auto* combo = w.findChild<QComboBox*>(QStringLiteral("Combo1"));
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("すべて"));
    EXPECT_EQ(combo->itemText(2), QString(25, QChar(u'長'))); // cut to 50 bytes

    combo->setCurrentIndex(2);
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("Text1"))->text().trimmed(), QStringLiteral("B"));
    inst.dialogs.setNextAnswer(kAnswerYes);
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    ASSERT_EQ(report.printed.size(), 1);
    EXPECT_EQ(report.printed[0].job.ordererCode, QStringLiteral("B"));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(w.issued());

    // Nothing due any more for that company: message 630 and the window stays.
    PrintSelectionWindow again(inst.env, Protocol::Eiaj, report);
    again.findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(2);
    QTest::mouseClick(again.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    EXPECT_EQ(inst.dialogs.texts().last(), QStringLiteral("該当するデータがありません。"));
    EXPECT_NE(again.result(), QDialog::Accepted);
    EXPECT_FALSE(again.issued());
}

TEST_F(PrintWindowFixture, TheCompanyBoxesLookReadOnlyAndTakeNoTabStop)
{
    PrintSelectionWindow w(inst.env, Protocol::Eiaj, report);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* combo = w.findChild<QComboBox*>(QStringLiteral("Combo1"));
    combo->setCurrentIndex(1);
    for (const char* name : {"Text1", "Text2", "Text3", "Text4"}) {
        auto* box = w.findChild<QLineEdit*>(QLatin1String(name));
        ASSERT_NE(box, nullptr) << name;
        EXPECT_FALSE(box->text().isEmpty()) << name;
        EXPECT_TRUE(box->isReadOnly()) << name;
        EXPECT_FALSE(box->focusPolicy() & Qt::TabFocus) << name;
        EXPECT_EQ(box->palette().color(QPalette::Base), w.palette().color(QPalette::Window)) << name;
    }
    // Tab goes from the company list straight on to the printer.
    combo->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(combo, Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("ComboPrinter"));
}

TEST_F(PrintWindowFixture, TheListWindowOffersPrintingOnlyWithAnEngine)
{
    ListWindow w(inst.env);
    w.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.findChild<QWidget*>(QStringLiteral("Picture1"))->isVisible(); }, 5000));
    auto* print = w.findChild<QPushButton*>(QStringLiteral("Command4"));
    EXPECT_FALSE(print->isEnabled());
    w.setReportControl(&report);
    EXPECT_TRUE(print->isEnabled());
    EXPECT_TRUE(w.findChild<QAction*>(QStringLiteral("MnuPrint"))->isEnabled());
}

TEST_F(PrintWindowFixture, TheListReloadsOnlyAfterARunThatIssued)
{
    ListWindow list(inst.env);
    list.setReportControl(&report);
    list.show();
    ASSERT_TRUE(listLoaded(list));
    auto* busy = list.findChild<QWidget*>(QStringLiteral("Picture1"));

    // Closed without printing: the list stays as it is.
    whenModalShows<PrintSelectionWindow>("print window", [](PrintSelectionWindow& w) { w.reject(); });
    QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    EXPECT_FALSE(busy->isVisible());

    // The questions answered No: nothing issued, nothing to read again.
    whenModalShows<PrintSelectionWindow>("print window", [](PrintSelectionWindow& w) {
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
        w.reject();
    });
    QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    EXPECT_TRUE(report.printed.isEmpty());
    EXPECT_FALSE(busy->isVisible());
    closeSummaries();

    // Company B printed: the window closes and the list is read again.
    whenModalShows<PrintSelectionWindow>("print window", [this](PrintSelectionWindow& w) {
        w.findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(2);
        inst.dialogs.setNextAnswer(kAnswerYes);
        QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    });
    QTest::mouseClick(list.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
    ASSERT_EQ(report.printed.size(), 1);
    EXPECT_TRUE(busy->isVisible());
    EXPECT_TRUE(listLoaded(list));
}

TEST_F(PrintWindowFixture, AStepWithAnErrorStatusEndsTheHandlerAndTheWindowStays)
{
    PrintSelectionWindow w(inst.env, Protocol::Eiaj, report);
    w.show();
    // The code file emptied after the window opened: the slip step stops with
    // message 3, after the groups were selected.
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    EXPECT_TRUE(report.printed.isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_FALSE(inst.dialogs.texts().contains(QStringLiteral("該当するデータがありません。")));
    EXPECT_FALSE(w.issued());
}

TEST_F(PrintWindowFixture, OffersPdfOnlyAndTheSystemsPrintersFromTheSettingAndRemembersTheChoice)
{
    report.printers = {QStringLiteral("PLX90PDF"), QStringLiteral("事務所")};
    inst.env.registry->regPutValue(kRegistryKey, QStringLiteral("PrinterName"), QStringLiteral("事務所"));
    PrintSelectionWindow w(inst.env, Protocol::Eiaj, report);
    auto* printers = w.findChild<QComboBox*>(QStringLiteral("ComboPrinter"));
    ASSERT_EQ(printers->count(), 3);
    EXPECT_EQ(printers->itemText(0), QStringLiteral("PDFのみ"));
    EXPECT_EQ(printers->itemText(1), QStringLiteral("PLX90PDF"));
    EXPECT_EQ(printers->currentText(), QStringLiteral("事務所"));

    printers->setCurrentIndex(1);
    inst.dialogs.setNextAnswer(kAnswerYes);
    inst.dialogs.setNextAnswer(kAnswerYes);
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    EXPECT_EQ(storedPrinter(), QStringLiteral("PLX90PDF"));
    EXPECT_EQ(report.printer, QStringLiteral("PLX90PDF"));
    ASSERT_EQ(report.printed.size(), 2);
    EXPECT_FALSE(report.printed[0].job.pdfOnly);

    // The next window starts from the choice; PDFのみ empties the setting.
    PrintSelectionWindow next(inst.env, Protocol::Eiaj, report);
    auto* again = next.findChild<QComboBox*>(QStringLiteral("ComboPrinter"));
    EXPECT_EQ(again->currentText(), QStringLiteral("PLX90PDF"));
    again->setCurrentIndex(0);
    EXPECT_TRUE(next.chosenPrinter().isEmpty());
    QTest::mouseClick(next.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton); // nothing due: 630
    EXPECT_TRUE(storedPrinter().isEmpty());
    EXPECT_TRUE(report.printer.isEmpty());
}

TEST_F(PrintWindowFixture, AMissingPrinterIsListedAsSuchAndTheRunSaysSoOnceAndWritesPdfsOnly)
{
    report.printers = {QStringLiteral("PLX90PDF")};
    inst.env.registry->regPutValue(kRegistryKey, QStringLiteral("PrinterName"), QStringLiteral("GONE"));
    PrintSelectionWindow w(inst.env, Protocol::Eiaj, report);
    auto* printers = w.findChild<QComboBox*>(QStringLiteral("ComboPrinter"));
    EXPECT_EQ(printers->currentText(), QStringLiteral("GONE（見つかりません）"));
    EXPECT_EQ(w.chosenPrinter(), QStringLiteral("GONE"));

    inst.dialogs.setNextAnswer(kAnswerYes);
    inst.dialogs.setNextAnswer(kAnswerYes);
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    const QStringList texts = inst.dialogs.texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("プリンタ「GONE」が見つかりません。")));
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("納品書を印刷しますか？")));
    EXPECT_TRUE(texts[1].contains(QStringLiteral("発注者  A  北斗星電機")));
    ASSERT_EQ(report.printed.size(), 2);
    EXPECT_TRUE(report.printed[0].job.pdfOnly);
    EXPECT_TRUE(report.printed[1].job.pdfOnly);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(storedPrinter(), QStringLiteral("GONE")); // kept until the clerk chooses another
}

TEST_F(PrintWindowFixture, AfterTheRunTheResultDialogListsWhatWasIssued)
{
    PrintSelectionWindow w(inst.env, Protocol::Eiaj, report);
    inst.dialogs.setNextAnswer(kAnswerYes); // slips of A
    inst.dialogs.setNextAnswer(kAnswerNo);  // slips of B
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    const QList<PrintSummaryDialog*> shown = summaries();
    ASSERT_EQ(shown.size(), 1);
    auto* groups = shown[0]->findChild<QTreeWidget*>(QStringLiteral("Groups"));
    ASSERT_EQ(groups->topLevelItemCount(), 2);
    EXPECT_EQ(groups->topLevelItem(0)->text(1), QStringLiteral("A"));
    EXPECT_EQ(groups->topLevelItem(0)->text(5), QStringLiteral("発行"));
    EXPECT_EQ(groups->topLevelItem(0)->text(6), QStringLiteral("納品書_A_1.pdf"));
    EXPECT_EQ(groups->topLevelItem(1)->text(5), QStringLiteral("取消"));
    EXPECT_TRUE(shown[0]
                    ->findChild<QLabel*>(QStringLiteral("Totals"))
                    ->text()
                    .startsWith(QStringLiteral("計 A 北斗星電機 納品書1件 荷札0件 用紙1枚 PDF1件")));
    closeSummaries();

    // Everything declined: the dialog says nothing was issued.
    PrintSelectionWindow again(inst.env, Protocol::Eiaj, report);
    QTest::mouseClick(again.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    ASSERT_EQ(summaries().size(), 1);
    EXPECT_EQ(summaries()[0]->findChild<QLabel*>(QStringLiteral("Totals"))->text(),
              QStringLiteral("発行した帳票はありません。"));
}
