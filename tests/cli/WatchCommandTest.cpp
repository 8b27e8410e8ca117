// plx90-cli watch as the desk runs it: a real process watching a folder while
// files arrive, is killed, waits for a data file, is stopped.

#include "WatchDesk.h"

#include "support/CliRunner.h"
#include "support/ImportFixtures.h"

#include "core/FileLock.h"
#include "core/ProcessLock.h"
#include "import/ArrivalTracker.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;
using namespace plx::test::watch;

TEST(Watch, TakesEachFileOnceWhenCompleteAndSetsRefusedOnesAside)
{
    Desk desk;
    desk.imp.inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("*.CSV"));
    Watch watch(desk, {"--eiaj", "--interval", "0.4", desk.in()});

    // Written slowly, a line at a time, with pauses shorter than the settle time.
    {
        QFile slow(desk.imp.inPath(QStringLiteral("SLOW.CSV")));
        ASSERT_TRUE(slow.open(QIODevice::WriteOnly));
        const QByteArray bytes = Desk::order(keysOf(QStringLiteral("SLOW"), 8));
        for (const QByteArray& line : bytes.split('\n')) {
            slow.write(line.isEmpty() ? line : line + '\n');
            slow.flush();
            QThread::msleep(120);
        }
    }
    // Several at once, one renamed into place, one that is no order file,
    // one that the masks leave alone.
    desk.drop(QStringLiteral("A.CSV"), Desk::order(keysOf(QStringLiteral("A"), 3)));
    desk.drop(QStringLiteral("B.CSV"), Desk::order(keysOf(QStringLiteral("B"), 3)));
    desk.dropRenamed(QStringLiteral("R.CSV"), Desk::order(keysOf(QStringLiteral("R"), 3)));
    desk.drop(QStringLiteral("BAD.CSV"), "nothing here\r\n");
    desk.drop(QStringLiteral("NOTE.txt"), Desk::order(keysOf(QStringLiteral("NOTE"), 1)));
    ASSERT_TRUE(waitFor([&] { return desk.waiting() == QStringList{"NOTE.txt"}; }))
        << desk.waiting().join(' ').toStdString();
    QThread::msleep(1500); // several more looks: nothing is taken again
    const CliResult run = watch.stop();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    QStringList expected = keysOf(QStringLiteral("SLOW"), 8) + keysOf(QStringLiteral("A"), 3) +
                           keysOf(QStringLiteral("B"), 3) + keysOf(QStringLiteral("R"), 3);
    expected.sort();
    EXPECT_EQ(desk.keys(), expected);
    EXPECT_EQ(QDir(desk.dust()).entryList(QDir::Files, QDir::Name),
              (QStringList{"A.CSV", "B.CSV", "R.CSV", "SLOW.CSV"}));
    EXPECT_EQ(QDir(desk.rejected()).entryList(QDir::Files, QDir::Name), (QStringList{"BAD.CSV", "BAD.CSV.err"}));
    EXPECT_TRUE(cp932::decode(desk.imp.inst.readFile(QStringLiteral("Rejected/BAD.CSV.err")))
                    .contains(QStringLiteral("BAD.CSV [    ]:対象外のビジネスプロトコルです。(002)")));

    // One line per file: the time, the file, what became of it, where it went.
    const QRegularExpression time(QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    const QString imported = QStringLiteral("\t取り込み済\t→ ") + desk.dust() + QLatin1Char('/');
    const QList<std::pair<QString, QString>> lines = {
        {"SLOW.CSV", imported + "SLOW.CSV"},
        {"A.CSV", imported + "A.CSV"},
        {"B.CSV", imported + "B.CSV"},
        {"R.CSV", imported + "R.CSV"},
        {"BAD.CSV", "\t拒否 (002 対象外のビジネスプロトコルです。)\t→ " + desk.rejected() + "/BAD.CSV"}};
    for (const auto& [name, says] : lines) {
        const QStringList line = linesOf(run, desk.imp.inPath(name));
        ASSERT_EQ(line.size(), 1) << run.out.toStdString();
        EXPECT_TRUE(time.match(line[0].section(QLatin1Char('\t'), 0, 0)).hasMatch()) << line[0].toStdString();
        EXPECT_EQ(line[0].section(QLatin1Char('\t'), 1), desk.imp.inPath(name) + says);
    }
    // Above them, the line that tells the watch started: folder, format, settings file.
    const QString first = run.out.section(QLatin1Char('\n'), 0, 0);
    EXPECT_TRUE(time.match(first.section(QLatin1Char('\t'), 0, 0)).hasMatch()) << first.toStdString();
    EXPECT_TRUE(
        first.section(QLatin1Char('\t'), 1).startsWith(QStringLiteral("監視開始 ") + desk.in() + QStringLiteral(" (")))
        << first.toStdString();
    EXPECT_TRUE(first.endsWith(QStringLiteral(" [EIAJ] 設定 ") + desk.registry())) << first.toStdString();
    EXPECT_EQ(run.out.count(QLatin1Char('\n')), 6) << run.out.toStdString();

    // The run log: a summary per batch with its time, five files in all.
    int files = 0;
    const QRegularExpression summary(
        QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d \\[EIAJ\\] ﾌｧｲﾙ (\\d+)件: 取り込み済"));
    for (const QString& line : desk.runLog().split(QStringLiteral("\r\n"))) {
        if (const QRegularExpressionMatch m = summary.match(line); m.hasMatch())
            files += m.captured(1).toInt();
    }
    EXPECT_EQ(files, 5) << desk.runLog().toStdString();
    EXPECT_TRUE(desk.runLog().contains(QStringLiteral("[EIAJ] 監視終了")));
}

TEST(Watch, TakesARenamedFileAtOnceAndStopsWhileFilesSettle)
{
    // A settle time longer than the test: only a rename makes a file complete.
    Desk desk;
    Watch watch(desk, {"--eiaj", "--interval", "60", desk.in()});
    desk.drop(QStringLiteral("W.CSV"), Desk::order({"W-1"}));
    desk.dropRenamed(QStringLiteral("R.CSV"), Desk::order({"R-1"}));
    ASSERT_TRUE(waitFor([&] { return desk.waiting() == QStringList{"W.CSV"}; }, 10000));
    EXPECT_EQ(desk.keys(), QStringList{"R-1"});
    const CliResult run = watch.stop(5000);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(desk.waiting(), QStringList{"W.CSV"});
}

TEST(Watch, WaitsForAHeldDataFileAndStopsAfterTheBatchInHand)
{
    Desk desk;
    const QString dataLock = FileLock::lockPathOf(desk.imp.inst.env.paths.eDelivPath);
    {
        Watch watch(desk, {"--eiaj", "--interval", "0.1", desk.in()});
        // Waiting for files, the watch holds no lock.
        ProcessLock held(dataLock);
        ASSERT_EQ(held.tryLock(0), ProcessLock::Result::Locked);
        desk.drop(QStringLiteral("A.CSV"), Desk::order({"A-1", "A-2"}));
        QThread::msleep(2000); // several tries, each waiting 300 ms for the lock
        EXPECT_EQ(desk.waiting(), QStringList{"A.CSV"});
        EXPECT_TRUE(desk.keys().isEmpty());
        held.unlock();
        ASSERT_TRUE(waitFor([&] { return desk.waiting().isEmpty(); }));
        const CliResult run = watch.stop();
        EXPECT_EQ(desk.keys(), (QStringList{"A-1", "A-2"}));
        // Told once, not at every try.
        EXPECT_EQ(run.err.count(QString::fromUtf8(kBusy)), 1) << run.err.toStdString();
        EXPECT_EQ(linesOf(run, desk.imp.inPath(QStringLiteral("A.CSV"))).size(), 2) << run.out.toStdString();
    }

    // SIGTERM while a batch waits for the data file: it ends after the batch.
    Watch watch(desk, {"--eiaj", "--interval", "0.1", desk.in()}, {{"PLX90_LOCK_WAIT_MS", "20000"}});
    ProcessLock held(dataLock);
    ASSERT_EQ(held.tryLock(0), ProcessLock::Result::Locked);
    desk.drop(QStringLiteral("B.CSV"), Desk::order({"B-1"}));
    // The batch has the import's own lock and waits for the data file's.
    ASSERT_TRUE(waitFor([&] { return QFile::exists(FileLock::lockPathOf(desk.imp.inst.env.paths.workDelivPath)); }));
    watch.terminate();
    QThread::msleep(500);
    EXPECT_TRUE(watch.running());
    held.unlock();
    ASSERT_TRUE(watch.waitForEnd(20000));
    const CliResult run = watch.finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(desk.keys(), (QStringList{"A-1", "A-2", "B-1"}));
    EXPECT_TRUE(QFile::exists(desk.dust() + QStringLiteral("/B.CSV")));
    EXPECT_TRUE(desk.runLog().trimmed().endsWith(QStringLiteral("[EIAJ] 監視終了")));
}

TEST(Watch, KilledAtAnyMomentOfABatchImportsEveryOrderLineOnce)
{
    Desk desk;
    const QString prg = desk.imp.inst.path(QStringLiteral("Prg/"));
    QStringList expected;

    // Killed at each step of a batch, then started again.
    struct Step
    {
        const char* point;
        bool recordsIn;   // the batch's records are in the data file
        int filesWaiting; // of the batch's two files
    };
    for (const Step& step : {Step{"prepared", false, 2}, Step{"committed", true, 2}, Step{"moved", true, 1}}) {
        const QString p = QString::fromLatin1(step.point);
        const QStringList one = keysOf(p + QStringLiteral("1"), 20);
        const QStringList two = keysOf(p + QStringLiteral("2"), 20);
        desk.drop(p + QStringLiteral("1.CSV"), Desk::order(one));
        desk.drop(p + QStringLiteral("2.CSV"), Desk::order(two));
        Watch killed(desk, {"--eiaj", "--interval", "0.1", desk.in()}, {{"PLX90_WATCH_CRASH_AT", p}});
        ASSERT_TRUE(killed.waitForEnd(15000)) << step.point;
        ASSERT_TRUE(killed.crashed()) << step.point;
        EXPECT_EQ(desk.keys().size(), expected.size() + (step.recordsIn ? 40 : 0)) << step.point;
        EXPECT_EQ(desk.waiting().size(), step.filesWaiting) << step.point;
        EXPECT_TRUE(QFile::exists(prg + QStringLiteral("E_Watch.jnl"))) << step.point;

        Watch again(desk, {"--eiaj", "--interval", "0.1", desk.in()});
        ASSERT_TRUE(waitFor([&] { return desk.waiting().isEmpty(); })) << step.point;
        const CliResult run = again.stop();
        EXPECT_EQ(run.exitCode, 0);
        // Each file is imported once: taken again, its keys would be refused
        // as already there (005).
        for (const QString& name : {p + QStringLiteral("1.CSV"), p + QStringLiteral("2.CSV")}) {
            const QStringList lines = linesOf(run, desk.imp.inPath(name));
            ASSERT_EQ(lines.size(), 1) << step.point << run.out.toStdString();
            EXPECT_TRUE(lines[0].contains(QStringLiteral("\t取り込み済")) && !lines[0].contains(QStringLiteral("ｴﾗｰ")))
                << lines[0].toStdString();
        }
        expected << one << two;
        expected.sort();
        EXPECT_EQ(desk.keys(), expected) << step.point;
    }

    // Killed at random moments while files keep arriving, some of them refused:
    // before a batch, in its pre-check or import, while it writes the data
    // file, between the commit and the moves, after it.
    QString out;
    std::srand(unsigned(QDateTime::currentMSecsSinceEpoch()));
    for (int round = 1; round <= 15; ++round) {
        const QStringList keys = keysOf(QStringLiteral("K%1").arg(round), 1000);
        desk.drop(QStringLiteral("K%1.CSV").arg(round), Desk::order(keys));
        if (round % 5 == 0)
            desk.drop(QStringLiteral("BAD%1.CSV").arg(round), "no order\r\n");
        expected << keys;
        Watch victim(desk, {"--eiaj", "--interval", "0.02", desk.in()});
        QThread::msleep(ulong(std::rand() % 150));
        victim.kill();
        out += victim.finish().out;
    }
    Watch last(desk, {"--eiaj", "--interval", "0.02", desk.in()});
    ASSERT_TRUE(waitFor([&] { return desk.waiting().isEmpty(); }));
    const CliResult run = last.stop();
    EXPECT_EQ(run.exitCode, 0);
    out += run.out;
    // No file was reported imported twice, or with keys refused as already there.
    for (int round = 1; round <= 15; ++round) {
        EXPECT_LE(out.count(QStringLiteral("/K%1.CSV\t取り込み済").arg(round)), 1) << round;
        EXPECT_LE(out.count(QStringLiteral("/BAD%1.CSV\t拒否").arg(round)), 1) << round;
    }
    EXPECT_FALSE(out.contains(QStringLiteral("ｴﾗｰ"))) << out.toStdString();
    expected.sort();
    EXPECT_EQ(desk.keys(), expected);
    EXPECT_EQ(QDir(desk.dust()).entryList(QDir::Files).size(), 6 + 15);
    EXPECT_EQ(QDir(desk.rejected()).entryList(QDir::Files, QDir::Name),
              (QStringList{"BAD10.CSV", "BAD10.CSV.err", "BAD15.CSV", "BAD15.CSV.err", "BAD5.CSV", "BAD5.CSV.err"}));
    for (const char* left : {"E_Watch.jnl", "E_Watch.wrk", "W_Deliv.dat"})
        EXPECT_FALSE(QFile::exists(prg + QLatin1String(left))) << left;
}

TEST(Watch, LeavesFilesInPlaceWhenFileMoveSaysSoAndTakesEachVersionOnce)
{
    Desk desk;
    desk.imp.inst.setSetting(QStringLiteral("FileMove"), QStringLiteral("2"));
    desk.drop(QStringLiteral("A.CSV"), Desk::order({"A-1", "A-2"}));
    for (int start = 1; start <= 2; ++start) {
        Watch watch(desk, {"--eiaj", "--interval", "0.1", desk.in()});
        ASSERT_TRUE(waitFor([&] { return desk.keys().size() == 2; }));
        QThread::msleep(800);
        const CliResult run = watch.stop();
        EXPECT_EQ(linesOf(run, desk.imp.inPath(QStringLiteral("A.CSV"))).size(), start == 1 ? 1 : 0) << start;
        EXPECT_EQ(desk.keys(), (QStringList{"A-1", "A-2"}));
        EXPECT_EQ(desk.waiting(), QStringList{"A.CSV"});
    }
    // A new file of the same name is a new arrival.
    Watch watch(desk, {"--eiaj", "--interval", "0.1", desk.in()});
    desk.drop(QStringLiteral("A.CSV"), Desk::order({"A-3"}));
    ASSERT_TRUE(waitFor([&] { return desk.keys().size() == 3; }));
    watch.stop();
    EXPECT_EQ(desk.keys(), (QStringList{"A-1", "A-2", "A-3"}));
}

TEST(Watch, RefusesWhatItMustNotDoUnattended)
{
    Desk desk;
    struct Case
    {
        QStringList args;
        const char* makeMode;
        int exitCode;
        const char* says;
    };
    const QList<Case> cases = {
        {{"--eiaj", "--mode", "3", desk.in()}, "1", 2, "処理ﾓｰﾄﾞ 3"},
        {{"--eiaj", desk.in()}, "3", 1, "--mode 1 または --mode 2"},
        {{"--eiaj", "--interval", "0", desk.in()}, "1", 2, "usage"},
        {{"--eiaj", "--korvan", desk.in()}, "1", 2, "usage"},
        {{"--eiaj", desk.in(), desk.in()}, "1", 2, "usage"},
        {{"--eiaj", desk.dust()}, "1", 1, "処理済ﾌｧｲﾙの置き場は監視できません"},
        {{"--eiaj", desk.in() + QStringLiteral("/none")}, "1", 1, "監視するﾌｫﾙﾀﾞがありません"},
    };
    for (const Case& c : cases) {
        desk.imp.inst.setSetting(QStringLiteral("MakeMode"), QLatin1String(c.makeMode));
        const CliResult run = runCli(desk.registry(), QStringList{"watch"} + c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.says))) << run.err.toStdString();
    }
    // One watch of a format at a time; the other format has its own.
    Watch first(desk, {"--eiaj", desk.in()});
    const CliResult second = runCli(desk.registry(), {"watch", "--eiaj", desk.in()});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains(QStringLiteral("EIAJの監視は既に動いています"))) << second.err.toStdString();
    Watch korvan(desk, {"--korvan", desk.in()});
    EXPECT_TRUE(korvan.running());
    EXPECT_EQ(korvan.stop().exitCode, 0);
    EXPECT_EQ(first.stop().exitCode, 0);
}
