// plx90-cli ship speed: 1,250, 2,500 and 5,000 rows registered into a data file
// of 32,767 records (every row names an existing record by its keys, spread over
// the whole file). Prints rows per second and the command's peak memory; the
// time per row should stay flat as the rows grow (no scan of the file per row).
//
//   build-bench/bench/bench_ship

#include "cli/Installer.h"
#include "core/Registry.h"
#include "store/CustRecord.h"
#include "store/DeliveryRecord.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>

namespace {

constexpr int kRecords = 32767;

QByteArray dataFile()
{
    QByteArray out;
    out.reserve(qsizetype(kRecords) * plx::DeliveryRecord::kLength);
    for (int n = 1; n <= kRecords; ++n) {
        plx::DeliveryRecord r;
        r.setKind('1');
        r.setText(plx::DeliveryField::OrdererCode, u"A001");
        r.setText(plx::DeliveryField::SupplierCode, u"S01");
        r.setText(plx::DeliveryField::DeliveryKeyNo, QStringLiteral("K%1").arg(n, 6, 10, QLatin1Char('0')));
        r.setText(plx::DeliveryField::Status, u"0");
        r.setText(plx::DeliveryField::MessageKind, u"0502");
        r.setText(plx::DeliveryField::OrderNo, QStringLiteral("PO-%1").arg(n));
        r.setText(plx::DeliveryField::ItemCode, u"RK73H1J");
        r.setText(plx::DeliveryField::ItemName, u"CHIP R 10K");
        r.setText(plx::DeliveryField::InspectionClass, u"1");
        r.setText(plx::DeliveryField::ConsumptionTaxClass, u"2");
        r.setText(plx::DeliveryField::TaxationClass, u"1");
        r.setText(plx::DeliveryField::PriceDisplayClass, u"2");
        r.setText(plx::DeliveryField::Currency, u"JPY");
        r.setText(plx::DeliveryField::UnitPrice, u"00000000012.500");
        r.setText(plx::DeliveryField::InstructedQty, u"000001000.000");
        r.clearTagLines();
        out += r.bytes();
    }
    return out;
}

QByteArray csv(int rows)
{
    QByteArray out = "OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ShipDate,PlannedDeliveryDate,TagLines\n";
    for (int i = 0; i < rows; ++i) {
        const int n = 1 + int((qint64(i) * 6151) % kRecords); // spread over the file
        out += QStringLiteral("A001,S01,K%1,1000,2026/12/08,2026/12/09,250x4\n")
                   .arg(n, 6, 10, QLatin1Char('0'))
                   .toLatin1();
    }
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("%-8s %12s %12s %12s\n", "rows", "ms", "rows/s", "peakMB");
    const QByteArray records = dataFile();
    for (int rows : {1250, 2500, 5000}) {
        QTemporaryDir dir;
        plx::Registry registry(dir.path() + QStringLiteral("/registry.ini"));
        plx::Installer installer(registry, {dir.path(), QStringLiteral("ALL"), true, true, false});
        if (!installer.run())
            return 1;
        registry.regPutValue(plx::kRegistryKey, QStringLiteral("LogCount"), QStringLiteral("100"));
        const QString root = dir.path() + QStringLiteral("/Plx90We/");
        plx::CustRecord c;
        c.setProtocolByte('1');
        c.setText(plx::CustField::OrdererCode, u"A001");
        c.setText(plx::CustField::SupplierCode, u"S01");
        c.setText(plx::CustField::OrdererName, u"北斗星電機");
        c.setText(plx::CustField::KanjiUse, u"0");
        c.setText(plx::CustField::OutputKind, u"3");
        c.setText(plx::CustField::AmountRounding, u"3");
        c.setText(plx::CustField::TaxRounding, u"2");
        QFile cust(root + QStringLiteral("Usr/Cust.DAT"));
        QFile data(root + QStringLiteral("Prg/E_Deliv.dat"));
        QFile rowsFile(dir.path() + QStringLiteral("/ship.csv"));
        if (!cust.open(QIODevice::WriteOnly) || !data.open(QIODevice::WriteOnly) ||
            !rowsFile.open(QIODevice::WriteOnly))
            return 1;
        cust.write(c.bytes());
        data.write(records);
        rowsFile.write(csv(rows));
        cust.close();
        data.close();
        rowsFile.close();

        QProcess ship;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), dir.path() + QStringLiteral("/registry.ini"));
        ship.setProcessEnvironment(env);
        ship.setStandardOutputFile(QProcess::nullDevice());
        ship.setStandardErrorFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        ship.start(QStringLiteral(PLX90_CLI_PATH), {"ship", "--eiaj", rowsFile.fileName()});
        ship.waitForFinished(600000);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage); // the largest child so far
        if (ship.exitCode() != 0)
            std::printf("(exit %d)\n", ship.exitCode());
        std::printf("%-8d %12.1f %12.0f %12.1f\n", rows, ms, rows / (ms / 1000.0), usage.ru_maxrss / 1024.0);
    }
    return 0;
}
