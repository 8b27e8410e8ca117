// Two plx90-cli processes at once on one installation: nothing lost, nothing
// twice, every command done or refused with its message.

#include "support/CliRunner.h"
#include "support/OutputFixtures.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <optional>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

constexpr const char* kBusy = "他のﾌﾟﾛｸﾞﾗﾑが使用中です";

// A plx90-cli process started now and waited for later.
class Started
{
public:
    Started(const QString& registry, const QStringList& args, int lockWaitMs)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
        env.insert(QStringLiteral("PLX90_LOCK_WAIT_MS"), QString::number(lockWaitMs));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral(PLX90_CLI_PATH), args);
    }
    // kill -9, and wait until it is gone.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }
    CliResult finish()
    {
        m_process.waitForFinished(120000);
        // -1 for a process that crashed, as runCli gives it.
        return {m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1,
                QString::fromUtf8(m_process.readAllStandardOutput()),
                QString::fromUtf8(m_process.readAllStandardError())};
    }

private:
    QProcess m_process;
};

struct Installation
{
    QTemporaryDir dir;
    QString registry = dir.path() + QStringLiteral("/registry.ini");
    QString root = dir.path() + QStringLiteral("/Plx90We/");

    Installation()
    {
        const CliResult installed = runCli(registry, {"install", "--base", dir.path()});
        EXPECT_EQ(installed.exitCode, 0) << installed.err.toStdString();
        CustRecord c = company('1', "A001", "S01", "北斗星電機");
        c.setText(CustField::OutputKind, u"1");
        c.setText(CustField::KanjiUse, u"0");
        c.setText(CustField::SlipFormFile, u"E_Slip.agr");
        c.setText(CustField::SlipBarcodeDigits, u"20");
        write(QStringLiteral("Usr/Cust.DAT"), c.bytes());
        QDir().mkpath(inFolder());
    }
    QString inFolder() const { return dir.path() + QStringLiteral("/in"); }
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
    // An EIAJ order file of new keys, in the "in" folder.
    QString order(const QString& name, const QStringList& keys) const
    {
        const QString path = inFolder() + QLatin1Char('/') + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write("REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ159NO01\r\n");
        for (const QString& key : keys)
            f.write(QStringLiteral("0502,A001,S01,2,%1\r\n").arg(key).toLatin1());
        return path;
    }
    QList<DeliveryRecord> records() const
    {
        const QByteArray bytes = read(QStringLiteral("Prg/E_Deliv.dat"));
        EXPECT_EQ(bytes.size() % DeliveryRecord::kLength, 0);
        return recordsOf(bytes);
    }
    // Live records by key; a key seen twice fails the test.
    QHash<QString, DeliveryRecord> live() const
    {
        QHash<QString, DeliveryRecord> out;
        for (const DeliveryRecord& r : records()) {
            if (r.kind() != '1')
                continue;
            const QString key = r.text(DeliveryField::DeliveryKeyNo).trimmed();
            EXPECT_FALSE(out.contains(key)) << "twice: " << key.toStdString();
            out.insert(key, r);
        }
        return out;
    }
};

QStringList keysOf(const QString& prefix, int round, int count)
{
    QStringList keys;
    for (int i = 1; i <= count; ++i)
        keys << QStringLiteral("%1%2-%3").arg(prefix).arg(round).arg(i);
    return keys;
}

// Whether an import run reported its file imported; otherwise it must have
// been refused with the lock's message and left the file where it was.
bool imported(const CliResult& run, const QString& file)
{
    if (run.exitCode == 0) {
        EXPECT_TRUE(run.out.contains(file + QStringLiteral("\t取り込み済"))) << run.out.toStdString();
        return true;
    }
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(kBusy))) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(file)) << "a refused import moved its file";
    return false;
}

} // namespace

