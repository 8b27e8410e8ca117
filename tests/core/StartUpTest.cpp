#include "support/TestInstall.h"

#include "core/ErrorReport.h"
#include "core/StartUp.h"
#include "core/text/Cp932.h"

#include "core/ProcessLock.h"
#include <QFile>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct StartUpFixture : ::testing::Test
{
    TestInstall inst;
    StartUpFixture()
    {
        inst.writeSettings();
        inst.writeFile(QStringLiteral("Prg/Msg.DAT"), cp932::encode(u"003,1,\"コードファイルがありません。\"\r\n"));
        inst.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
        inst.writeFile(QStringLiteral("Usr/Cust.DAT"), QByteArray());
    }
    // The instance check has its own test; here every start may run again.
    bool start()
    {
        return !endsProgram([&] { StartUp(inst.env, {false}); });
    }
    QString lastText() const { return inst.dialogs.shown.isEmpty() ? QString() : inst.dialogs.shown.last().text; }
};

} // namespace

TEST_F(StartUpFixture, ReadsSettingsAndBuildsPaths)
{
    inst.setSetting(QStringLiteral("LogCount"), QStringLiteral("  12  "));
    inst.setSetting(QStringLiteral("Nifuda"), QStringLiteral("7.5")); // halves to even
    ASSERT_TRUE(start()) << lastText().toStdString();
    EXPECT_EQ(inst.env.apUse, QStringLiteral("ALL"));
    EXPECT_EQ(inst.env.logCount, 12);
    EXPECT_EQ(inst.env.nifuda, 8);
    EXPECT_EQ(inst.env.baseYear, 50);
    EXPECT_EQ(inst.env.logModule, QStringLiteral("共通部"));
    EXPECT_EQ(inst.env.logOperation, QStringLiteral("ＡＰメイン処理"));
    EXPECT_EQ(inst.env.paths.eDelivPath, inst.path(QStringLiteral("Prg/E_Deliv.dat")));
    EXPECT_EQ(inst.env.paths.custPath, inst.path(QStringLiteral("Usr/Cust.DAT")));
    // ALL takes the EIAJ output data files.
    EXPECT_EQ(inst.env.paths.dcsvPath, inst.path(QStringLiteral("Usr/E_Dcsv.dat")));
    EXPECT_EQ(inst.env.paths.tcsvPath, inst.path(QStringLiteral("Usr/E_Tcsv.dat")));
    EXPECT_EQ(inst.env.startStamp, inst.clock.now());
    EXPECT_TRUE(inst.dialogs.shown.isEmpty());
}

TEST_F(StartUpFixture, TrailingSeparatorOfTheBaseIsDroppedOnce)
{
    inst.setSetting(QStringLiteral("InstallBasePath"), inst.base() + QStringLiteral("/"));
    ASSERT_TRUE(start());
    EXPECT_EQ(inst.env.programBasePath, inst.base());
    EXPECT_EQ(inst.env.dataBasePath, inst.base());
    TestInstall other;
    other.writeSettings();
    other.setSetting(QStringLiteral("InstallBasePath"), QStringLiteral("/x//"));
    other.setSetting(QStringLiteral("ApUse"), QStringLiteral("KORVAN"));
    endsProgram([&] { StartUp(other.env, {false}); });
    EXPECT_EQ(other.env.programBasePath, QStringLiteral("/x/"));
    EXPECT_EQ(other.env.paths.dcsvPath, QStringLiteral("/x//Plx90We/Usr/K_Dcsv.dat"));
}

