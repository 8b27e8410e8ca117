#include "support/CliRunner.h"
#include "support/EntryFixtures.h"

#include "ModalWindows.h"

#include "ui/customers/CustomerWindow.h"
#include "ui/entry/EntryWindow.h"
#include "ui/import/InputFileWindow.h"
#include "ui/list/ListFollower.h"
#include "ui/list/ListGrid.h"
#include "ui/list/ListWindow.h"

#include "cli/InstallOffer.h"
#include "core/StartUp.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

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
    EXPECT_EQ(model.cellText(1, ListColumn::DeliveryKeyNo).trimmed(), QStringLiteral("K2"));
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

namespace {

// One way the data files change while the list window is up, and whose
// change the status bar must then name.
struct SourceCase
{
    const char* what;
    // Sets up the installation (and the Environment, as start-up would).
    std::function<void(TestInstall&)> install;
    // Changes the data files once the list has loaded.
    std::function<void(ListWindow&, TestInstall&)> act;
    // The file the change writes (below the root), if any.
    const char* writes;
    const char* source;
};

const QString kOrderFolder = QStringLiteral("in");

// An installation on which every window of the program can write: the entry
// window's companies, codes and record, a company without slips (ORD0), the
// import's company (A001/S01) and an order file for it.
void writeWorkingInstallation(TestInstall& inst)
{
    writeEntryInstallation(inst);
    inst.env.baseYear = 50;
    inst.env.checkSpec = 0;
    inst.writeFile(QStringLiteral("Prg/Msg.DAT"),
                   inst.readFile(QStringLiteral("Prg/Msg.DAT")) +
                       cp932::encode(u"012,2,\"選択した納品書データを削除しますか？\"\r\n"
                                     u"503,2,\"選択された発注企業情報を削除しますか？\"\r\n"));
    CustRecord a = entryCompany(QStringLiteral("A"));
    a.setText(CustField::SupplierCode, u"SUP");
    a.setText(CustField::OutputKind, u"3");
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(QList{company('1', "ORD0", "SUP", "取引なし"), a,
                                                                company('1', "A001", "S01", "北斗星電機")}));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{shippable("K1"), shippable("K2")}));
    inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), QByteArray());
    inst.writeFile(kOrderFolder + QStringLiteral("/P.CSV"),
                   "\"REIAJC14\",\"0502\",REIAJ004,A001,REIAJ005,S01,REIAJ012,001,REIAJ159NO01,K9\r\n");
    inst.setSetting(QStringLiteral("DataFilePath"), inst.path(kOrderFolder));
}

// The first start on a settings store that names no installation: the clerk
// agrees and the installation is created in a folder of the temporary base,
// as the program's own first start does.
void firstStart(TestInstall& inst)
{
    StartUpOptions options{false};
    options.createInstallation = [&inst] {
        return offerInstallation(inst.registry, inst.dialogs, [&inst] { return inst.base(); });
    };
    inst.dialogs.setNextAnswer(kAnswerYes);
    ASSERT_FALSE(endsProgram([&] { StartUp(inst.env, options); })) << inst.dialogs.texts().join(u'|').toStdString();
}

// The first start of the window on an installation of one format just made
// by `plx90-cli install`.
void installedForEiaj(TestInstall& inst)
{
    const CliResult run = runCli(inst.registry.filePath(), {"install", "--base", inst.base(), "--ap-use", "EIAJ"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_FALSE(endsProgram([&] { StartUp(inst.env, StartUpOptions{false}); }));
}

} // namespace

TEST(ListFollower, TheStatusBarNamesWhoseChangeTheListRead)
{
    const char* own = "読込み（この画面）";
    const char* other = "読込み（他のﾌﾟﾛｸﾞﾗﾑの変更）";
    const auto nothing = [](ListWindow&, TestInstall&) {};
    const QList<SourceCase> cases = {
        {"the first start, which creates the installation", firstStart, nothing, nullptr, own},
        {"the first start on a single-format installation", installedForEiaj, nothing, nullptr, own},
        {"an entry window registered", writeWorkingInstallation,
         [](ListWindow& w, TestInstall&) {
             w.grid(Protocol::Eiaj)->selectCell(1, 1);
             whenModalShows<EntryWindow>("entry window", [](EntryWindow& entry) {
                 QTest::mouseClick(entry.findChild<QPushButton*>(QStringLiteral("Command4")), Qt::LeftButton);
                 QTest::mouseClick(entry.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
             });
             QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
         },
         "Prg/E_Deliv.dat", own},
        {"the company window deleted a company", writeWorkingInstallation,
         [](ListWindow& w, TestInstall& inst) {
             whenModalShows<CustomerWindow>("company window", [&inst](CustomerWindow& c) {
                 inst.dialogs.setNextAnswer(kAnswerYes);
                 c.findChild<QAction*>(QStringLiteral("MnuCustDel"))->trigger();
                 c.findChild<QAction*>(QStringLiteral("MnuCustCls"))->trigger();
             });
             w.findChild<QAction*>(QStringLiteral("MnuCust"))->trigger();
         },
         "Usr/Cust.DAT", own},
        {"an import", writeWorkingInstallation,
         [](ListWindow& w, TestInstall&) {
             whenModalShows<InputFileWindow>("input-file window", [](InputFileWindow& input) {
                 auto* files = input.findChild<QTreeWidget*>(QStringLiteral("ListView1"));
                 for (int row = 0; row < files->topLevelItemCount(); ++row)
                     files->topLevelItem(row)->setSelected(true);
                 QTest::mouseClick(input.findChild<QPushButton*>(QStringLiteral("Command5")), Qt::LeftButton);
             });
             QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
         },
         "Prg/E_Deliv.dat", own},
        {"a deletion of the selected rows", writeWorkingInstallation,
         [](ListWindow& w, TestInstall& inst) {
             ListGrid* grid = w.grid(Protocol::Eiaj);
             QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                               grid->visualRect(grid->model()->index(1, 0)).center());
             inst.dialogs.setNextAnswer(kAnswerYes);
             QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("Command5")), Qt::LeftButton);
         },
         "Prg/E_Deliv.dat", own},
        {"another program (plx90-cli) deleted records", writeWorkingInstallation,
         [](ListWindow&, TestInstall& inst) {
             const CliResult run =
                 runCli(inst.registry.filePath(), {"delete", "--eiaj", "--orderer", "A", "--supplier", "SUP", "--yes"});
             ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
         },
         "Prg/E_Deliv.dat", other},
    };
    for (const SourceCase& c : cases) {
        SCOPED_TRACE(c.what);
        TestInstall inst;
        c.install(inst);
        RecordingReport report;
        ListWindow w(inst.env);
        w.setReportControl(&report);
        w.showCentred();
        ASSERT_TRUE(listLoaded(w));
        const QByteArray before = c.writes ? inst.readFile(QLatin1String(c.writes)) : QByteArray();
        c.act(w, inst);
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }, 5000));
        ASSERT_TRUE(listLoaded(w));
        if (c.writes) {
            EXPECT_TRUE(inst.readFile(QLatin1String(c.writes)) != before) << c.writes << " was not written";
        }
        // Whatever the watch finds now (it compares the files every half
        // second, and a busy window reloads after it) is read before the
        // status is looked at.
        QTest::qWait(1200);
        ASSERT_TRUE(listLoaded(w));
        const QString status = w.findChild<QLabel*>(QStringLiteral("ListReadAt"))->text();
        EXPECT_TRUE(status.endsWith(QString::fromUtf8(c.source))) << status.toStdString();
    }
}