TEST(Concurrency, TwoImportsAtOnceLoseNothing)
{
    Installation inst;
    QSet<QString> expected;
    int refused = 0;
    for (int round = 1; round <= 8; ++round) {
        // Half the rounds let the second import wait for the first, half make
        // it give up at once.
        const int wait = round % 2 ? 10000 : 0;
        const QStringList aKeys = keysOf(QStringLiteral("A"), round, 4);
        const QStringList bKeys = keysOf(QStringLiteral("B"), round, 4);
        const QString a = inst.order(QStringLiteral("A%1.CSV").arg(round), aKeys);
        const QString b = inst.order(QStringLiteral("B%1.CSV").arg(round), bKeys);
        Started first(inst.registry, {"import", "--eiaj", "--move", a}, wait);
        Started second(inst.registry, {"import", "--eiaj", "--move", b}, wait);
        const CliResult ra = first.finish();
        const CliResult rb = second.finish();
        if (imported(ra, a))
            expected.unite(QSet<QString>(aKeys.begin(), aKeys.end()));
        else
            ++refused;
        if (imported(rb, b))
            expected.unite(QSet<QString>(bKeys.begin(), bKeys.end()));
        else
            ++refused;
        const QHash<QString, DeliveryRecord> live = inst.live();
        EXPECT_EQ(QSet<QString>(live.keyBegin(), live.keyEnd()), expected) << "round " << round;
    }
    // At least one of the rounds that wait had both imports done.
    EXPECT_LT(refused, 8);
    EXPECT_FALSE(QFile::exists(inst.root + QStringLiteral("Prg/BUP_Deliv.dat")));
}

TEST(Concurrency, AnImportWhileAPrintRunsLosesNothing)
{
    Installation inst;
    // Deleted records in front, so that every import renumbers what follows.
    DeliveryRecord gone = due('1', "A001", "GONE");
    gone.setKind(' ');
    QList<DeliveryRecord> start{gone, gone};
    for (int i = 1; i <= 6; ++i) {
        DeliveryRecord r = due('1', "A001", QStringLiteral("DUE%1").arg(i));
        r.setText(DeliveryField::SupplierCode, u"S01");
        start << r;
    }
    inst.write(QStringLiteral("Prg/E_Deliv.dat"), fileOf(start));

    QSet<QString> expected;
    for (const DeliveryRecord& r : start) {
        if (r.kind() == '1')
            expected << r.text(DeliveryField::DeliveryKeyNo).trimmed();
    }
    for (int round = 1; round <= 5; ++round) {
        // Fresh deleted records in front and due records behind them.
        QList<DeliveryRecord> now{gone};
        for (const DeliveryRecord& r : inst.records())
            now << r;
        DeliveryRecord fresh = due('1', "A001", QStringLiteral("DUE-R%1").arg(round));
        fresh.setText(DeliveryField::SupplierCode, u"S01");
        now << fresh;
        expected << QStringLiteral("DUE-R%1").arg(round);
        inst.write(QStringLiteral("Prg/E_Deliv.dat"), fileOf(now));
        QSet<QString> dueBefore;
        for (const auto& [key, r] : inst.live().asKeyValueRange()) {
            if (r.text(DeliveryField::Status) == QLatin1String("1"))
                dueBefore << key;
        }

        const QStringList keys = keysOf(QStringLiteral("N"), round, 5);
        const QString file = inst.order(QStringLiteral("N%1.CSV").arg(round), keys);
        const int wait = round % 2 ? 20000 : 0;
        Started print(inst.registry, {"print", "--eiaj", "--yes"}, wait);
        Started import(inst.registry, {"import", "--eiaj", "--move", file}, wait);
        const CliResult printed = print.finish();
        const CliResult importRun = import.finish();

        if (imported(importRun, file))
            expected.unite(QSet<QString>(keys.begin(), keys.end()));
        const QHash<QString, DeliveryRecord> live = inst.live();
        EXPECT_EQ(QSet<QString>(live.keyBegin(), live.keyEnd()), expected) << "round " << round;

        // The print issued every record that was due, or was refused and
        // issued none; the new records were never touched by it.
        const bool printDone = printed.exitCode == 0;
        if (!printDone) {
            EXPECT_EQ(printed.exitCode, 1);
            EXPECT_TRUE(printed.err.contains(QString::fromUtf8(kBusy))) << printed.err.toStdString();
        }
        for (const QString& key : dueBefore) {
            EXPECT_EQ(live.value(key).text(DeliveryField::Status),
                      printDone ? QStringLiteral("2") : QStringLiteral("1"))
                << key.toStdString() << " round " << round;
        }
        for (const QString& key : keys) {
            if (live.contains(key)) {
                EXPECT_EQ(live.value(key).text(DeliveryField::Status), QStringLiteral("0")) << key.toStdString();
            }
        }
    }
}