TEST_F(StartUpFixture, BadSettingsAreRefusedInOrderAndNamedInTheLog)
{
    // The window shows the fixed text alone; the error log names the setting
    // and its value in the record after LogPointer, or in record 1 when the
    // ring's own position or size is refused (a refused LogPointer is left as
    // it is, so that the next start tells the same).
    struct Case
    {
        const char* name;
        QString value;
        int record;
        QString pointerAfter;
        QString shown = {}; // the value as the log names it, when not as stored
    };
    const QList<Case> cases = {
        {"ApUse", QStringLiteral("eiaj"), 5, "5"},
        {"ApUse", QString(), 5, "5"},
        {"LogPointer", QStringLiteral("12a"), 1, "12a"},
        {"LogCount", QString(), 1, "1"},
        {"Nifuda", QStringLiteral("40000"), 5, "5"},
        {"BaseYear", QStringLiteral("-32769"), 5, "5"},
        {"CheckSpec", QStringLiteral("1 2"), 5, "5"},
        {"CheckSpec", QStringLiteral("1\t2"), 5, "5", QStringLiteral("1\\x092")},
    };
    for (const Case& c : cases) {
        TestInstall t;
        t.writeSettings();
        t.setSetting(QStringLiteral("LogPointer"), QStringLiteral("4"));
        t.writeFile(QStringLiteral("Prg/Msg.DAT"), "001,1,\"x\"\r\n");
        t.writeFile(QStringLiteral("Prg/Code.DAT"), QByteArray());
        t.writeFile(QStringLiteral("Log/Deliv.log"), (QByteArray(kLogRecordLength - 2, 'x') + "\r\n").repeated(4));
        t.setSetting(QString::fromLatin1(c.name), c.value);
        EXPECT_TRUE(endsProgram([&] { StartUp(t.env); })) << c.name;
        ASSERT_EQ(t.dialogs.shown.size(), 1) << c.name;
        EXPECT_EQ(t.dialogs.shown[0].text, QStringLiteral("レジストリの情報に誤りがあります。")) << c.name;
        EXPECT_EQ(t.dialogs.shown[0].icon, MessageIcon::Critical);
        const QString record = cp932::decode(t.readFile(QStringLiteral("Log/Deliv.log")))
                                   .mid((c.record - 1) * kLogRecordLength, kLogRecordLength);
        EXPECT_TRUE(record.startsWith(QStringLiteral("2026/12/07 09:41[共通部][ＡＰメイン処理]%1/").arg(c.name)))
            << c.name << ": " << record.toStdString();
        EXPECT_TRUE(record.contains(QStringLiteral("（値「%1」）").arg(c.shown.isNull() ? c.value : c.shown)))
            << record.toStdString();
        EXPECT_EQ(t.setting(QStringLiteral("LogPointer")), c.pointerAfter) << c.name;
    }
}

TEST_F(StartUpFixture, UnreadableSettingsStoreShowsLabelAndReason)
{
    QFile f(inst.registry.filePath());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("not a setting line\n");
    f.close();
    EXPECT_FALSE(start());
    EXPECT_EQ(lastText(), QStringLiteral("ApUse/レジストリデータベースが壊れています"));
}

TEST_F(StartUpFixture, LeftoverOutputListsOneToFiftyAreRemoved)
{
    for (const char* name : {"7NoOutFile.txt", "50NiOutFile.txt", "51NoOutFile.txt", "0NoOutFile.txt"})
        inst.writeFile(QStringLiteral("Usr/") + QLatin1String(name), "x");
    ASSERT_TRUE(start());
    EXPECT_FALSE(QFile::exists(inst.path(QStringLiteral("Usr/7NoOutFile.txt"))));
    EXPECT_FALSE(QFile::exists(inst.path(QStringLiteral("Usr/50NiOutFile.txt"))));
    EXPECT_TRUE(QFile::exists(inst.path(QStringLiteral("Usr/51NoOutFile.txt"))));
    EXPECT_TRUE(QFile::exists(inst.path(QStringLiteral("Usr/0NoOutFile.txt"))));
}

TEST_F(StartUpFixture, MissingFilesAndFolders)
{
    QFile::remove(inst.path(QStringLiteral("Usr/Cust.DAT")));
    ASSERT_TRUE(start());

    QFile::remove(inst.path(QStringLiteral("Prg/Code.DAT")));
    inst.dialogs.shown.clear();
    EXPECT_FALSE(start());
    EXPECT_EQ(lastText(), QStringLiteral("コードファイルがありません。"));

    inst.setSetting(QStringLiteral("InstallBasePath"), inst.base() + QStringLiteral("/nowhere"));
    EXPECT_FALSE(start());
    EXPECT_EQ(lastText(), QStringLiteral("メッセージ情報が確認できません。"));
}

TEST_F(StartUpFixture, SecondInstanceIsRefusedAndFirstKeepsItsLock)
{
    // An empty lock file, as a window killed while it started would leave,
    // does not count; a living instance does.
    QFile left(instanceLockPath(inst.registry.filePath()));
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.close();
    ProcessLock first(instanceLockPath(inst.registry.filePath()));
    ASSERT_EQ(first.tryLock(0), ProcessLock::Result::Locked);
    EXPECT_TRUE(endsProgram([&] { StartUp(inst.env); }));
    EXPECT_EQ(lastText(), QStringLiteral("既に起動しています。"));
    EXPECT_EQ(inst.dialogs.shown.last().icon, MessageIcon::Exclamation);
    EXPECT_TRUE(first.isLocked());
    first.unlock();
    EXPECT_FALSE(endsProgram([&] { StartUp(inst.env); }));
    EXPECT_TRUE(inst.env.instanceLock && inst.env.instanceLock->isLocked());
}
