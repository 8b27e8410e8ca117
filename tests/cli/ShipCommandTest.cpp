#include "support/CliRunner.h"
#include "support/OutputFixtures.h"

#include "core/text/Cp932.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

// An installation with two EIAJ companies and two imported records of the
// first: A001 issues slips only and adds outer tax (外税, 課税１０％, すべて表示);
// B002 issues slips and tags at tax-inclusive prices (内税, 軽減税率８％, 単価のみ).
struct ShipInstall
{
    QTemporaryDir dir;
    QString registry = dir.path() + QStringLiteral("/registry.ini");
    QString root = dir.path() + QStringLiteral("/Plx90We/");

    ShipInstall()
    {
        EXPECT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
        write(QStringLiteral("Usr/Cust.DAT"),
              fileOf(QList{orderer("A001", "S01", "1", "2", "1", "2"), orderer("B002", "S02", "3", "1", "2", "4")}));
        write(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{imported("K1"), imported("K2")}));
    }
    static CustRecord orderer(const char* code, const char* supplier, const char* outputKind, const char* consumption,
                              const char* taxation, const char* display)
    {
        CustRecord c = outputCompany('1', QLatin1String(code), QLatin1String(outputKind));
        c.setText(CustField::SupplierCode, QString::fromLatin1(supplier));
        c.setText(CustField::KanjiUse, u"0");
        c.setText(CustField::ConsumptionTaxKind, QString::fromLatin1(consumption));
        c.setText(CustField::TaxationKind, QString::fromLatin1(taxation));
        c.setText(CustField::PriceDisplayKind, QString::fromLatin1(display));
        c.setText(CustField::AmountRounding, u"3");
        c.setText(CustField::TaxRounding, u"2");
        return c;
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
    QByteArray dataFile() const
    {
        QFile f(root + QStringLiteral("Prg/E_Deliv.dat"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QList<DeliveryRecord> records() const { return recordsOf(dataFile()); }
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

TEST(ShipCommand, ANewRecordTakesTheClassesAndAmountsOfItsOwnCompany)
{
    ShipInstall inst;
    const QString file = inst.csv("OrdererCode,SupplierCode,DeliveryKeyNo,OrderNo,ItemCode,InspectionClass,UnitPrice,"
                                  "ShipQty,ShipDate,PlannedDeliveryDate,TagLines\n"
                                  "B002,S02,NB1,PO-B1,IC-B,1,100,3,2026/12/08,2026/12/09,3x1\n"
                                  "A001,S01,NA1,PO-A1,IC-A,1,12.5,100,2026/12/08,2026/12/09,\n"
                                  "B002,S02,NB2,PO-B2,IC-B,1,100,3,2026/12/08,2026/12/09,3x1\n");
    const CliResult run = runCli(inst.registry, {"ship", "--eiaj", file});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    struct Expected
    {
        const char* key;
        const char* classes; // consumption tax, taxation, price display
        const char* amounts; // before tax, tax, including tax
    };
    // Tax-inclusive prices take no calculated amounts (the operator types them).
    const Expected expected[] = {{"NB1", "124", "0000000000 0000000000 0000000000"},
                                 {"NA1", "212", "0000001250 0000000125 0000001375"},
                                 {"NB2", "124", "0000000000 0000000000 0000000000"}};
    const QList<DeliveryRecord> after = inst.records();
    ASSERT_EQ(after.size(), 5);
    for (int i = 0; i < 3; ++i) {
        const DeliveryRecord& r = after[i + 2];
        SCOPED_TRACE(expected[i].key);
        EXPECT_EQ(r.text(DeliveryField::DeliveryKeyNo).trimmed(), QLatin1String(expected[i].key));
        using F = DeliveryField;
        EXPECT_EQ(r.text(F::ConsumptionTaxClass) + r.text(F::TaxationClass) + r.text(F::PriceDisplayClass),
                  QLatin1String(expected[i].classes));
        EXPECT_EQ(QStringList({r.text(F::AmountExclTax), r.text(F::TaxAmount), r.text(F::AmountInclTax)}).join(u' '),
                  QLatin1String(expected[i].amounts));
    }
}

TEST(ShipCommand, AmountsNotGivenAreWhatTheCalculationShows)
{
    ShipInstall inst;
    DeliveryRecord waiting = ShipInstall::imported(QStringLiteral("K3"));
    waiting.setText(DeliveryField::Status, u"1");
    waiting.setText(DeliveryField::ShipQty, u"000000050.000");
    waiting.setText(DeliveryField::AmountExclTax, u"0000000600");
    waiting.setText(DeliveryField::TaxAmount, u"0000000060");
    waiting.setText(DeliveryField::AmountInclTax, u"0000000660");
    inst.write(QStringLiteral("Prg/E_Deliv.dat"),
               fileOf(QList{ShipInstall::imported("K1"), ShipInstall::imported("K2"), waiting}));
    const QString file = inst.csv("OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ShipDate,PlannedDeliveryDate,"
                                  "AmountExclTax,TaxAmount,AmountInclTax,SupplierBarcodeInfo\n"
                                  "A001,S01,K1,,2026/12/08,2026/12/09,,,,\n"
                                  "A001,S01,K2,10,2026/12/08,2026/12/09,999,1,\"1,000\",SB1\n"
                                  "A001,S01,K3,,2026/12/08,2026/12/09,,,,\n");
    const CliResult run = runCli(inst.registry, {"ship", "--eiaj", file});
    ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    // Unprocessed, no quantity given: the instructed 100 x 12.5 and 10 % tax, as
    // the window shows it once its quantity box is left. Amounts given stay as
    // given. A registered record keeps its amounts while nothing changes them.
    const char* expected[] = {"000000100.000 0000001250 0000000125 0000001375",
                              "000000010.000 0000000999 0000000001 0000001000",
                              "000000050.000 0000000600 0000000060 0000000660"};
    const QList<DeliveryRecord> after = inst.records();
    ASSERT_EQ(after.size(), 3);
    for (int i = 0; i < 3; ++i) {
        using F = DeliveryField;
        const DeliveryRecord& r = after[i];
        EXPECT_EQ(
            QStringList({r.text(F::ShipQty), r.text(F::AmountExclTax), r.text(F::TaxAmount), r.text(F::AmountInclTax)})
                .join(u' '),
            QLatin1String(expected[i]));
    }
}

TEST(ShipCommand, EveryRefusalNamesTheWindowsMessageAndTheBoxInError)
{
    ShipInstall inst;
    DeliveryRecord noItem = ShipInstall::imported(QStringLiteral("K3"));
    noItem.setText(DeliveryField::ItemCode, u"");
    DeliveryRecord blankKey = ShipInstall::imported(QStringLiteral("K 4"));
    DeliveryRecord issued = ShipInstall::imported(QStringLiteral("K5"));
    issued.setText(DeliveryField::Status, u"2");
    inst.write(QStringLiteral("Prg/E_Deliv.dat"), fileOf(QList{ShipInstall::imported("K1"), noItem, blankKey, issued}));
    const QByteArray before = inst.dataFile();

    struct Row
    {
        const char* csv; // OrdererCode ... TagLines
        const char16_t* answer;
    };
    const Row rows[] = {
        {"A001,S01,ABCDEFGHIJKLMNOPQRSTUVWXY,PO-X,IC-X,,1,10,1,,",
         u"納品ｷｰ番号は半角23文字以内で入力してください。\t納品ｷｰ番号："},
        {"A001,S01,K1,,,Café,,,,,", u"品名の「é」(U+00E9) は納品書ファイルに書けない文字です。\t品  名："},
        {"A001,S01,K1,,,,,,,OK 😀,",
         u"受注者用備考の「😀」(U+1F600) は納品書ファイルに書けない文字です。\t受注者用備考："},
        {"A001,S01,nk1,PO-N,IC-N,,1,10,1,,",
         u"(130) 納品キー番号にバーコードで使用できない文字が含まれています。このまま登録しますか？\t納品ｷｰ番号："},
        {"A001,S01,K3,,,,,,,,", u"(051) 品名コードを入力してください。\t品名ｺｰﾄﾞ：\t受注ﾃﾞｰﾀ修正"},
        {"A001,S01,K 4,,,,,,,,", u"(113) 納品キー番号に空白または「*」は使用できません。\t納品ｷｰ番号：\t戻る"},
        {"A001,S01,K1,,,,,,1.0005,,",
         u"(100) 納入数量が正しくありません。0～999,999,999.999の範囲で入力してください。\t納入数量："},
        {"B002,S02,NT1,PO-T,IC-T,,1,100,10,,-5x2",
         u"(121) 荷札の入数が正しくありません。0～999,999,999.999の範囲で入力してください。\t荷札"},
        {"B002,S02,NT1,PO-T,IC-T,,1,100,10,,5x-2",
         u"(122) 荷札枚数が正しくありません。0以上の数値で入力してください。\t荷札"},
        {"B002,S02,NT1,PO-T,IC-T,,1,100,500,,5x100", u"荷札枚数は2桁までです。（3桁）\t荷札"},
        {"B002,S02,NT1,PO-T,IC-T,,1,100,10,,4x2",
         u"(120) 荷札の入数×荷札枚数の合計が納入数量と一致しません。 [荷札の合計(入数×枚数): 8、納入数量: 10]\t荷札"},
        {"A001,S01,K5,,,,,,,,",
         u"発行済の納品書は登録できません。再発行するときは --issue (登録印刷) で登録してください。\t登録"},
    };
    QByteArray csv = "OrdererCode,SupplierCode,DeliveryKeyNo,OrderNo,ItemCode,ItemName,InspectionClass,UnitPrice,"
                     "ShipQty,SupplierRemarks,TagLines\n";
    for (const Row& row : rows)
        csv += QByteArray(row.csv) + '\n';
    const CliResult run = runCli(inst.registry, {"ship", "--eiaj", inst.csv(csv)});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    const QStringList out = lines(run.out);
    ASSERT_EQ(out.size(), int(std::size(rows))) << run.out.toStdString() << run.err.toStdString();
    for (int i = 0; i < out.size(); ++i) {
        EXPECT_EQ(out[i], QStringLiteral("%1\t拒否\t").arg(i + 2) + QString::fromUtf16(rows[i].answer)) << rows[i].csv;
    }
    EXPECT_EQ(inst.dataFile(), before);
}

// A file that is not UTF-8 CSV is refused whole, naming the line, before
// anything is written: nothing is read as something else.
TEST(ShipCommand, AFileThatCannotBeReadAsItStandsIsAUsageErrorNamingTheLine)
{
    ShipInstall inst;
    const QByteArray before = inst.dataFile();
    const QByteArray header = "OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ItemName\n";
    const QByteArray good = "A001,S01,K1,100,\n";
    struct Broken
    {
        QByteArray text;
        int line;
    };
    const Broken files[] = {
        {header + "A001,S01,K1,\"5\"0,\n", 2},
        {header + good + "A001,S01,\"Q2\"X,1,\n", 3},
        {header + good + good + "A001,S01,K1,1,\"GAD\"GET\"\n", 4},
        {header + "A001,S01,K\"1,1,\n", 2},
        {header + good + "A001,S01,K2,1,\"A\nB\" \n", 4},
        {header + "A001,S01,K1,1," + cp932::encode(u"ガジェット") + "\n", 2},
        {header + good + "A001,S01,K2,1,\xE3\x81\n", 3},
    };
    for (const Broken& f : files) {
        SCOPED_TRACE(f.text.toStdString());
        const CliResult run = runCli(inst.registry, {"ship", "--eiaj", inst.csv(f.text)});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral(": %1行目: ").arg(f.line))) << run.err.toStdString();
    }
    EXPECT_EQ(inst.dataFile(), before);
}