TEST(Concurrency, APrintIssuesOnlyWhatItPrintedWhileOtherProgramsStartAndPrint)
{
    // Programs starting up (they clear leftovers of earlier runs) and a print
    // of the other format while an EIAJ print works through twenty companies:
    // every record it marks issued is on a PDF it wrote.
    Installation inst;
    QList<CustRecord> companies;
    QList<DeliveryRecord> eiaj;
    QList<DeliveryRecord> korvan;
    for (int c = 1; c <= 20; ++c) {
        CustRecord e = outputCompany('1', QStringLiteral("E%1").arg(c), "1");
        companies << e;
        for (int k = 1; k <= 3; ++k)
            eiaj << due('1', QStringLiteral("E%1").arg(c), QStringLiteral("E%1-%2").arg(c).arg(k));
    }
    for (int c = 1; c <= 5; ++c) {
        CustRecord k = outputCompany('2', QStringLiteral("K%1").arg(c), "1");
        k.setText(CustField::SlipFormFile, u"K_Slip.agr");
        companies << k;
        for (int n = 1; n <= 3; ++n)
            korvan << due('2', QStringLiteral("K%1").arg(c), QStringLiteral("K%1-%2").arg(c).arg(n));
    }
    inst.write(QStringLiteral("Usr/Cust.DAT"), fileOf(companies));
    inst.write(QStringLiteral("Prg/E_Deliv.dat"), fileOf(eiaj));
    inst.write(QStringLiteral("Prg/K_Deliv.dat"), fileOf(korvan));

    Started print(inst.registry, {"print", "--eiaj", "--yes"}, 20000);
    QList<CliResult> others;
    for (int i = 0; i < 6; ++i) {
        others << runCli(inst.registry, {"list", "--eiaj"});
        if (i == 1)
            others << runCli(inst.registry, {"print", "--korvan", "--yes"});
    }
    const CliResult printed = print.finish();
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    for (const CliResult& other : others)
        EXPECT_EQ(other.exitCode, 0) << other.err.toStdString();

    const QStringList pdfs = pdfLines(printed.out);
    EXPECT_EQ(pdfs.size(), 20) << printed.out.toStdString();
    for (const QString& pdf : pdfs)
        EXPECT_TRUE(QFileInfo(pdf).size() > 0) << pdf.toStdString();
    EXPECT_EQ(summaryLines(printed.out).filter(QRegularExpression(QStringLiteral("^納品書 .* 3件 .* 発行$"))).size(),
              20)
        << printed.out.toStdString();
    for (const DeliveryRecord& r : recordsOf(inst.read(QStringLiteral("Prg/E_Deliv.dat"))))
        EXPECT_EQ(r.text(DeliveryField::Status) + r.text(DeliveryField::SlipIssued), QStringLiteral("21"));
    // The KORVAN print wrote and issued its own five companies.
    const CliResult& korvanRun = others[2];
    EXPECT_EQ(pdfLines(korvanRun.out).size(), 5) << korvanRun.out.toStdString();
    for (const DeliveryRecord& r : recordsOf(inst.read(QStringLiteral("Prg/K_Deliv.dat"))))
        EXPECT_EQ(r.text(DeliveryField::Status), QStringLiteral("2"));
}

TEST(Concurrency, AProgramKilledAtAnyMomentNeverKeepsTheNextOneWaiting)
{
    // Short commands that take the data file's or the company file's lock,
    // killed at random moments: the next command always gets its lock.
    Installation inst;
    inst.write(QStringLiteral("Usr/Cust.DAT"), entryCompany(QStringLiteral("A001")).bytes());
    inst.write(QStringLiteral("Prg/E_Deliv.dat"),
               entryReady(QStringLiteral("A001"), QStringLiteral("S01"), "K1").bytes());
    const QString csv = inst.dir.path() + QStringLiteral("/ship.csv");
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ShipDate,PlannedDeliveryDate\r\n"
            "A001,S01,K1,5,2026/12/08,2026/12/09\r\n");
    f.close();
    const QList<QStringList> commands = {{"ship", "--eiaj", csv},
                                         {"company", "change", "--eiaj", "A001", "S01", "Comment=KILLED"}};

    std::srand(unsigned(QDateTime::currentMSecsSinceEpoch()));
    for (int round = 0; round < 100; ++round) {
        const QStringList& command = commands[round % 2];
        Started victim(inst.registry, command, 2000);
        QThread::msleep(ulong(std::rand() % 20)); // a short command takes 10-30 ms
        victim.kill();
        const CliResult next = Started(inst.registry, command, 2000).finish();
        ASSERT_EQ(next.exitCode, 0) << "round " << round << ": " << next.err.toStdString();
    }
    EXPECT_EQ(inst.records().size(), 1);
    EXPECT_FALSE(QFile::exists(inst.root + QStringLiteral("Prg/E_Deliv.dat.lock")));
    EXPECT_FALSE(QFile::exists(inst.root + QStringLiteral("Usr/Cust.DAT.lock")));
}

