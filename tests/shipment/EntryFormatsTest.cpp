#include "shipment/EntryFormats.h"

#include <gtest/gtest.h>

using namespace plx;

TEST(EntryFormats, NumbersAsBoxesShowThem)
{
    EXPECT_EQ(boxNumber(u" 1,234.500 ")->toString(), QStringLiteral("1234.500"));
    EXPECT_EQ(boxNumber(u"40")->toString(), QStringLiteral("40"));
    EXPECT_FALSE(boxNumber(u"1,23"));
    EXPECT_FALSE(boxNumber(u"*"));
    EXPECT_FALSE(boxNumber(u""));
}

TEST(EntryFormats, DatesAsBoxesShowThem)
{
    EXPECT_EQ(boxDate(u"2026/12/07"), QStringLiteral("20261207"));
    EXPECT_EQ(boxDate(u"2000/5/31"), QStringLiteral("20000531"));
    EXPECT_EQ(boxDate(u"20240229"), QStringLiteral("20240229"));
    EXPECT_FALSE(boxDate(u"2023/02/29"));
    EXPECT_FALSE(boxDate(u"0000/00/00"));
    EXPECT_FALSE(boxDate(u""));
}

TEST(EntryFormats, QuantityBoxes)
{
    EXPECT_EQ(quantityBoxText(u"1234.5"), "1,234.500");
    EXPECT_EQ(quantityBoxText(u" 1,234 "), "1,234.000");
    EXPECT_EQ(quantityBoxText(u"000001234.500"), "1,234.500"); // as stored
    EXPECT_EQ(quantityBoxText(u"0"), "0.000");
    EXPECT_EQ(quantityBoxText(u"0.0005"), "0.001");
    EXPECT_EQ(quantityBoxText(u"999999999.999"), "999,999,999.999");
    // Not a number: left for the checks to refuse.
    EXPECT_EQ(quantityBoxText(u"12a"), "12a");
    EXPECT_EQ(quantityBoxText(u"1,23"), "1,23");
    EXPECT_EQ(quantityBoxText(u""), "");
}

TEST(EntryFormats, UnitPriceBoxesByCurrency)
{
    EXPECT_EQ(unitPriceBoxText(u"1234567.1234", false), "1,234,567.123");
    EXPECT_EQ(unitPriceBoxText(u"00000001234.500", false), "1,234.500");
    EXPECT_EQ(unitPriceBoxText(u"1234567.123456", true), "1,234,567.12346");
    // Seventeen significant digits, exact.
    EXPECT_EQ(unitPriceBoxText(u"000012345678901.12345", true), "12,345,678,901.12345");
    EXPECT_EQ(unitPriceBoxText(u"0", true), "0.00000");
    EXPECT_EQ(unitPriceBoxText(u"*", true), "*");
}

TEST(EntryFormats, AmountBoxesByCurrency)
{
    EXPECT_EQ(amountBoxText(u"1234567", false), "1,234,567");
    EXPECT_EQ(amountBoxText(u"1234.5", false), "1,235");
    EXPECT_EQ(amountBoxText(u"0000000000", false), "0");
    EXPECT_EQ(amountBoxText(u"1234.5", true), "1,234.500");
    EXPECT_EQ(amountBoxText(u"999999999999.999", true), "999,999,999,999.999");
    EXPECT_EQ(amountBoxText(u"*", false), "*");
    EXPECT_EQ(amountBoxText(u"", true), "");
}

TEST(EntryFormats, DateBoxesOnLeaving)
{
    EXPECT_EQ(dateBoxText(u"2000/5/31"), "2000/05/31");
    EXPECT_EQ(dateBoxText(u" 20000531 "), "2000/05/31");
    EXPECT_EQ(dateBoxText(u"2024-2-29"), "2024/02/29");
    // Numeric but no real date: shaped all the same.
    EXPECT_EQ(dateBoxText(u"20000532"), "2000/05/32");
    EXPECT_EQ(dateBoxText(u"531"), "/05/31");
    // Neither: unchanged.
    EXPECT_EQ(dateBoxText(u"2000/13/01"), "2000/13/01");
    EXPECT_EQ(dateBoxText(u"abc"), "abc");
    EXPECT_EQ(dateBoxText(u""), "");
}

