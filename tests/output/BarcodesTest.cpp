#include "support/RecordBuilders.h"

#include "core/ErrorReport.h"
#include "output/Barcodes.h"

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

DeliveryRecord shipped(const QString& key, const QString& qty, const QString& item = QStringLiteral("IC1"),
                       const QString& orderer = {}, const QString& supplier = {})
{
    DeliveryRecord r = delivery('1', "A", "S", key);
    r.setText(DeliveryField::ShipQty, qty);
    r.setText(DeliveryField::ItemCode, item);
    r.setText(DeliveryField::OrdererBarcodeInfo, orderer);
    r.setText(DeliveryField::SupplierBarcodeInfo, supplier);
    return r;
}

} // namespace

TEST(BarcodeQuantity, ShortestForm)
{
    EXPECT_EQ(BarcodeQuantity(u"000000123.500"), QStringLiteral("123.5"));
    EXPECT_EQ(BarcodeQuantity(u"000000010.000"), QStringLiteral("10"));
    EXPECT_EQ(BarcodeQuantity(u"0.250"), QStringLiteral("0.25"));
    EXPECT_EQ(BarcodeQuantity(u"000000001.000"), QStringLiteral("1"));
    EXPECT_EQ(BarcodeQuantity(u"000000001.010"), QStringLiteral("1.01"));
    EXPECT_EQ(BarcodeQuantity(u"1,234.0005"), QStringLiteral("1234.001"));
    EXPECT_EQ(BarcodeQuantity(u"000000000.000"), QStringLiteral("0"));
    EXPECT_THROW(BarcodeQuantity(u"12a"), RuntimeFailure);
    EXPECT_THROW(BarcodeQuantity(u"   "), RuntimeFailure);
}

TEST(CharacterChecks, Code39AndUnits)
{
    for (const char16_t* text : {u"ABC-123", u"", u"$/+%.", u"Z"})
        EXPECT_TRUE(isCode39Text(text)) << QString::fromUtf16(text).toStdString();
    for (const char16_t* text : {u"a", u"A B", u"*"})
        EXPECT_FALSE(isCode39Text(text)) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(RemoveChar(u"3N3** 5 ", QLatin1Char('*')), QStringLiteral("3N3 5 "));
    EXPECT_TRUE(isKorvanUnitText(u"PC "));
    EXPECT_TRUE(isKorvanUnitText(u"#\\ "));
    EXPECT_FALSE(isKorvanUnitText(u"pc"));
    EXPECT_FALSE(isKorvanUnitText(u"A!"));
    EXPECT_FALSE(isKorvanUnitText(u"A["));
    EXPECT_FALSE(isKorvanUnitText(u"ｺ"));
    EXPECT_FALSE(isKorvanUnitText(u"個"));
}

TEST(EncodeBarcodes, LinesOfASlipAndATag)
{
    const DeliveryRecord r = shipped("KEY1", "000000005.000", "IC-1", "OB1", "SB1");
    const BarcodeLines slip = EncodeBarcodes(BarcodeVariant::Eiaj, r, BarcodeDocument::Slip, 40);
    EXPECT_EQ(slip.text(0), QStringLiteral("3N3KEY1 5 "));
    EXPECT_EQ(slip.text(1), QStringLiteral("3N4IC-1  ")); // no per-package quantity on a slip
    EXPECT_EQ(slip.text(2), QStringLiteral("3N5OB1 SB1"));
    EXPECT_EQ(slip.text(3), slip.text(0));
    EXPECT_EQ(slip.lines[0].size(), 40);
    EXPECT_EQ(slip.lengths[0], 10);
    const BarcodeLines tag = EncodeBarcodes(BarcodeVariant::Eiaj, r, BarcodeDocument::Tag, 40, u"000000002.500");
    EXPECT_EQ(tag.text(1), QStringLiteral("3N4IC-1 2.5 "));
}

TEST(EncodeBarcodes, FieldsOutsideTheAlphabetAreShownButNotEncoded)
{
    const BarcodeLines b =
        EncodeBarcodes(BarcodeVariant::Eiaj, shipped("Key1", "000000005.000"), BarcodeDocument::Slip, 40);
    EXPECT_EQ(b.text(0), QStringLiteral("3N3Key1 5 "));
    EXPECT_EQ(b.text(3), QStringLiteral("3N3 5 "));
    EXPECT_EQ(b.lengths[3], 6);
}

