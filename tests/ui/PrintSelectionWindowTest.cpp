#include "support/OutputFixtures.h"

#include "ui/aux/PrintSelectionWindow.h"
#include "ui/list/ListWindow.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
};

} // namespace

TEST_F(PrintWindowFixture, ListsTheCompaniesOfTheFormatAndPrintsOne)
{
    PrintSelectionWindow w(inst.env, 0, report);
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
    EXPECT_EQ(inst.env.changedFlag, 1);

    // Nothing due any more for that company: message 630 and the window stays.
    PrintSelectionWindow again(inst.env, 0, report);
    again.findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(2);
    QTest::mouseClick(again.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    EXPECT_EQ(inst.dialogs.texts().last(), QStringLiteral("該当するデータがありません。"));
    EXPECT_NE(again.result(), QDialog::Accepted);
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

TEST_F(PrintWindowFixture, AStepWithAnErrorStatusEndsTheHandlerAndTheWindowStays)
{
    PrintSelectionWindow w(inst.env, 0, report);
    w.show();
    // The code file emptied after the window opened: the slip step stops with
    // message 3, after the groups were selected.
    inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
    QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    EXPECT_TRUE(report.printed.isEmpty());
    EXPECT_TRUE(w.isVisible());
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_FALSE(inst.dialogs.texts().contains(QStringLiteral("該当するデータがありません。")));
    EXPECT_EQ(inst.env.changedFlag, 0);
}
