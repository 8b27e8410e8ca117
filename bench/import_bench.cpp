// Import speed: EIAJ files of 31 delivery keys per order record and KORVAN files
// of one key per record, 8k, 16k and 32,767 keys, into an empty data file and
// into one already half full. Prints keys per second and peak memory.
//
// First, alone, a KORVAN order file of 100 MB (1.6 million lines over the
// 32,767 keys a data file holds, so most lines update a record): the peak
// memory of the process after it shows what importing a large file costs.
//
//   build-bench/bench/bench_import

#include "cli/Installer.h"
#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/Registry.h"
#include "core/StartUp.h"
#include "core/text/Cp932.h"
#include "import/ImportDriver.h"
#include "store/DeliveryRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

class SilentDialogs : public plx::Dialogs
{
public:
    plx::Answer show(plx::MessageIcon, const QString&, plx::MessageButtons, plx::DefaultButton) override
    {
        return plx::kAnswerNo;
    }
};

double peakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Order files holding `keys` delivery keys, prefixed so that runs do not collide.
void writeEiaj(const QString& folder, int keys, const QString& prefix)
{
    QStringList header = {"REIAJC14", "REIAJ004", "REIAJ005", "REIAJ001", "REIAJ003", "REIAJ007", "REIAJ012",
                          "REIAJ013", "REIAJ015", "REIAJ022", "REIAJ262", "REIAJ024", "REIAJ029"};
    for (int n = 1; n <= 31; ++n) {
        const QString nn = QString::number(n).rightJustified(2, QLatin1Char('0'));
        header << QStringLiteral("REIAJ159NO") + nn << QStringLiteral("REIAJ031NO") + nn
               << QStringLiteral("REIAJ032NO") + nn;
    }
    QByteArray out = header.join(u',').toLatin1() + "\r\n";
    int written = 0;
    int record = 0;
    while (written < keys) {
        QStringList v = {"0502", "102851", "M40217", "1",          "261201",     QStringLiteral("PO-%1").arg(record),
                         "2",    "12.5",   "1000",   "CHIP R 10K", "チップ抵抗", "RK73H1J",
                         "PCS"};
        for (int n = 1; n <= 31; ++n) {
            if (written < keys) {
                v << QStringLiteral("%1%2").arg(prefix).arg(written, 8, 10, QLatin1Char('0')) << "261224"
                  << "100";
                ++written;
            } else {
                v << ""
                  << ""
                  << "";
            }
        }
        out += plx::cp932::encode(v.join(u',')) + "\r\n";
        ++record;
    }
    QFile f(folder + QStringLiteral("/E.CSV"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(out);
}

void writeKorvan(const QString& folder, int keys, const QString& prefix)
{
    QByteArray out = "RD10DataKubun,RD10KigyouCode,RD10JigyouCode,RD10ToriCode,RD10EigyouCode,RD10Key,RD10Tani,"
                     "RD10CNum,RD10Name,RD10Code,RD10Nouki,RD10SNum\r\n";
    for (int i = 0; i < keys; ++i) {
        out += QStringLiteral("D10,41720301,,0588120,,%1%2,PC,24,SENSOR,SNS-7,261215,12\r\n")
                   .arg(prefix)
                   .arg(i, 8, 10, QLatin1Char('0'))
                   .toLatin1();
    }
    QFile f(folder + QStringLiteral("/K.CSV"));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(out);
}

// A KORVAN order file of at least `bytes` bytes, written a line at a time (the
// file is never held whole here either): keys repeat every 32,767 lines.
qint64 writeLargeKorvan(const QString& path, qint64 bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    qint64 lines = 0;
    f.write("RD10DataKubun,RD10KigyouCode,RD10JigyouCode,RD10ToriCode,RD10EigyouCode,RD10Key,RD10Tani,"
            "RD10CNum,RD10Name,RD10Code,RD10Nouki,RD10SNum\r\n");
    while (f.size() < bytes) {
        f.write(QStringLiteral("D10,41720301,,0588120,,L%1,PC,24,SENSOR,SNS-7,261215,%2\r\n")
                    .arg(lines % 32767, 8, 10, QLatin1Char('0'))
                    .arg(lines % 100)
                    .toLatin1());
        ++lines;
    }
    return lines;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    plx::Registry registry(dir.path() + QStringLiteral("/registry.ini"));
    plx::Installer installer(registry, {dir.path(), QStringLiteral("ALL"), true, true, true});
    if (!installer.run())
        return 1;
    registry.regPutValue(plx::kRegistryKey, QStringLiteral("LogCount"), QStringLiteral("100"));
    SilentDialogs dialogs;
    plx::SystemClock clock;
    plx::Environment env(dialogs, clock, registry);
    plx::StartUp(env, {false});
    const QString folder = dir.path() + QStringLiteral("/in");
    QDir().mkpath(folder);

    {
        QFile::remove(env.paths.kDelivPath);
        const QString large = folder + QStringLiteral("/L.CSV");
        const qint64 lines = writeLargeKorvan(large, 100LL * 1000 * 1000);
        const double before = peakMb();
        plx::ImportDriver driver(env, plx::Protocol::Korvan);
        QElapsedTimer t;
        t.start();
        driver.precheck(folder, {QStringLiteral("L.CSV")});
        driver.run(plx::RebuildMode::Add, false);
        const double ms = t.nsecsElapsed() / 1e6;
        std::printf("KORVAN order file of %.1f MB (%lld lines): %s in %.1f ms (%.1f MB/s); peak MB %.1f before, %.1f "
                    "after\n\n",
                    QFileInfo(large).size() / 1e6, static_cast<long long>(lines),
                    driver.outcomes().value(0).refusal == 0 ? "imported" : "refused", ms,
                    QFileInfo(large).size() / 1e6 / (ms / 1000.0), before, peakMb());
        QFile::remove(large);
        QFile::remove(env.paths.kDelivPath);
    }

    std::printf("%-7s %-6s %-10s %10s %12s %10s\n", "format", "keys", "data file", "ms", "keys/s", "peak MB");
    for (plx::Protocol protocol : plx::kProtocols) {
        const bool eiaj = protocol == plx::Protocol::Eiaj;
        for (int keys : {8192, 16384, 32767}) {
            for (bool halfFull : {false, true}) {
                const QString data = eiaj ? env.paths.eDelivPath : env.paths.kDelivPath;
                QFile::remove(data);
                int toImport = keys;
                if (halfFull) {
                    // Fill half the file with an import of its own, then time the other half.
                    if (eiaj)
                        writeEiaj(folder, keys / 2, QStringLiteral("H"));
                    else
                        writeKorvan(folder, keys / 2, QStringLiteral("H"));
                    plx::ImportDriver fill(env, protocol);
                    fill.precheck(folder, {eiaj ? QStringLiteral("E.CSV") : QStringLiteral("K.CSV")});
                    fill.run(plx::RebuildMode::Add, false);
                    toImport = keys - keys / 2;
                }
                if (eiaj)
                    writeEiaj(folder, toImport, QStringLiteral("N"));
                else
                    writeKorvan(folder, toImport, QStringLiteral("N"));
                plx::ImportDriver driver(env, protocol);
                QElapsedTimer t;
                t.start();
                driver.precheck(folder, {eiaj ? QStringLiteral("E.CSV") : QStringLiteral("K.CSV")});
                driver.run(plx::RebuildMode::Add, false);
                const double ms = t.nsecsElapsed() / 1e6;
                std::printf("%-7s %-6d %-10s %10.1f %12.0f %10.1f\n", eiaj ? "EIAJ" : "KORVAN", toImport,
                            halfFull ? "half full" : "empty", ms, toImport / (ms / 1000.0), peakMb());
                if (driver.errorCount() > 0)
                    std::printf("        (error lines were written: %s)\n", env.paths.errListPath.toUtf8().constData());
            }
        }
    }
    return 0;
}
