#include "support/CliRunner.h"
#include "support/ListFixtures.h"

#include "ModalWindows.h"

#include "ui/list/ListFollower.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include <QDialog>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

TEST(ListFollower, AnotherProgramsChangeIsReadKeepingTheSelectedRecordAndWaitsForTheWindowsOwnWork)
{
    TestInstall inst;
    writeListInstallation(inst);
    inst.env.apUse = QStringLiteral("ALL");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"),
                   fileOf(QList{company('1', "ORD0", "SUP", "湘洋"), company('1', "ORD1", "SUP", "北斗星電機")}));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"),
                   fileOf(QList{listed('1', "ORD0", "K0", "0", "A", ""), listed('1', "ORD1", "K1", "0", "B", ""),
                                listed('1', "ORD1", "K2", "0", "C", ""), listed('1', "ORD1", "K3", "0", "D", "")}));
    ListWindow w(inst.env);
    w.showCentred();
    ASSERT_TRUE(listLoaded(w));
    ListGrid* grid = w.grid(Protocol::Eiaj);
    DeliveryListModel& model = w.list().model(Protocol::Eiaj);
    grid->selectRows(3, 3); // K2
    const auto readAt = [&] { return w.findChild<QLabel*>(QStringLiteral("ListReadAt"))->text(); };
    EXPECT_TRUE(readAt().endsWith(QStringLiteral("読込み（この画面）"))) << readAt().toStdString();

    // Another program deletes ORD0's record in front of it: the list follows,
    // and K2, now row 2, is still the selected record.
    const CliResult deleted =
        runCli(inst.registry.filePath(), {"delete", "--eiaj", "--orderer", "ORD0", "--supplier", "SUP", "--yes"});
    ASSERT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.listedCount() == 3; }, 3000));
    EXPECT_EQ(grid->selectionRect().firstRow, 2);
    EXPECT_EQ(grid->selectionRect().lastRow, 2);
    EXPECT_EQ(model.cellText(1, 4).trimmed(), QStringLiteral("K2"));
    EXPECT_TRUE(readAt().endsWith(QStringLiteral("読込み（他のﾌﾟﾛｸﾞﾗﾑの変更）"))) << readAt().toStdString();

    // While a window of its own is open the list waits, and reads afterwards.
    QDialog own(&w);
    own.setModal(true);
    own.show();
    const CliResult again =
        runCli(inst.registry.filePath(), {"delete", "--eiaj", "--orderer", "ORD1", "--supplier", "SUP", "--yes"});
    ASSERT_EQ(again.exitCode, 0) << again.err.toStdString();
    QTest::qWait(1500);
    EXPECT_EQ(model.listedCount(), 3);
    own.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return model.listedCount() == 0; }, 3000));
}
