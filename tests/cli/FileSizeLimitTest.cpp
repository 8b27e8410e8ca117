// A write that cannot complete (a full disk, a file-size limit) leaves the
// data file as it was: no program finds it torn afterwards.

#include "support/CliRunner.h"
#include "support/OutputFixtures.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace plx;
using namespace plx::test;

namespace {

// Runs plx90-cli with a file-size limit: no file it writes may grow past
// `limitBytes`.
CliResult runLimited(const QString& registry, const QStringList& args, qint64 limitBytes)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
    p.setProcessEnvironment(env);
    p.setChildProcessModifier([limitBytes] {
        const rlimit limit{rlim_t(limitBytes), rlim_t(limitBytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(PLX90_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

TEST(FileSizeLimit, AnAppendThatCannotCompleteLeavesTheFileAsItWasAndIsReported)
{
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    const QString root = dir.path() + QStringLiteral("/Plx90We/");
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
    QList<CustRecord> companies;
    for (const char* code : {"A001", "B001", "C001"})
        companies << entryCompany(QString::fromLatin1(code));
    writeFile(root + QStringLiteral("Usr/Cust.DAT"), fileOf(companies));
    writeFile(root + QStringLiteral("Prg/E_Deliv.dat"),
              fileOf(QList{entryReady(QStringLiteral("A001"), QStringLiteral("S01"), "K1"),
                           entryReady(QStringLiteral("A001"), QStringLiteral("S01"), "K2"),
                           entryReady(QStringLiteral("A001"), QStringLiteral("S01"), "K3")}));
    const QString csv = dir.path() + QStringLiteral("/new.csv");
    writeFile(csv, "OrdererCode,SupplierCode,DeliveryKeyNo,OrderNo,ItemCode,InspectionClass,UnitPrice,"
                   "ShipQty,ShipDate,PlannedDeliveryDate\n"
                   "A001,S01,N-1,PO-N1,IC-1,1,2,3,2026/12/08,2026/12/09\n");

    struct Case
    {
        const char* file; // below Plx90We/
        QStringList args;
        qint64 room; // bytes the file may still grow by: less than a record
    };
    const Case cases[] = {
        {"Prg/E_Deliv.dat", {"ship", "--eiaj", csv}, 1000},
        {"Usr/Cust.DAT",
         {"company", "add", "--eiaj", "OrdererCode=D001", "SupplierCode=S01", "OrdererName=NEW", "SupplierName=SUP",
          "OutputKind=1", "SlipFormFile=E_Slip.agr", "SlipBarcodeDigits=20", "KanjiUse=0", "AmountRounding=3",
          "TaxRounding=2", "ConsumptionTaxKind=2", "TaxationKind=1", "PriceDisplayKind=2"},
         100},
    };
    for (const Case& c : cases) {
        const QString path = root + QLatin1String(c.file);
        const QByteArray before = readFile(path);
        const CliResult run = runLimited(registry, c.args, before.size() + c.room);
        EXPECT_EQ(run.exitCode, 1) << c.file << run.out.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("書き込めません"))) << run.err.toStdString();
        const QByteArray after = readFile(path);
        EXPECT_TRUE(after == before) << c.file << ": " << after.size() << " bytes, were " << before.size();
        // The failure is in the error log, and every program still reads the file.
        EXPECT_TRUE(
            cp932::decode(readFile(root + QStringLiteral("Log/Deliv.log"))).contains(QStringLiteral("書き込めません")))
            << c.file;
        EXPECT_EQ(runCli(registry, {"list", "--eiaj"}).exitCode, 0);
        EXPECT_EQ(runCli(registry, {"company", "list", "--eiaj"}).exitCode, 0);
    }
    // Without the limit the same commands go through.
    EXPECT_EQ(runCli(registry, {"ship", "--eiaj", csv}).exitCode, 0);
    EXPECT_EQ(readFile(root + QStringLiteral("Prg/E_Deliv.dat")).size(), 4 * DeliveryRecord::kLength);
}
