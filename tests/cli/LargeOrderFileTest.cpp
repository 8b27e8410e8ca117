// An order file far larger than any real one, beside a small one, under an
// address-space limit: the small one is imported, the large one refused on its
// own line, and neither `import` nor `watch` runs out of memory.

#include "support/CliRunner.h"
#include "support/ImportFixtures.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>
#include <functional>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace plx;
using namespace plx::test;

namespace {

// Far below what reading a file of hundreds of megabytes whole takes, far above
// what the program needs otherwise.
constexpr qint64 kAddressSpace = 512LL * 1024 * 1024;

constexpr qint64 kGiB = 1024LL * 1024 * 1024;

// plx90-cli under the address-space limit.
void startLimited(QProcess& p, const QString& registry, const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([] {
        const rlimit limit{rlim_t(kAddressSpace), rlim_t(kAddressSpace)};
        ::setrlimit(RLIMIT_AS, &limit);
    });
    p.start(QStringLiteral(PLX90_CLI_PATH), args);
}

// A real order line, then nothing but zero bytes up to `size` (sparse: no disk).
void writeLarge(const ImportInstall& imp, const QString& name, qint64 size)
{
    imp.order(name, {QStringLiteral("REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ159NO01"),
                     QStringLiteral("0502,A001,S01,2,BIG-1")});
    QFile f(imp.inPath(name));
    ASSERT_TRUE(f.resize(size));
}

void writeSmall(const ImportInstall& imp)
{
    imp.order("SMALL.CSV", {QStringLiteral("REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ159NO01"),
                            QStringLiteral("0502,A001,S01,2,SMALL-1"), QStringLiteral("0502,A001,S01,2,SMALL-2")});
}

const QString kTooLarge = QStringLiteral("拒否 (013 ﾌｧｲﾙが大きすぎるため、取り込めません。)");
const QString kMalformed = QStringLiteral("拒否 (002 対象外のビジネスプロトコルです。)");

} // namespace

TEST(LargeOrderFile, ImportTakesTheSmallFileAndRefusesTheLargeOneWithoutRunningOutOfMemory)
{
    struct Case
    {
        qint64 size;
        QString says;      // the large file's line
        QString errorLine; // its line in the error list
        QStringList keys;  // imported
        QString counts;    // the import's counts
    };
    const Case cases[] = {
        // Beyond the limit: not read at all.
        {kGiB,
         kTooLarge,
         QStringLiteral("BIG.CSV [    ]:ﾌｧｲﾙが大きすぎるため、取り込めません。(013):ｻｲｽﾞ[1073741824ﾊﾞｲﾄ],"
                        "上限[134217728ﾊﾞｲﾄ]"),
         {"SMALL-1", "SMALL-2"},
         QStringLiteral("取込：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 2件\n拒否：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 0件\n")},
        // Within it, read a line at a time: its record is imported, the line
        // of zeros too long for an order record refuses the rest.
        {100LL * 1024 * 1024,
         kMalformed,
         QStringLiteral("BIG.CSV [    ]:対象外のビジネスプロトコルです。(002)"),
         {"BIG-1", "SMALL-1", "SMALL-2"},
         QStringLiteral("取込：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 3件\n拒否：ﾌｧｲﾙ 1件、ﾚｺｰﾄﾞ 0件\n")},
    };
    for (const Case& c : cases) {
        ImportInstall imp;
        writeLarge(imp, "BIG.CSV", c.size);
        writeSmall(imp);
        QProcess p;
        startLimited(p, imp.inst.registry.filePath(),
                     {"import", "--eiaj", "--no-move", imp.inPath("BIG.CSV"), imp.inPath("SMALL.CSV")});
        ASSERT_TRUE(p.waitForFinished(60000)) << c.size;
        const CliResult run = finished(p);
        EXPECT_EQ(run.exitCode, 0) << c.size << run.err.toStdString();
        EXPECT_EQ(run.out, imp.inPath("BIG.CSV") + QLatin1Char('\t') + c.says + QLatin1Char('\n') +
                               imp.inPath("SMALL.CSV") + QStringLiteral("\t取り込み済\n") + c.counts +
                               QStringLiteral("ｴﾗｰﾘｽﾄ: ") + imp.inst.env.paths.errListPath + QLatin1Char('\n'))
            << c.size;
        EXPECT_EQ(imp.errorLines(), QStringList{c.errorLine}) << c.size;
        EXPECT_EQ(liveKeys(imp), c.keys) << c.size;
    }
}

TEST(LargeOrderFile, WatchSetsTheLargeFileAsideAndImportsTheSmallOne)
{
    ImportInstall imp;
    imp.inst.setSetting(QStringLiteral("EiajFileName"), QStringLiteral("*.CSV"));
    writeLarge(imp, "BIG.CSV", kGiB);
    writeSmall(imp);
    const QString rejected = imp.inst.path(QStringLiteral("Rejected"));
    const QString dust = imp.inst.path(QStringLiteral("Dust"));

    QProcess watch;
    startLimited(watch, imp.inst.registry.filePath(), {"watch", "--eiaj", "--interval", "0.3", imp.folder()});
    const bool done = waitFor(
        [&] {
            return watch.state() == QProcess::NotRunning ||
                   (QFile::exists(rejected + "/BIG.CSV") && QFile::exists(dust + "/SMALL.CSV"));
        },
        30000);
    const bool running = watch.state() != QProcess::NotRunning;
    if (running)
        ::kill(pid_t(watch.processId()), SIGTERM);
    watch.waitForFinished(20000);
    const CliResult run = finished(watch);
    ASSERT_TRUE(done && running) << "the watch ended by itself: " << run.exitCode << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();

    EXPECT_EQ(liveKeys(imp), (QStringList{"SMALL-1", "SMALL-2"}));
    EXPECT_EQ(QDir(imp.folder()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QFileInfo(rejected + "/BIG.CSV").size(), kGiB);
    EXPECT_TRUE(cp932::decode(imp.inst.readFile(QStringLiteral("Rejected/BIG.CSV.err")))
                    .contains(QStringLiteral("BIG.CSV [    ]:ﾌｧｲﾙが大きすぎるため、取り込めません。(013)")));
    EXPECT_TRUE(run.out.contains(imp.inPath("BIG.CSV") + QLatin1Char('\t') + kTooLarge + QStringLiteral("\t→ ") +
                                 rejected + QStringLiteral("/BIG.CSV")))
        << run.out.toStdString();
}
