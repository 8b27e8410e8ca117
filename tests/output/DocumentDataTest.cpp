#include "support/OutputFixtures.h"

#include "output/DocumentData.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

using S = SlipColumn;
using T = TagColumn;

// The value of a named column of a line.
const QString& value(const QStringList& line, SlipColumn column)
{
    return line.at(columnIndex(column));
}
const QString& value(const QStringList& line, TagColumn column)
{
    return line.at(columnIndex(column));
}

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
    ASSERT_EQ(c.size(), kSlipColumnCount);
    EXPECT_EQ(value(c, S::OrdererCode), QStringLiteral("ORD1").leftJustified(12));
    EXPECT_EQ(value(c, S::OrdererName).trimmed(), QStringLiteral("北斗星電機"));
    EXPECT_EQ(cp932::encode(value(c, S::OrdererName)).size(), 50);
    EXPECT_EQ(value(c, S::DeliveryKeyNo), QStringLiteral("KEY-1").leftJustified(23));
    EXPECT_EQ(value(c, S::DeliveryPlace),
              QStringLiteral("GATE 2").leftJustified(20)); // blank kanji place: the single-byte one
    EXPECT_EQ(value(c, S::ItemName).trimmed(), QStringLiteral("チップ抵抗"));
    EXPECT_EQ(value(c, S::OrdererRemarks).trimmed(), QStringLiteral("QUOTE \"X\""));
    EXPECT_EQ(value(c, S::DueDate), QStringLiteral("00/05/31"));
    EXPECT_EQ(value(c, S::OrderQty), QStringLiteral("12345.5"));
    EXPECT_EQ(value(c, S::InstructedQty), QString());
    EXPECT_EQ(value(c, S::InspectionClassName), QStringLiteral("受入"));
    EXPECT_EQ(value(c, S::ShipDate), QStringLiteral("26/12/07"));
    EXPECT_EQ(value(c, S::PlannedDeliveryDate), QStringLiteral("        "));
    EXPECT_EQ(value(c, S::ShipQty), QStringLiteral("10"));
    EXPECT_EQ(value(c, S::FixedZero), QStringLiteral("0"));
    EXPECT_EQ(value(c, S::FixedZeroOfZero), QStringLiteral("000/000"));
    EXPECT_EQ(value(c, S::FixedZeroPadded), QStringLiteral("0 "));
    EXPECT_EQ(c.mid(columnIndex(S::UnitPriceOrUse1), 4), (QStringList{"12.5", "125", "12", "137"}));
    EXPECT_EQ(value(c, S::Blanks), QStringLiteral("      "));
    EXPECT_EQ(value(c, S::KeyBarcodeText), QStringLiteral("(Z)KEY-1"));
    EXPECT_EQ(value(c, S::KeyBarcodeData), QStringLiteral("ZKEY-1"));
    EXPECT_EQ(value(c, S::Barcode3N3Text), QStringLiteral("(3N)3KEY-1 10 "));
    EXPECT_EQ(value(c, S::Barcode3N3Data), QStringLiteral("3N3KEY-1 10 "));
    EXPECT_EQ(value(c, S::Barcode3N4Data), QStringLiteral("3N4IC-1  "));
    EXPECT_EQ(value(c, S::CurrencyNote), QString());

    // Kanji not allowed: the single-byte item name.
    CustRecord plain = outputCompany('1', "ORD1", "3");
    plain.setText(CustField::KanjiUse, u"0");
    EXPECT_EQ(value(slipColumns(eiajRecord(), plain, codes()), S::ItemName).trimmed(), QStringLiteral("CHIP R"));
}

