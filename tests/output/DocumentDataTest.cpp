#include "support/OutputFixtures.h"

#include "output/DocumentData.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

CodeTable codes()
{
    return CodeTable::fromBytes(CodeTable::makeRecord({"1", "01", "2", "受入検査", ""}) +
                                CodeTable::makeRecord({"2", "01", "PC", "個", ""}));
}

DeliveryRecord eiajRecord()
{
    DeliveryRecord r = due('1', "ORD1", "KEY-1");
    r.setText(DeliveryField::OrderNo, u"PO-1");
    r.setText(DeliveryField::ItemCode, u"IC-1");
    r.setText(DeliveryField::ItemName, u"CHIP R");
    r.setText(DeliveryField::ItemNameKanji, u"チップ抵抗");
    r.setText(DeliveryField::DeliveryPlace, u"GATE 2");
    r.setText(DeliveryField::InspectionClass, u"2");
    r.setText(DeliveryField::Unit, u"PCS");
    r.setText(DeliveryField::DueDate, u"20000531");
    r.setText(DeliveryField::ShipDate, u"20261207");
    r.setText(DeliveryField::PlannedDeliveryDate, u"");
    r.setText(DeliveryField::OrderQty, u"000012345.500");
    r.setText(DeliveryField::InstructedQty, u"");
    r.setText(DeliveryField::ShipQty, u"000000010.000");
    r.setText(DeliveryField::PriceDisplayClass, u"2");
    r.setText(DeliveryField::UnitPrice, u"00000000012.500");
    r.setText(DeliveryField::AmountExclTax, u"0000000125");
    r.setText(DeliveryField::TaxAmount, u"0000000012");
    r.setText(DeliveryField::AmountInclTax, u"0000000137");
    r.setText(DeliveryField::OrdererRemarks, u"QUOTE \"X\"");
    return r;
}

} // namespace

TEST(DocumentData, PlainNumbersDatesAndQuoting)
{
    EXPECT_EQ(plainNumber(u"000012345.500"_qs), QStringLiteral("12345.5"));
    EXPECT_EQ(plainNumber(u"0000000000"_qs), QStringLiteral("0"));
    EXPECT_EQ(plainNumber(u"000000000000.00100"_qs), QStringLiteral("0.001"));
    EXPECT_EQ(plainNumber(u"             "_qs), QString());
    EXPECT_EQ(shortDate(u"20000531"_qs), QStringLiteral("00/05/31"));
    EXPECT_EQ(shortDate(u"        "_qs), QStringLiteral("        "));
    // A quote inside a value is doubled so that the columns after it stay in place.
    EXPECT_EQ(csvLine({"a", "say \"hi\"", ""}), cp932::encode(u"\"a\",\"say \"\"hi\"\"\",\"\"\r\n"));
}

TEST(DocumentData, EiajSlipInYen)
{
    const QStringList c = slipColumns(eiajRecord(), outputCompany('1', "ORD1", "3"), codes());
    ASSERT_EQ(c.size(), 39);
    EXPECT_EQ(c[0], QStringLiteral("ORD1").leftJustified(12));
    EXPECT_EQ(c[1].trimmed(), QStringLiteral("北斗星電機"));
    EXPECT_EQ(cp932::encode(c[1]).size(), 50);
    EXPECT_EQ(c[4], QStringLiteral("KEY-1").leftJustified(23));
    EXPECT_EQ(c[6], QStringLiteral("GATE 2").leftJustified(20)); // blank kanji place: the single-byte one
    EXPECT_EQ(c[9].trimmed(), QStringLiteral("チップ抵抗"));
    EXPECT_EQ(c[10].trimmed(), QStringLiteral("QUOTE \"X\""));
    EXPECT_EQ(c[12], QStringLiteral("00/05/31"));
    EXPECT_EQ(c[13], QStringLiteral("12345.5"));
    EXPECT_EQ(c[14], QString());
    EXPECT_EQ(c[15], QStringLiteral("受入"));
    EXPECT_EQ(c[17], QStringLiteral("26/12/07"));
    EXPECT_EQ(c[18], QStringLiteral("        "));
    EXPECT_EQ(c[19], QStringLiteral("10"));
    EXPECT_EQ(c[22], QStringLiteral("0"));
    EXPECT_EQ(c[23], QStringLiteral("000/000"));
    EXPECT_EQ(c[24], QStringLiteral("0 "));
    EXPECT_EQ(c.mid(25, 4), (QStringList{"12.5", "125", "12", "137"}));
    EXPECT_EQ(c[29], QStringLiteral("      "));
    EXPECT_EQ(c[30], QStringLiteral("(Z)KEY-1"));
    EXPECT_EQ(c[31], QStringLiteral("ZKEY-1"));
    EXPECT_EQ(c[32], QStringLiteral("(3N)3KEY-1 10 "));
    EXPECT_EQ(c[33], QStringLiteral("3N3KEY-1 10 "));
    EXPECT_EQ(c[35], QStringLiteral("3N4IC-1  "));
    EXPECT_EQ(c[38], QString());

    // Kanji not allowed: the single-byte item name.
    CustRecord plain = outputCompany('1', "ORD1", "3");
    plain.setText(CustField::KanjiUse, u"0");
    EXPECT_EQ(slipColumns(eiajRecord(), plain, codes())[9].trimmed(), QStringLiteral("CHIP R"));
}