TEST(Concurrency, ACompanyIsNeverDeletedWhileAProgramAddsItsRecords)
{
    // An import and a shipment entry add records of a company while the
    // company is deleted: either the records come first and the deletion is
    // refused (590), or the company goes first and its records are refused.
    // No program waits on another for ever, whatever order they start in.
    Installation inst;
    QList<CustRecord> companies;
    for (int round = 1; round <= 10; ++round) {
        CustRecord c = outputCompany('1', QStringLiteral("X%1").arg(round), "1");
        c.setText(CustField::SupplierCode, u"S01");
        c.setText(CustField::KanjiUse, u"0");
        companies << c;
    }
    inst.write(QStringLiteral("Usr/Cust.DAT"), fileOf(companies));
    const QString csv = inst.dir.path() + QStringLiteral("/ship.csv");

    for (int round = 1; round <= 10; ++round) {
        const QString code = QStringLiteral("X%1").arg(round);
        const QString file = inst.inFolder() + QStringLiteral("/X%1.CSV").arg(round);
        QFile order(file);
        ASSERT_TRUE(order.open(QIODevice::WriteOnly | QIODevice::Truncate));
        order.write("REIAJC14,REIAJ004,REIAJ005,REIAJ012,REIAJ159NO01\r\n");
        for (int k = 1; k <= 200; ++k)
            order.write(QStringLiteral("0502,%1,S01,2,%1-%2\r\n").arg(code).arg(k).toLatin1());
        order.close();
        QFile rows(csv);
        ASSERT_TRUE(rows.open(QIODevice::WriteOnly | QIODevice::Truncate));
        rows.write("OrdererCode,SupplierCode,DeliveryKeyNo,OrderNo,ItemCode,InspectionClass,UnitPrice,ShipQty,ShipDate,"
                   "PlannedDeliveryDate,ConsumptionTaxClass,TaxationClass,PriceDisplayClass\n");
        rows.write(QStringLiteral("%1,S01,%1-NEW,PO-1,IC-1,1,2,3,2026/12/08,2026/12/09,2,1,2\n").arg(code).toLatin1());
        rows.close();

        // The deletion starts at a different moment of the other two's work
        // each round, from before them to after them.
        const QStringList deletion = {"company", "delete", "--eiaj", code, "S01", "--yes"};
        std::optional<Started> deleting;
        if (round == 1)
            deleting.emplace(inst.registry, deletion, 20000);
        Started import(inst.registry, {"import", "--eiaj", "--no-move", file}, 20000);
        Started ship(inst.registry, {"ship", "--eiaj", csv}, 20000);
        if (round > 1) {
            QThread::msleep(ulong((round - 2) * 12));
            deleting.emplace(inst.registry, deletion, 20000);
        }
        const CliResult deleted = deleting->finish();
        const CliResult imported = import.finish();
        const CliResult shipped = ship.finish();
        if (qEnvironmentVariableIsSet("PLX90_TEST_VERBOSE"))
            for (const CliResult* run : {&deleted, &imported, &shipped})
                std::fprintf(stderr, "%d\n%s\n%s\n", run->exitCode, qPrintable(run->out), qPrintable(run->err));
        for (const CliResult* run : {&deleted, &imported, &shipped})
            EXPECT_FALSE(run->err.contains(QString::fromUtf8(kBusy))) << "round " << round << run->err.toStdString();

        // Every live record's company is still there.
        const QByteArray cust = inst.read(QStringLiteral("Usr/Cust.DAT"));
        QSet<QString> present;
        for (qsizetype i = 0; i + CustRecord::kLength <= cust.size(); i += CustRecord::kLength) {
            const CustRecord c(cust.mid(i, CustRecord::kLength));
            if (c.protocolByte() == '1')
                present << c.text(CustField::OrdererCode).trimmed();
        }
        const QHash<QString, DeliveryRecord> live = inst.live();
        int ofCompany = 0;
        for (const DeliveryRecord& r : live) {
            const QString orderer = r.text(DeliveryField::OrdererCode).trimmed();
            EXPECT_TRUE(present.contains(orderer))
                << "round " << round << ": a record of deleted " << orderer.toStdString();
            ofCompany += orderer == code ? 1 : 0;
        }
        if (deleted.exitCode == 0)
            EXPECT_EQ(ofCompany, 0) << "round " << round;
        else
            EXPECT_TRUE(deleted.err.contains(QStringLiteral("(590)")))
                << "round " << round << deleted.err.toStdString();
    }
}