TEST(EncodeBarcodes, KorvanVariants)
{
    DeliveryRecord r = shipped("K1", "000000001.000");
    r.setKind('2');
    r.setText(DeliveryField::OrdererUse1, u"USE1");
    r.setText(DeliveryField::SupplierBarcodeInfo, u"SB");
    EXPECT_EQ(EncodeBarcodes(BarcodeVariant::KorvanWithBarcode, r, BarcodeDocument::Slip, 40).text(2),
              QStringLiteral("3N5USE1 SB"));
    EXPECT_EQ(EncodeBarcodes(BarcodeVariant::KorvanWithoutBarcode, r, BarcodeDocument::Slip, 40).text(2),
              QStringLiteral("3N5 SB"));
    r.setText(DeliveryField::BcOutputClass, u"1");
    EXPECT_EQ(barcodeVariantOf(r), BarcodeVariant::KorvanWithBarcode);
}

TEST(EncodeBarcodes, CapacityMovesInEveryBranch)
{
    // Only L1 too long: D = 20 and a 20-character key with quantity 5.
    const QString key20 = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    BarcodeLines b = EncodeBarcodes(BarcodeVariant::Eiaj, shipped(key20, "000000005.000", "IC", "OB", "SB"),
                                    BarcodeDocument::Slip, 20);
    // L1 "3N3" + key + " 5 " = 26: keeps 20; L2 "3N4IC  " (7) takes 13 of L3's data "OB SB" (all 5).
    EXPECT_EQ(b.text(0), QStringLiteral("3N3ABCDEFGHIJKLMNOPQ"));
    EXPECT_EQ(b.text(1), QStringLiteral("3N4IC  OB SB"));
    EXPECT_EQ(b.text(2), QStringLiteral("3N5RST 5 "));
    EXPECT_EQ(b.text(3), b.text(0));

    // Only L2 too long.
    b = EncodeBarcodes(BarcodeVariant::Eiaj, shipped("K", "000000001.000", "ITEMCODE-0123456789", "OB", "SB"),
                       BarcodeDocument::Slip, 20);
    EXPECT_EQ(b.text(1), QStringLiteral("3N4ITEMCODE-01234567"));
    EXPECT_EQ(b.text(2), QStringLiteral("3N589  OB SB"));

    // L1 and L2 too long.
    b = EncodeBarcodes(BarcodeVariant::Eiaj,
                       shipped("KEY-0123456789ABC", "000000001.000", "ITEM-0123456789ABC", "", ""),
                       BarcodeDocument::Slip, 20);
    EXPECT_EQ(b.text(0), QStringLiteral("3N3KEY-0123456789ABC"));
    EXPECT_EQ(b.text(1), QStringLiteral("3N4ITEM-0123456789AB"));
    EXPECT_EQ(b.text(2), QStringLiteral("3N5 1 C   "));

    // Only L3 too long.
    b = EncodeBarcodes(BarcodeVariant::Eiaj, shipped("K", "000000001.000", "I", "ORDERERBARCODE12", "SB"),
                       BarcodeDocument::Slip, 20);
    EXPECT_EQ(b.text(1), QStringLiteral("3N4I  ORDERERBARCODE"));
    EXPECT_EQ(b.text(2), QStringLiteral("3N512 SB"));

    // More than three lines' worth: bare identifiers.
    b = EncodeBarcodes(BarcodeVariant::Eiaj,
                       shipped("KEY-0123456789ABCDEF", "000000001.000", "ITEM-0123456789ABCDE", "ORD-0123456789ABCDE",
                               "SUP-0123456789ABCDE"),
                       BarcodeDocument::Slip, 10);
    EXPECT_EQ(b.text(0), QStringLiteral("3N3"));
    EXPECT_EQ(b.text(1), QStringLiteral("3N4"));
    EXPECT_EQ(b.text(2), QStringLiteral("3N5"));
}