TEST(EntryFormats, StoredDatesAndUpdateStamp)
{
    EXPECT_EQ(storedDateText(u"20240229"), "2024/02/29");
    EXPECT_EQ(storedDateText(u"        "), "0000/00/00");
    EXPECT_EQ(storedDateText(u""), "0000/00/00");
    EXPECT_EQ(updatedAtText(u"202612071530"), "2026/12/07");
    EXPECT_EQ(updatedAtText(u"            "), "0000/00/00");
}

TEST(EntryFormats, TagGridCellsAreCut)
{
    EXPECT_EQ(tagQuantityCellText(u"10"), "10.000");
    EXPECT_EQ(tagQuantityCellText(u"123456789.123"), "123,456,789.123"); // exactly 15
    EXPECT_EQ(tagQuantityCellText(u"1234567890"), "1,234,567,890.0");
    EXPECT_EQ(tagQuantityCellText(u"abcdefghijklmnopq"), "abcdefghijklmno");
    EXPECT_EQ(tagCountCellText(u"3"), "3");
    EXPECT_EQ(tagCountCellText(u"0"), "0");
    EXPECT_EQ(tagCountCellText(u"12.6"), "13");
    EXPECT_EQ(tagCountCellText(u"123"), "12");
    EXPECT_EQ(tagCountCellText(u"abc"), "ab");
}

TEST(EntryFormats, TrimmingOnFocus)
{
    using B = EntryBox;
    EXPECT_EQ(focusedBoxText(B::OrdererCode, u"  ABC  "), "ABC");
    EXPECT_EQ(focusedBoxText(B::ShipQty, u" 1,234.000"), "1,234.000");
    for (EntryBox box : {B::DeliveryKeyNo, B::ItemCode, B::OrdererBarcodeInfo, B::SupplierBarcodeInfo}) {
        SCOPED_TRACE(entryBox(box).objectName);
        EXPECT_EQ(focusedBoxText(box, u"  ABC  "), "  ABC");
    }
    // Full-width blanks are text, not padding.
    EXPECT_EQ(focusedBoxText(B::ItemName, u" 　品名　 "), "　品名　");
    EXPECT_EQ(focusedBoxText(B::SupplierBarcodeInfo, u"AB　 "), "AB　");
    EXPECT_EQ(focusedBoxText(B::SupplierRemarks, u"   "), "");
}

TEST(EntryFormats, CurrencySwitchReformatsPriceAndAmounts)
{
    const PriceAmountTexts yen{"1,234.500", "1,235", "62", "1,297"};
    EXPECT_EQ(switchedCurrencyTexts(yen, true), (PriceAmountTexts{"1,234.50000", "1,235.000", "62.000", "1,297.000"}));
    const PriceAmountTexts foreign{"12.34567", "1,234.567", "61.728", "*"};
    EXPECT_EQ(switchedCurrencyTexts(foreign, false), (PriceAmountTexts{"12.346", "1,235", "62", "*"}));
    // Empty boxes stay empty.
    EXPECT_EQ(switchedCurrencyTexts(PriceAmountTexts{}, true), PriceAmountTexts{});
}

TEST(EntryFormats, StoredNumbersFromBoxes)
{
    EXPECT_EQ(storedQuantity(u"1,234.5"), "000001234.500");
    EXPECT_EQ(storedQuantity(u"999,999,999.999"), "999999999.999");
    EXPECT_EQ(storedUnitPrice(u"1,234.5", false), "00000001234.500");
    EXPECT_EQ(storedUnitPrice(u"12.34567", true), "000000000012.34567");
    EXPECT_EQ(storedUnitPrice(u"12345678901.12345", true), "012345678901.12345");
    EXPECT_EQ(storedAmount(u"9,999,999,999", false), "9999999999");
    EXPECT_EQ(storedAmount(u"1,235", false), "0000001235");
    EXPECT_EQ(storedAmount(u"0", true), "000000000000.000");
    EXPECT_EQ(storedAmount(u"1,234.567", true), "000000001234.567");
    // Nothing for what registration refuses.
    EXPECT_FALSE(storedAmount(u"*", false));
    EXPECT_FALSE(storedAmount(u"", true));
    EXPECT_FALSE(storedQuantity(u"1,23"));
    EXPECT_FALSE(storedUnitPrice(u"abc", false));
}