TEST(DocumentData, EiajSlipInForeignCurrencyAndPriceClasses)
{
    DeliveryRecord r = eiajRecord();
    r.setText(DeliveryField::Currency, u"USD");
    r.setText(DeliveryField::UnitPriceX, u"000000000001.23450");
    r.setText(DeliveryField::AmountExclTaxX, u"000000000012.345");
    r.setText(DeliveryField::TaxAmountX, u"000000000000.000");
    r.setText(DeliveryField::AmountInclTaxX, u"000000000012.345");
    r.setText(DeliveryField::DeliveryKeyNo, u"key-lower");
    const CustRecord c = outputCompany('1', "ORD1", "3");
    QStringList cols = slipColumns(r, c, codes());
    EXPECT_EQ(cols.mid(25, 4), (QStringList{"1.2345", "12.345", "0", "12.345"}));
    EXPECT_EQ(cols[38], QStringLiteral("(USD)"));
    EXPECT_EQ(cols[30], QStringLiteral("(Z)key-lower"));
    EXPECT_EQ(cols[31], QStringLiteral("Z"));
    r.setText(DeliveryField::PriceDisplayClass, u"3");
    EXPECT_EQ(slipColumns(r, c, codes()).mid(25, 4), (QStringList{"1.2345", "12.345", "", ""}));
    r.setText(DeliveryField::PriceDisplayClass, u"4");
    EXPECT_EQ(slipColumns(r, c, codes()).mid(25, 4), (QStringList{"1.2345", "", "", ""}));
    r.setText(DeliveryField::PriceDisplayClass, u"1");
    EXPECT_EQ(slipColumns(r, c, codes()).mid(25, 4), (QStringList{"", "", "", ""}));
}

TEST(DocumentData, KorvanSlipAndTag)
{
    DeliveryRecord r = due('2', "ORD1", "K1");
    r.setText(DeliveryField::OrdererUse1, u"USE1");
    r.setText(DeliveryField::OrdererUse2, u"USE2");
    r.setText(DeliveryField::OrdererUse3, u"USE3");
    r.setText(DeliveryField::BcOutputClass, u"1");
    r.setText(DeliveryField::InspectionClass, u"PC");
    r.setText(DeliveryField::Unit, u"ｺ");
    const CustRecord c = outputCompany('2', "ORD1", "3");
    const QStringList slip = slipColumns(r, c, codes());
    EXPECT_EQ(slip[15], QStringLiteral("個  "));
    EXPECT_EQ(slip[16], QStringLiteral("   ")); // a unit KORVAN may not carry
    EXPECT_EQ(slip[25], QStringLiteral("USE1").leftJustified(15));
    EXPECT_EQ(slip[28], QStringLiteral("1"));
    EXPECT_EQ(slip[36], QStringLiteral("(3N)5USE1 "));

    r.setText(DeliveryField::SupplierRemarks, u"SR");
    r.setText(DeliveryField::SupplierRemarksKanji, u"受注者備考");
    const QStringList tag = tagColumns(r, c, codes(), 1, 3, 7);
    ASSERT_EQ(tag.size(), 43);
    EXPECT_EQ(tag[9], tag[8]);
    EXPECT_EQ(tag[22].trimmed(), QStringLiteral("受注者備考"));
    EXPECT_EQ(tag.mid(23, 3), (QStringList{"", "", ""}));
    EXPECT_EQ(tag[27], QStringLiteral("5"));
    EXPECT_EQ(tag[28], QStringLiteral("3/7    "));
    EXPECT_EQ(tag[29], QStringLiteral("1"));
    EXPECT_EQ(tag[39], QStringLiteral("(3N)4 5 "));
    EXPECT_EQ(tag[40], QStringLiteral("3N4 5 "));
}
