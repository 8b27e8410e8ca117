// plx90-cli watch: the time from an order file's arrival in the watched folder
// to its records in the data file, for order files of 1,000 lines (one delivery
// key each), EIAJ and KORVAN, into an empty data file and into one of 25,000
// records (six files then bring it near the 32,767 a data file holds). A file
// renamed into place is taken at once; a file written in place is taken once it
// has stayed the same for the settle time (--interval), so its figure includes
// that time. Goal: under 2 s beyond the settle time.
//
//   build-bench/bench/bench_watch

#include "cli/Installer.h"
#include "core/Registry.h"
#include "core/text/Cp932.h"
#include "store/DeliveryRecord.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kLines = 1000;
constexpr double kSettleSeconds = 0.5;

QByteArray orderFile(int kind, const QString& prefix)
{
    QByteArray out = kind == 0 ? QByteArray("REIAJC14,REIAJ004,REIAJ005,REIAJ001,REIAJ003,REIAJ007,REIAJ012,REIAJ013,"
                                            "REIAJ015,REIAJ022,REIAJ262,REIAJ024,REIAJ029,REIAJ159NO01,REIAJ031NO01,"
                                            "REIAJ032NO01\r\n")
                               : QByteArray("RD10DataKubun,RD10KigyouCode,RD10JigyouCode,RD10ToriCode,RD10EigyouCode,"
                                            "RD10Key,RD10Tani,RD10CNum,RD10Name,RD10Code,RD10Nouki,RD10SNum\r\n");
    for (int i = 0; i < kLines; ++i) {
        const QString key = prefix + QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0'));
        const QString line =
            kind == 0 ? QStringLiteral("0502,102851,M40217,1,261201,PO-%1,2,12.5,1000,CHIP R 10K,チップ抵抗,RK73H1J,"
                                       "PCS,%2,261224,100")
                            .arg(i)
                            .arg(key)
                      : QStringLiteral("D10,41720301,,0588120,,%1,PC,24,SENSOR,SNS-7,261215,12").arg(key);
        out += plx::cp932::encode(line) + "\r\n";
    }
    return out;
}

QByteArray filledDataFile(int kind, int records)
{
    QByteArray out;
    out.reserve(qsizetype(records) * plx::DeliveryRecord::kLength);
    for (int n = 1; n <= records; ++n) {
        plx::DeliveryRecord r;
        r.setKind(kind == 0 ? '1' : '2');
        r.setText(plx::DeliveryField::OrdererCode, kind == 0 ? QStringLiteral("102851") : QStringLiteral("41720301"));
        r.setText(plx::DeliveryField::SupplierCode, kind == 0 ? QStringLiteral("M40217") : QStringLiteral("0588120"));
        r.setText(plx::DeliveryField::DeliveryKeyNo, QStringLiteral("OLD%1").arg(n, 6, 10, QLatin1Char('0')));
        r.setText(plx::DeliveryField::Status, u"0");
        out += r.bytes();
    }
    return out;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

qint64 records(const QString& dataPath)
{
    return QFileInfo(dataPath).size() / plx::DeliveryRecord::kLength;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString registryPath = dir.path() + QStringLiteral("/registry.ini");
    plx::Registry registry(registryPath);
    plx::Installer installer(registry, {dir.path(), QStringLiteral("ALL"), true, true, true});
    if (!installer.run())
        return 1;
    const QString folder = dir.path() + QStringLiteral("/in");
    QDir().mkpath(folder);
    const QString prg = dir.path() + QStringLiteral("/Plx90We/Prg/");
    const QString runLog = dir.path() + QStringLiteral("/Plx90We/Log/Watch.log");

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("order files of %d lines, settle time %.1f s\n", kLines, kSettleSeconds);
    std::printf("%-7s %-8s %-8s %14s %14s\n", "format", "data", "arrival", "ms to records", "beyond settle");
    int file = 0;
    for (int kind : {0, 1}) {
        const QString dataPath = prg + (kind == 0 ? QStringLiteral("E_Deliv.dat") : QStringLiteral("K_Deliv.dat"));
        for (int filled : {0, 25000}) {
            writeFile(dataPath, filledDataFile(kind, filled));
            QProcess watch;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PLX90_REGISTRY"), registryPath);
            watch.setProcessEnvironment(env);
            watch.setStandardOutputFile(QProcess::nullDevice());
            const qint64 logBefore = QFileInfo(runLog).size();
            watch.start(QStringLiteral(PLX90_CLI_PATH),
                        {QStringLiteral("watch"), kind == 0 ? QStringLiteral("--eiaj") : QStringLiteral("--korvan"),
                         QStringLiteral("--interval"), QString::number(kSettleSeconds), folder});
            while (QFileInfo(runLog).size() == logBefore && watch.state() != QProcess::NotRunning)
                QThread::msleep(5);
            for (bool renamed : {true, false}) {
                for (int rep = 0; rep < 3; ++rep) {
                    const QByteArray bytes = orderFile(kind, QStringLiteral("N%1-").arg(++file));
                    const QString name = QStringLiteral("ORDER%1.CSV").arg(file);
                    const qint64 before = records(dataPath);
                    QElapsedTimer timer;
                    if (renamed) {
                        writeFile(folder + QStringLiteral("/.") + name, bytes);
                        timer.start();
                        QFile::rename(folder + QStringLiteral("/.") + name, folder + QLatin1Char('/') + name);
                    } else {
                        writeFile(folder + QLatin1Char('/') + name, bytes);
                        timer.start();
                    }
                    const QDeadlineTimer deadline(60000);
                    while (records(dataPath) < before + kLines && !deadline.hasExpired())
                        QThread::usleep(500);
                    const double ms = timer.nsecsElapsed() / 1e6;
                    std::printf("%-7s %-8s %-8s %14.1f %14.1f%s\n", kind == 0 ? "EIAJ" : "KORVAN",
                                filled ? "25000" : "empty", renamed ? "renamed" : "written", ms,
                                renamed ? ms : ms - kSettleSeconds * 1000,
                                deadline.hasExpired() ? "  (not imported)" : "");
                }
            }
            ::kill(pid_t(watch.processId()), SIGTERM);
            watch.waitForFinished(30000);
        }
    }
    return 0;
}
