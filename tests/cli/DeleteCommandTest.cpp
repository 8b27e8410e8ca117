#include "support/CliRunner.h"
#include "support/RecordBuilders.h"

#include "core/FileLock.h"
#include "store/DeliveryStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

const QString kNothing = QStringLiteral("該当するデータがありません。");

// An installation with two EIAJ companies, a KORVAN one and records of each.
struct DeleteInstall
{
    QTemporaryDir dir;
    QString registry = dir.path() + QStringLiteral("/registry.ini");
    QString root = dir.path() + QStringLiteral("/Plx90We/");

    DeleteInstall()
    {
        EXPECT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
        write(QStringLiteral("Usr/Cust.DAT"),
              fileOf(QList{company('1', "A001", "S01", "北斗電機"), company('2', "K01", "S01", "南星工業"),
                           company('1', "B002", "S01", "東光電子")}));
        write(QStringLiteral("Prg/E_Deliv.dat"),
              fileOf(QList{delivery('1', "A001", "S01", "A-0", "0"), delivery('1', "A001", "S01", "A-2", "2"),
                           delivery('1', "B002", "S01", "B-2", "2"), delivery('1', "B002", "S01", "B-8", "8")}));
        write(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{delivery('2', "K01", "S01", "K-2", "2")}));
    }
    void write(const QString& relative, const QByteArray& bytes) const
    {
        QFile f(root + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const QString& relative) const
    {
        QFile f(root + relative);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString kinds(const QString& relative = QStringLiteral("Prg/E_Deliv.dat")) const
    {
        QString out;
        for (const DeliveryRecord& r : recordsOf(read(relative)))
            out += QLatin1Char(r.kind());
        return out;
    }
    CliResult run(const QStringList& args) const
    {
        return runCli(registry, QStringList{QStringLiteral("delete")} + args);
    }
};

} // namespace

TEST(DeleteCommand, DeletesEveryLiveRecordOfTheFormatWithYes)
{
    DeleteInstall inst;
    const QByteArray korvan = inst.read(QStringLiteral("Prg/K_Deliv.dat"));
    const CliResult p = inst.run({"--eiaj", "--yes"});
    ASSERT_EQ(p.exitCode, 0) << p.err.toStdString();
    EXPECT_EQ(p.out.trimmed(), QStringLiteral("4"));
    EXPECT_TRUE(p.err.contains(QStringLiteral("納品書データを削除します。よろしいですか？ -> はい")));
    EXPECT_EQ(inst.kinds(), QStringLiteral("    "));
    EXPECT_EQ(inst.read(QStringLiteral("Prg/K_Deliv.dat")), korvan);
    EXPECT_FALSE(QFile::exists(inst.root + QStringLiteral("Prg/E_Deliv.dat.work")));
}

TEST(DeleteCommand, OneCompanysIssuedRecords)
{
    DeleteInstall inst;
    const CliResult p = inst.run({"--eiaj", "--orderer", "B002", "--supplier", "S01", "--issued-only", "--yes"});
    ASSERT_EQ(p.exitCode, 0) << p.err.toStdString();
    EXPECT_EQ(p.out.trimmed(), QStringLiteral("1"));
    EXPECT_EQ(inst.kinds(), QStringLiteral("11 1"));

    const CliResult korvan = inst.run({"--korvan", "--issued-only", "--yes"});
    ASSERT_EQ(korvan.exitCode, 0) << korvan.err.toStdString();
    EXPECT_EQ(inst.kinds(QStringLiteral("Prg/K_Deliv.dat")), QStringLiteral(" "));
}

TEST(DeleteCommand, OnlyAYesToMessage12Deletes)
{
    // Without --yes, and whenever message 12 cannot be asked as a question
    // (missing from the catalogue, or its number written so that the box has
    // no Yes button), the answer is No: nothing is deleted.
    struct Case
    {
        const char* what;
        QByteArray from; // replaced in the installed catalogue
        QByteArray to;
        bool yes;
        QString told; // on stderr
    };
    const Case cases[] = {
        {"no --yes", {}, {}, false, QStringLiteral("よろしいですか？ -> いいえ")},
        {"12 missing, --yes", "\r\n012,", "\r\n999,", true, QStringLiteral("エラーです。")},
        {"12 written 0012, --yes", "\r\n012,", "\r\n0012,", true, QStringLiteral("よろしいですか？\n")},
    };
    for (const Case& c : cases) {
        DeleteInstall inst;
        if (!c.from.isEmpty()) {
            const QByteArray catalogue = inst.read(QStringLiteral("Prg/Msg.DAT"));
            ASSERT_TRUE(catalogue.contains(c.from));
            inst.write(QStringLiteral("Prg/Msg.DAT"), QByteArray(catalogue).replace(c.from, c.to));
        }
        const QByteArray before = inst.read(QStringLiteral("Prg/E_Deliv.dat"));
        const CliResult p = inst.run(c.yes ? QStringList{"--eiaj", "--yes"} : QStringList{"--eiaj"});
        EXPECT_EQ(p.exitCode, 1) << c.what;
        EXPECT_TRUE(p.err.contains(c.told)) << c.what << ": " << p.err.toStdString();
        EXPECT_TRUE(p.err.contains(QStringLiteral("削除しませんでした。"))) << c.what;
        EXPECT_TRUE(p.out.isEmpty()) << c.what;
        EXPECT_EQ(inst.read(QStringLiteral("Prg/E_Deliv.dat")), before) << c.what;
    }
}