TEST(DocumentData, BlankCurrencyPrintsTheYenFieldsLikeJpy)
{
    // An order without a currency and every delivery instruction leave the
    // field blank; the slip shows such a record in yen, with no currency note.
    for (const char16_t* currency : {u"", u"JPY", u"   "}) {
        DeliveryRecord r = eiajRecord();
        r.setText(DeliveryField::Currency, currency);
        r.setText(DeliveryField::UnitPriceX, u"000000000099.00000");
        const QStringList cols = slipColumns(r, outputCompany('1', "ORD1", "3"), codes());
        EXPECT_EQ(cols.mid(columnIndex(S::UnitPriceOrUse1), 4), (QStringList{"12.5", "125", "12", "137"}))
            << QString::fromUtf16(currency).toStdString();
        EXPECT_EQ(value(cols, S::CurrencyNote), QString());
    }
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
    EXPECT_EQ(cols.mid(columnIndex(S::UnitPriceOrUse1), 4), (QStringList{"1.2345", "12.345", "0", "12.345"}));
    EXPECT_EQ(value(cols, S::CurrencyNote), QStringLiteral("(USD)"));
    EXPECT_EQ(value(cols, S::KeyBarcodeText), QStringLiteral("(Z)key-lower"));
    EXPECT_EQ(value(cols, S::KeyBarcodeData), QStringLiteral("Z"));
    r.setText(DeliveryField::PriceDisplayClass, u"3");
    EXPECT_EQ(slipColumns(r, c, codes()).mid(columnIndex(S::UnitPriceOrUse1), 4),
              (QStringList{"1.2345", "12.345", "", ""}));
    r.setText(DeliveryField::PriceDisplayClass, u"4");
    EXPECT_EQ(slipColumns(r, c, codes()).mid(columnIndex(S::UnitPriceOrUse1), 4), (QStringList{"1.2345", "", "", ""}));
    r.setText(DeliveryField::PriceDisplayClass, u"1");
    EXPECT_EQ(slipColumns(r, c, codes()).mid(columnIndex(S::UnitPriceOrUse1), 4), (QStringList{"", "", "", ""}));
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
    EXPECT_EQ(value(slip, S::InspectionClassName), QStringLiteral("個  "));
    EXPECT_EQ(value(slip, S::Unit), QStringLiteral("   ")); // a unit KORVAN may not carry
    EXPECT_EQ(value(slip, S::UnitPriceOrUse1), QStringLiteral("USE1").leftJustified(15));
    EXPECT_EQ(value(slip, S::AmountInclTaxOrBcOutputClass), QStringLiteral("1"));
    EXPECT_EQ(value(slip, S::Barcode3N5Text), QStringLiteral("(3N)5USE1 "));

    r.setText(DeliveryField::SupplierRemarks, u"SR");
    r.setText(DeliveryField::SupplierRemarksKanji, u"受注者備考");
    const QStringList tag = tagColumns(r, c, codes(), 1, 3, 7);
    ASSERT_EQ(tag.size(), kTagColumnCount);
    EXPECT_EQ(value(tag, T::ItemCodeAgain), value(tag, T::ItemCode));
    EXPECT_EQ(value(tag, T::SupplierRemarks).trimmed(), QStringLiteral("受注者備考"));
    EXPECT_EQ(tag.mid(columnIndex(T::SupplierRemarksSingleByte1), 3), (QStringList{"", "", ""}));
    EXPECT_EQ(value(tag, T::PackageQty), QStringLiteral("5"));
    EXPECT_EQ(value(tag, T::TagNumber), QStringLiteral("3/7    "));
    EXPECT_EQ(value(tag, T::TagCount), QStringLiteral("1"));
    EXPECT_EQ(value(tag, T::Barcode3N4Text), QStringLiteral("(3N)4 5 "));
    EXPECT_EQ(value(tag, T::Barcode3N4Data), QStringLiteral("3N4 5 "));
}

TEST(DocumentData, EveryNamedColumnIsWritten)
{
    static_assert(kSlipColumnCount == 39 && kTagColumnCount == 43);
    // Building a line checks that every column is set exactly once; the lines
    // are as long as their column lists, whatever kind of record.
    const CustRecord eiaj = outputCompany('1', "ORD1", "3");
    const CustRecord korvan = outputCompany('2', "ORD1", "3");
    EXPECT_EQ(slipColumns(eiajRecord(), eiaj, codes()).size(), kSlipColumnCount);
    EXPECT_EQ(slipColumns(due('2', "ORD1", "K1"), korvan, codes()).size(), kSlipColumnCount);
    EXPECT_EQ(tagColumns(eiajRecord(), eiaj, codes(), 1, 1, 1).size(), kTagColumnCount);
    EXPECT_EQ(tagColumns(due('2', "ORD1", "K1"), korvan, codes(), 1, 1, 1).size(), kTagColumnCount);
    EXPECT_EQ(columnNumber(SlipColumn::KeyBarcodeData), 32);
    EXPECT_EQ(columnNumber(TagColumn::KeyBarcodeData), 37);
}
