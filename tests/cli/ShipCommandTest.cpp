#include "support/CliRunner.h"
#include "support/OutputFixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// An installation with one slips-only EIAJ company and two imported records.
struct ShipInstall
{
    QTemporaryDir dir;
    QString registry = dir.path() + QStringLiteral("/registry.ini");
    QString root = dir.path() + QStringLiteral("/Plx90We/");

    ShipInstall()
    {
        EXPECT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
        CustRecord c = outputCompany('1', "A001", "1");
        c.setText(CustField::SupplierCode, u"S01");
        c.setText(CustField::KanjiUse, u"0");
        c.setText(CustField::ConsumptionTaxKind, u"2");
        c.setText(CustField::TaxationKind, u"1");
        c.setText(CustField::PriceDisplayKind, u"2");
        c.setText(CustField::AmountRounding, u"3");
        c.setText(CustField::TaxRounding, u"2");
        write(QStringLiteral("Usr/Cust.DAT"), c.bytes());
        write(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{imported("K1"), imported("K2")}));
    }
    static DeliveryRecord imported(const QString& key)
    {
        DeliveryRecord r = entryReady(QStringLiteral("A001"), QStringLiteral("S01"), key);
        r.setText(DeliveryField::UnitPrice, u"00000000012.500");
        r.setText(DeliveryField::InstructedQty, u"000000100.000");
        return r;
    }
    void write(const QString& relative, const QByteArray& bytes) const
    {
        QFile f(root + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QString csv(const QByteArray& text) const
    {
        const QString path = dir.path() + QStringLiteral("/ship.csv");
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text);
        return path;
    }
    QList<DeliveryRecord> records() const
    {
        QFile f(root + QStringLiteral("Prg/E_Deliv.dat"));
        f.open(QIODevice::ReadOnly);
        return recordsOf(f.readAll());
    }
};

QStringList lines(const QString& out)
{
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(ShipCommand, RegistersRowsAndRefusesABadRowBetweenGoodOnes)
{
    ShipInstall inst;
    const QString file = inst.csv("OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ShipDate,PlannedDeliveryDate\r\n"
                                  "A001,S01,K1,100,2026/12/08,20261209\r\n"
                                  "A001,S01,K2,100,2026/13/08,20261209\r\n"
                                  "A001,S01,\"NEW,1\",5,2026/12/08,20261209\r\n");
    const CliResult run = runCli(inst.registry, {"ship", "--eiaj", file});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    const QStringList out = lines(run.out);
    ASSERT_GE(out.size(), 3) << run.out.toStdString() << run.err.toStdString();
    EXPECT_EQ(out[0], QStringLiteral("2\t登録済\t1"));
    EXPECT_EQ(out[1], QStringLiteral("3\t拒否\t(101) 出荷日を正しい日付で入力してください。\t出荷日："));
    // A new record needs its order data: the first missing box is named.
    EXPECT_TRUE(out[2].startsWith(QStringLiteral("4\t拒否\t(018) "))) << out[2].toStdString();
    EXPECT_TRUE(out[2].endsWith(QStringLiteral("\t注文番号："))) << out[2].toStdString();

    const QList<DeliveryRecord> after = inst.records();
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0].text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(after[0].text(DeliveryField::ShipDate), QStringLiteral("20261208"));
    // The amounts as the window computes them: 100 x 12.5 = 1,250 and 10 % tax.
    EXPECT_EQ(after[0].text(DeliveryField::AmountExclTax), QStringLiteral("0000001250"));
    EXPECT_EQ(after[0].text(DeliveryField::AmountInclTax), QStringLiteral("0000001375"));
    EXPECT_EQ(after[1].text(DeliveryField::Status), QStringLiteral("0")); // the refused row wrote nothing
}

TEST(ShipCommand, IssuesNewRecordsAndPrintsThemWhenAnsweredYes)
{
    ShipInstall inst;
    const QString file = inst.csv("OrdererCode,SupplierCode,DeliveryKeyNo,OrderNo,ItemCode,InspectionClass,UnitPrice,"
                                  "ShipQty,ShipDate,PlannedDeliveryDate\n"
                                  "A001,S01,N-1,PO-N1,IC-1,1,2,3,2026/12/08,2026/12/09\n");
    const CliResult run = runCli(inst.registry, {"ship", "--eiaj", "--issue", "--yes", file});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList out = pdfLines(run.out);
    ASSERT_EQ(out.size(), 2) << run.out.toStdString();
    EXPECT_EQ(out[0], QStringLiteral("2\t登録済\t8"));
    EXPECT_TRUE(out[1].endsWith(QStringLiteral(".pdf"))) << out[1].toStdString();
    const QStringList summary = summaryLines(run.out);
    ASSERT_FALSE(summary.isEmpty()) << run.out.toStdString();
    EXPECT_TRUE(summary[0].startsWith(QStringLiteral("納品書 A001 "))) << summary[0].toStdString();
    EXPECT_TRUE(summary[0].endsWith(QStringLiteral(" 発行")));
    const QList<DeliveryRecord> after = inst.records();
    ASSERT_EQ(after.size(), 3);
    // Printed as the window does when it closes: a slips-only company's record is issued.
    EXPECT_EQ(after[2].text(DeliveryField::Status), QStringLiteral("2"));
    EXPECT_EQ(after[2].text(DeliveryField::SlipIssued), QStringLiteral("1"));
    EXPECT_EQ(after[2].text(DeliveryField::AmountInclTax), QStringLiteral("0000000006"));

    // An issued record cannot be registered again without --issue.
    const QString again = inst.csv("OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty\nA001,S01,N-1,3\n");
    const CliResult refused = runCli(inst.registry, {"ship", "--eiaj", again});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.startsWith(QStringLiteral("2\t拒否\t発行済"))) << refused.out.toStdString();
    EXPECT_EQ(inst.records()[2].text(DeliveryField::Status), QStringLiteral("2"));
}

TEST(ShipCommand, DeclinedPrintAndUsageErrors)
{
    ShipInstall inst;
    const QString file = inst.csv("OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ShipDate,PlannedDeliveryDate\n"
                                  "A001,S01,K1,100,2026/12/08,2026/12/09\n");
    // Without --yes the print is declined: the marked record goes back to waiting.
    const CliResult run = runCli(inst.registry, {"ship", "--eiaj", "--issue", file});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(inst.records()[0].text(DeliveryField::Status), QStringLiteral("1"));
    EXPECT_EQ(inst.records()[0].text(DeliveryField::SlipIssued), QStringLiteral("0"));

    QFile data(inst.root + QStringLiteral("Prg/E_Deliv.dat"));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray before = data.readAll();
    data.close();
    for (const QByteArray& text : {QByteArray("OrdererCode,SupplierCode,DeliveryKeyNo,Colour\nA001,S01,K1,red\n"),
                                   QByteArray("OrdererCode,SupplierCode,ShipQty\nA001,S01,1\n"),
                                   QByteArray("OrdererCode,SupplierCode,DeliveryKeyNo,OrdererUse1\nA001,S01,K1,X\n"),
                                   QByteArray("OrdererCode,SupplierCode,DeliveryKeyNo\n\"A001,S01,K1\n")}) {
        const CliResult bad = runCli(inst.registry, {"ship", "--eiaj", inst.csv(text)});
        EXPECT_EQ(bad.exitCode, 2) << text.toStdString() << bad.err.toStdString();
    }
    EXPECT_EQ(runCli(inst.registry, {"ship", "--eiaj"}).exitCode, 2);
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    EXPECT_EQ(data.readAll(), before);
}
