#include "support/ImportFixtures.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

QStringList korvan(const QList<QStringList>& records)
{
    QStringList lines{QStringLiteral("RD10DataKubun,RD10KigyouCode,RD10JigyouCode,RD10ToriCode,RD10EigyouCode,RD10Key,"
                                     "RD10SendNo,RD10Tani,RD10CNum,RD10Name,RD10Code,RD10Kensa,RD10Nouki,RD10SNum,"
                                     "RD10BC,RD10Siyou1")};
    for (const QStringList& r : records)
        lines << r.join(u',');
    return lines;
}

QStringList rec(const QString& key, const QString& tani = "PC", const QString& bc = "0", const QString& siyou = "U1",
                const QString& kigyou = "4172")
{
    return {"D10", kigyou, "AB  ",  "0588", "XY",     key,  "77", tani,
            "24",  "ｾﾝｻ",  "SNS-7", "ABC",  "261215", "12", bc,   siyou};
}

} // namespace

TEST(KorvanImport, ComposedCodesKeyAndFields)
{
    ImportInstall imp;
    imp.order("K.CSV", korvan({rec("AB CD EF 123")}));
    imp.import(Protocol::Korvan, {"K.CSV"});
    const auto records = imp.records(Protocol::Korvan);
    ASSERT_EQ(records.size(), 1) << imp.errorLines().join(u'\n').toStdString();
    const DeliveryRecord& r = records[0];
    EXPECT_EQ(r.kind(), '2');
    EXPECT_EQ(r.text(DeliveryField::OrdererCode).trimmed(), QStringLiteral("4172AB"));
    EXPECT_EQ(r.text(DeliveryField::SupplierCode).trimmed(), QStringLiteral("0588XY"));
    EXPECT_EQ(r.text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("ABCDEF123"));
    EXPECT_EQ(r.text(DeliveryField::OrderNo).trimmed(), QStringLiteral("AB CD EF"));
    EXPECT_EQ(r.text(DeliveryField::MessageKind).trimmed(), QStringLiteral("D10"));
    EXPECT_EQ(r.text(DeliveryField::SourceNo).trimmed(), QStringLiteral("77"));
    EXPECT_EQ(r.text(DeliveryField::InspectionClass).trimmed(), QStringLiteral("PC"));
    EXPECT_EQ(r.text(DeliveryField::Unit), QStringLiteral("ABC"));
    EXPECT_EQ(r.text(DeliveryField::OrderQty), QStringLiteral("000000024.000"));
    EXPECT_EQ(r.text(DeliveryField::InstructedQty), QStringLiteral("000000012.000"));
    EXPECT_EQ(r.text(DeliveryField::DueDate), QStringLiteral("20261215"));
    EXPECT_EQ(r.text(DeliveryField::TaxationClass), QStringLiteral("1"));
    EXPECT_EQ(r.text(DeliveryField::PriceDisplayClass), QStringLiteral("1"));
    EXPECT_EQ(r.text(DeliveryField::Currency), QStringLiteral("   "));
}

TEST(KorvanImport, RefusalsAndUpdates)
{
    ImportInstall imp;
    DeliveryRecord issued = delivery('2', "4172AB", "0588XY", "ISSUED", "8");
    DeliveryRecord open = delivery('2', "4172AB", "0588XY", "OPEN", "0");
    open.setText(DeliveryField::ShipQty, u"000000005.000");
    open.setTagLine(1, u"000000005.000", u"01");
    open.setText(DeliveryField::UnitPrice, u"00000000001.000");
    imp.inst.writeFile(QStringLiteral("Prg/K_Deliv.dat"), fileOf(QList{issued, open}));

    imp.order("K.CSV", korvan({rec("ISSUED"), rec("OPEN"), rec("X1", "ZZ"), rec("X2", ""), rec("X3", "PC", "1", "U 1"),
                               rec("X4", "PC", "0", "U 1"), rec("X5", "PC", "0", "U", "9999"), rec("   ")}));
    imp.import(Protocol::Korvan, {"K.CSV"});
    const QStringList lines = imp.errorLines();
    ASSERT_EQ(lines.size(), 5) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines[0].contains(
        QStringLiteral("(008):ﾚｺｰﾄﾞNo.[1],発注者ｺｰﾄﾞ[4172AB],受注者ｺｰﾄﾞ[0588XY],納品ｷｰ番号[ISSUED]")));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("]:RD10Taniに誤りがあります。(011)")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("]:RD10Siyou1に誤りがあります。(011)")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("(004)"))); // registered for EIAJ only
    EXPECT_TRUE(lines[4].contains(QStringLiteral("(012)"))); // the key is blanks only
    const auto records = imp.records(Protocol::Korvan);
    ASSERT_EQ(records.size(), 4); // two old, X2 (empty unit passes) and X4 (no barcode output)
    EXPECT_EQ(records[1].text(DeliveryField::ShipQty), QStringLiteral("000000005.000"));
    EXPECT_EQ(records[1].tagCount(1), QStringLiteral("01"));
    EXPECT_EQ(records[1].text(DeliveryField::OrderQty), QStringLiteral("000000024.000"));
    EXPECT_EQ(records[1].text(DeliveryField::UnitPrice), QString(15, QLatin1Char(' ')));
    EXPECT_EQ(records[2].text(DeliveryField::DeliveryKeyNo).trimmed(), QStringLiteral("X2"));
}

TEST(KorvanImport, NumericDataKindRefusesTheFileAndNoCodesIs004)
{
    ImportInstall imp;
    QStringList bad = rec("K1");
    bad[0] = QStringLiteral("123");
    imp.order("N.CSV", korvan({bad}));
    imp.order("C.CSV", {QStringLiteral("RD10DataKubun,D10,RD10Key,K1")});
    auto driver = imp.import(Protocol::Korvan, {"N.CSV", "C.CSV"});
    const QStringList lines = imp.errorLines();
    ASSERT_EQ(lines.size(), 2) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("N.CSV [123 ]:未サポートの情報区分ファイルです。(003)"));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("C.CSV [D10 ]:発注者情報が登録されていません。(004)")));
    EXPECT_TRUE(imp.records(Protocol::Korvan).isEmpty());
}

TEST(KorvanImport, KeysThatDoNotFitTheirFieldAreRefused)
{
    // 23 bytes once the blanks are removed fit and are updated in place; 24,
    // single- or double-byte, are refused every time.
    ImportInstall imp;
    imp.order("K.CSV", korvan({rec("ABCDEFGHIJK LMNOPQRSTUVW"), rec("ABCDEFGHIJKLMNOPQRSTUVWX"),
                               rec(QStringLiteral("一二三四五六七八九十一二")), rec("ABCDEFGHIJKLMNOPQRSTUVW"),
                               rec("ABCDEFGHIJKLMNOPQRSTUVWX")}));
    imp.import(Protocol::Korvan, {"K.CSV"});
    const QStringList lines = imp.errorLines();
    ASSERT_EQ(lines.size(), 3) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("]:RD10Keyに誤りがあります。(011)")).size(), 3);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("納品ｷｰ番号[ABCDEFGHIJKLMNOPQRSTUVWX]")));
    EXPECT_EQ(imp.records(Protocol::Korvan).size(), 1);
}
