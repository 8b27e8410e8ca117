// Reload of the delivery-slip list: builds an installation whose EIAJ data file
// holds 8k, 16k and 32,767 live records and prints the time and peak memory of
// a full reload of the main window's list and of `plx90-cli list --eiaj`.
//
//   build/bench/bench_list            (runs offscreen)

#include "cli/Installer.h"
#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/Registry.h"
#include "core/StartUp.h"
#include "store/DeliveryRecord.h"
#include "ui/list/ListWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

class SilentDialogs : public plx::Dialogs
{
public:
    plx::Answer show(plx::MessageIcon, const QString&, plx::MessageButtons, plx::DefaultButton) override
    {
        return plx::kAnswerNo;
    }
};

long peakKb(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_maxrss;
}

QByteArray dataFile(int records)
{
    QByteArray out;
    out.reserve(qsizetype(records) * plx::DeliveryRecord::kLength);
    for (int i = 0; i < records; ++i) {
        plx::DeliveryRecord r;
        r.setKind('1');
        r.setText(plx::DeliveryField::OrdererCode, i % 3 == 0 ? u"102851" : u"207733");
        r.setText(plx::DeliveryField::SupplierCode, i % 3 == 0 ? u"M40217" : u"MD0051");
        r.setText(plx::DeliveryField::DeliveryKeyNo, QStringLiteral("HK%1").arg(i, 10, 10, QLatin1Char('0')));
        r.setText(plx::DeliveryField::Status, QString::number(i % 3));
        r.setText(plx::DeliveryField::OrderNo, QStringLiteral("PO-%1").arg(i));
        r.setText(plx::DeliveryField::ItemName, u"CHIP RESISTOR 10K 1608");
        r.setText(plx::DeliveryField::ItemNameKanji, u"チップ抵抗　１０ｋΩ　１６０８");
        r.setText(plx::DeliveryField::ItemCode, u"RK73H1JTTD1002F");
        r.setText(plx::DeliveryField::InspectionClass, u"2");
        r.setText(plx::DeliveryField::OrderQty, u"000012345.500");
        r.setText(plx::DeliveryField::InstructedQty, u"000012345.500");
        r.setText(plx::DeliveryField::ShipQty, u"000001000.000");
        r.setText(plx::DeliveryField::DueDate, u"20261231");
        r.setText(plx::DeliveryField::ShipDate, u"00000000");
        out += r.bytes();
    }
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString registryPath = dir.path() + QStringLiteral("/registry.ini");
    qputenv("PLX90_REGISTRY", registryPath.toUtf8());
    plx::Registry registry(registryPath);
    plx::Installer installer(registry, {dir.path(), QStringLiteral("EIAJ"), true, true, true});
    if (!installer.run()) {
        std::fprintf(stderr, "%s\n", installer.error().toUtf8().constData());
        return 1;
    }

    SilentDialogs dialogs;
    plx::SystemClock clock;
    plx::Environment env(dialogs, clock, registry);
    plx::StartUp(env, {false});

    std::printf("%-8s %14s %14s %14s %14s\n", "records", "reload ms", "reload peakMB", "cli list ms", "cli peakMB");
    for (int records : {8192, 16384, 32767}) {
        QFile file(env.paths.eDelivPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(dataFile(records));
        file.close();

        plx::ListWindow window(env);
        // The window's first load runs on its timer; time a reload of our own.
        QElapsedTimer t;
        t.start();
        window.reloadLists(plx::Protocol::Eiaj);
        const double reloadMs = t.nsecsElapsed() / 1e6;
        const long reloadPeak = peakKb(RUSAGE_SELF);

        QElapsedTimer c;
        c.start();
        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        cli.start(QStringLiteral(PLX90_CLI_PATH), {QStringLiteral("list"), QStringLiteral("--eiaj")});
        cli.waitForFinished(-1);
        const double cliMs = c.nsecsElapsed() / 1e6;
        const long cliPeak = peakKb(RUSAGE_CHILDREN);
        std::printf("%-8d %14.1f %14.1f %14.1f %14.1f\n", records, reloadMs, reloadPeak / 1024.0, cliMs,
                    cliPeak / 1024.0);
    }
    return 0;
}