TEST(DeleteCommand, NothingMatchedOrAnUnknownCompanyIs630)
{
    DeleteInstall inst;
    const QByteArray before = inst.read(QStringLiteral("Prg/E_Deliv.dat"));
    // A001 has no issued record left after this run.
    ASSERT_EQ(inst.run({"--eiaj", "--orderer", "A001", "--supplier", "S01", "--issued-only", "--yes"}).exitCode, 0);
    const QByteArray once = inst.read(QStringLiteral("Prg/E_Deliv.dat"));
    EXPECT_NE(once, before);
    const CliResult again = inst.run({"--eiaj", "--orderer", "A001", "--supplier", "S01", "--issued-only", "--yes"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(kNothing));
    EXPECT_TRUE(again.out.isEmpty());
    EXPECT_EQ(inst.read(QStringLiteral("Prg/E_Deliv.dat")), once);

    // A company of the other format, or none at all.
    for (const char* orderer : {"K01", "Z999"}) {
        const CliResult unknown = inst.run({"--eiaj", "--orderer", orderer, "--supplier", "S01", "--yes"});
        EXPECT_EQ(unknown.exitCode, 1) << orderer;
        EXPECT_TRUE(unknown.err.contains(kNothing)) << orderer;
    }
    EXPECT_EQ(inst.read(QStringLiteral("Prg/E_Deliv.dat")), once);
}

TEST(DeleteCommand, UsageErrorsExit2AndFailedChecksExit1)
{
    DeleteInstall inst;
    for (const QStringList& args : QList<QStringList>{{},
                                                      {"--eiaj", "--korvan"},
                                                      {"--eiaj", "--orderer", "A001"},
                                                      {"--eiaj", "--supplier", "S01"},
                                                      {"--eiaj", "extra"},
                                                      {"--eiaj", "--bogus"}}) {
        const CliResult p = inst.run(args);
        EXPECT_EQ(p.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(p.err.contains(QStringLiteral("usage: plx90-cli delete")));
    }
    EXPECT_EQ(inst.kinds(), QStringLiteral("1111"));

    // Start-up checks: a missing code table ends the command before it asks.
    ASSERT_TRUE(QFile::remove(inst.root + QStringLiteral("Prg/Code.DAT")));
    const CliResult noCodes = inst.run({"--eiaj", "--yes"});
    EXPECT_EQ(noCodes.exitCode, 1);
    EXPECT_FALSE(noCodes.err.contains(QStringLiteral("-> はい")));
    EXPECT_EQ(inst.kinds(), QStringLiteral("1111"));
}

TEST(DeleteCommand, ADamagedOrLockedFileIsACleanFailure)
{
    DeleteInstall inst;
    const QByteArray torn = inst.read(QStringLiteral("Prg/E_Deliv.dat")) + "torn";
    inst.write(QStringLiteral("Prg/E_Deliv.dat"), torn);
    const CliResult damaged = inst.run({"--eiaj", "--yes"});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(QStringLiteral("E_Deliv.dat"))) << damaged.err.toStdString();
    EXPECT_FALSE(damaged.err.contains(kNothing));
    EXPECT_EQ(inst.read(QStringLiteral("Prg/E_Deliv.dat")), torn);

    inst.write(QStringLiteral("Prg/E_Deliv.dat"), torn.chopped(4));
    qputenv("PLX90_LOCK_WAIT_MS", "100");
    {
        const FileLock held(inst.root + QStringLiteral("Prg/E_Deliv.dat"), DeliveryStore::label());
        const CliResult locked = inst.run({"--eiaj", "--yes"});
        EXPECT_EQ(locked.exitCode, 1);
        EXPECT_TRUE(locked.err.contains(QStringLiteral("使用中"))) << locked.err.toStdString();
    }
    qunsetenv("PLX90_LOCK_WAIT_MS");
    EXPECT_EQ(inst.kinds(), QStringLiteral("1111"));
}
