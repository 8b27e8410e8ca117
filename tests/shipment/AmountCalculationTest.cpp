#include "shipment/AmountCalculation.h"

#include "store/CodeTable.h"

#include <gtest/gtest.h>

using namespace plx;

namespace {

// Taxation classes of the EIAJ list (kind "03"), in file order, with other
// kinds and the KORVAN list mixed in as the real file has them.
CodeTable codes()
{
    return CodeTable::fromBytes(CodeTable::makeRecord({"1", "02", "1", "外税", ""}) +
                                CodeTable::makeRecord({"1", "02", "2", "内税", ""}) +
                                CodeTable::makeRecord({"1", "03", "01", "課税5", "5"}) + // position 0
                                CodeTable::makeRecord({"2", "03", "2", "KORVAN", "8"}) +
                                CodeTable::makeRecord({"1", "03", "2", "課税10", "10"}) +       // position 1
                                CodeTable::makeRecord({"1", "03", "3", "消費税対象外", "10"}) + // position 2
                                CodeTable::makeRecord({"1", "03", "X", "不明", "7"}) +
                                CodeTable::makeRecord({"1", "03", "4", "軽減", "8%"}) + // position 3
                                CodeTable::makeRecord({"1", "03", "2", "重複", "99"}));
}

TaxInputs yen(const QString& quantity, const QString& price, int position, const QString& amountRounding = "3",
              const QString& taxRounding = "3")
{
    TaxInputs in;
    in.quantity = quantity;
    in.unitPrice = price;
    in.taxationPosition = position;
    in.taxationName = position == 2 ? QStringLiteral("消費税対象外") : QStringLiteral("課税");
    in.amountRounding = roundingSettingOf(amountRounding);
    in.taxRounding = roundingSettingOf(taxRounding);
    return in;
}

TaxInputs foreign(const QString& quantity, const QString& price, int position, const QString& amountRounding = "3",
                  const QString& taxRounding = "3")
{
    TaxInputs in = yen(quantity, price, position, amountRounding, taxRounding);
    in.foreign = true;
    return in;
}

TaxResult calc(const TaxInputs& in)
{
    const std::optional<TaxResult> r = CalculateTax(in, codes());
    EXPECT_TRUE(r.has_value());
    return r.value_or(TaxResult{"?", "?", "?"});
}

} // namespace

// ---- tax rate ---------------------------------------------------------------

TEST(TaxRate, CodeReadAsNumberMatchesPositionPlusOne)
{
    const CodeTable t = codes();
    EXPECT_EQ(taxRate(t, Protocol::Eiaj, 0, u"課税5"), Decimal(5));   // code "01"
    EXPECT_EQ(taxRate(t, Protocol::Eiaj, 1, u"課税10"), Decimal(10)); // first of two code-2 entries
    EXPECT_EQ(taxRate(t, Protocol::Eiaj, 3, u"軽減"), Decimal(8));    // "8%" reads as 8
    EXPECT_EQ(taxRate(t, Protocol::Korvan, 1, u"KORVAN"), Decimal(8));
}

TEST(TaxRate, ExemptNameMissingEntryAndNoSelectionGiveZero)
{
    const CodeTable t = codes();
    EXPECT_EQ(taxRate(t, Protocol::Eiaj, 2, u" 消費税対象外 "), Decimal(0));
    EXPECT_EQ(taxRate(t, Protocol::Eiaj, 0, u"消費税対象外"), Decimal(0)); // the name decides
    EXPECT_EQ(taxRate(t, Protocol::Eiaj, 9, u"課税"), Decimal(0));
    EXPECT_EQ(taxRate(t, Protocol::Eiaj, -1, u""), Decimal(0));
    EXPECT_EQ(taxRate(t, Protocol::Korvan, 0, u"課税"), Decimal(0));
    EXPECT_EQ(taxRate(CodeTable(), Protocol::Eiaj, 0, u"課税"), Decimal(0));
}

// ---- yen mode -------------------------------------------------------------

TEST(CalculateTaxYen, HalfUpCarriesRemainderOfNineNinetyNine)
{
    // 3 × 33.333 = 99.999: remainder 999000 rounds up to 100; tax 5.000 exact.
    EXPECT_EQ(calc(yen("3", "33.333", 0, "3", "3")), (TaxResult{"5", "100", "105"}));
}

TEST(CalculateTaxYen, CutAmountThenEachTaxRounding)
{
    // Amount 99; tax 4.95 with remainder 950.
    EXPECT_EQ(calc(yen("3", "33.333", 0, "2", "1")), (TaxResult{"5", "99", "104"}));
    EXPECT_EQ(calc(yen("3", "33.333", 0, "2", "2")), (TaxResult{"4", "99", "103"}));
    EXPECT_EQ(calc(yen("3", "33.333", 0, "2", "3")), (TaxResult{"5", "99", "104"}));
}

TEST(CalculateTaxYen, RoundUpTakesAnyRemainder)
{
    EXPECT_EQ(calc(yen("1", "10.000001", 9, "1")).amount, "11");
    EXPECT_EQ(calc(yen("1", "10.999999", 9, "2")).amount, "10");
}

TEST(CalculateTaxYen, HalfUpThresholdIsExactlyOneHalf)
{
    EXPECT_EQ(calc(yen("1", "0.5", 9, "3")).amount, "1");
    EXPECT_EQ(calc(yen("1", "0.499999", 9, "3")).amount, "0");
    // The remainder is read from six decimals, so a seventh decimal already
    // counts: 0.4999995 becomes 0.500000 first.
    EXPECT_EQ(calc(yen("1", "0.4999995", 9, "3")).amount, "1");
    // Tax: 10% of 5 yen is 0.500, a remainder of exactly 500 thousandths.
    EXPECT_EQ(calc(yen("5", "1", 1, "3", "3")).tax, "1"); // 0.500
    EXPECT_EQ(calc(yen("5", "1", 1, "3", "2")).tax, "0");
}

TEST(CalculateTaxYen, ExactProductIsNeverChanged)
{
    for (const char* amountRounding : {"1", "2", "3", "", "9"}) {
        for (const char* taxRounding : {"1", "2", "3", "0"}) {
            SCOPED_TRACE(std::string(amountRounding) + "/" + taxRounding);
            EXPECT_EQ(calc(yen("3", "40", 1, amountRounding, taxRounding)), (TaxResult{"12", "120", "132"}));
            EXPECT_EQ(calc(yen("1,000.000", "1,234.000", 0, amountRounding, taxRounding)),
                      (TaxResult{"61,700", "1,234,000", "1,295,700"}));
        }
    }
}

TEST(CalculateTaxYen, UnknownRoundingKeepsRemainderIntoTheTotal)
{
    // 3 × 0.5 = 1.5 stays 1.5: the tax 0.15 is cut to 0 and the total is 1.5,
    // shown rounded as 2. Cutting the amount instead gives 1 and 1.
    EXPECT_EQ(calc(yen("3", "0.5", 1, "", "2")), (TaxResult{"0", "2", "2"}));
    EXPECT_EQ(calc(yen("3", "0.5", 1, "2", "2")), (TaxResult{"0", "1", "1"}));
}

TEST(CalculateTaxYen, TaxExemptClassGivesNoTax)
{
    EXPECT_EQ(calc(yen("3", "33.333", 2, "3", "1")), (TaxResult{"0", "100", "100"}));
    TaxInputs in = yen("7", "1000", 1);
    in.taxationName = QStringLiteral("  消費税対象外 "); // as the list pads it
    EXPECT_EQ(calc(in), (TaxResult{"0", "7,000", "7,000"}));
}

TEST(CalculateTaxYen, ValuesAboveTenDigitsShowAsterisk)
{
    EXPECT_EQ(calc(yen("1", "9999999999", 2)), (TaxResult{"0", "9,999,999,999", "9,999,999,999"}));
    EXPECT_EQ(calc(yen("1", "10000000000", 2)), (TaxResult{"0", "*", "*"}));
    // The amount fits, the total with its tax does not.
    EXPECT_EQ(calc(yen("1", "9999999999", 0)), (TaxResult{"500,000,000", "9,999,999,999", "*"}));
    EXPECT_EQ(calc(yen("999,999,999.999", "9999999999.999", 0)), (TaxResult{"*", "*", "*"}));
}

TEST(CalculateTaxYen, ProductBeyondDecimalCapacityIsOutOfRange)
{
    const QString huge = QStringLiteral("9").repeated(30);
    EXPECT_EQ(calc(yen(huge, huge, 0)), (TaxResult{"*", "*", "*"}));
}

TEST(CalculateTaxYen, NonNumericInputGivesNothing)
{
    EXPECT_FALSE(CalculateTax(yen("", "10", 0), codes()));
    EXPECT_FALSE(CalculateTax(yen("3", "*", 0), codes()));
    EXPECT_FALSE(CalculateTax(yen("1,23", "10", 0), codes()));
}

// ---- foreign-currency mode -------------------------------------------------

TEST(CalculateTaxForeign, HalfUpAndCutOnThousandths)
{
    // 3 × 33.33333 = 99.99999: 99999.99 thousandths.
    EXPECT_EQ(calc(foreign("3", "33.33333", 0, "3", "3")), (TaxResult{"5.000", "100.000", "105.000"}));
    // Cut: 99.999; tax 4.99995 has the remainder 950 in thousandths.
    EXPECT_EQ(calc(foreign("3", "33.33333", 0, "2", "1")), (TaxResult{"5.000", "99.999", "104.999"}));
    EXPECT_EQ(calc(foreign("3", "33.33333", 0, "2", "2")), (TaxResult{"4.999", "99.999", "104.998"}));
    EXPECT_EQ(calc(foreign("3", "33.33333", 0, "2", "3")), (TaxResult{"5.000", "99.999", "104.999"}));
}

TEST(CalculateTaxForeign, SmallestRemainders)
{
    // 1.5 × 0.00001 = 0.015 thousandths.
    EXPECT_EQ(calc(foreign("1.5", "0.00001", 9, "1")).amount, "0.001");
    EXPECT_EQ(calc(foreign("1.5", "0.00001", 9, "3")).amount, "0.000");
    // Exactly half a thousandth.
    EXPECT_EQ(calc(foreign("1", "0.0005", 9, "3")).amount, "0.001");
    EXPECT_EQ(calc(foreign("1", "0.0005", 9, "2")).amount, "0.000");
}

TEST(CalculateTaxForeign, ExactProductIsNeverChanged)
{
    for (const char* rounding : {"1", "2", "3", "x"}) {
        SCOPED_TRACE(rounding);
        EXPECT_EQ(calc(foreign("2", "1.25", 1, rounding, rounding)), (TaxResult{"0.250", "2.500", "2.750"}));
    }
}

TEST(CalculateTaxForeign, LargeExactValuesKeepEveryDigit)
{
    // A double could not hold 17 significant digits.
    EXPECT_EQ(calc(foreign("1", "12345678901.12345", 2, "2")),
              (TaxResult{"0.000", "12,345,678,901.123", "12,345,678,901.123"}));
    EXPECT_EQ(calc(foreign("1", "999999999999.999", 2)).amount, "999,999,999,999.999");
    EXPECT_EQ(calc(foreign("1", "1000000000000", 2)), (TaxResult{"0.000", "*", "*"}));
}

TEST(CalculateTaxForeign, TaxExemptClassGivesNoTax)
{
    EXPECT_EQ(calc(foreign("3", "33.33333", 2)), (TaxResult{"0.000", "100.000", "100.000"}));
}

// ---- when the calculation runs -----------------------------------------------

TEST(TaxTrigger, ChangedValueWithSecondConsumptionTaxClassCalculates)
{
    EXPECT_EQ(taxTrigger(u"3", u"33.333", u"2", u"3", RecordStatus::Waiting, 1), (TaxTrigger{true, true}));
    EXPECT_TRUE(taxShouldRun(u"1,234.500", u"1,000", u"1", u"2", RecordStatus::Issued, 1));
}

TEST(TaxTrigger, UnchangedValueRunsOnlyForUnprocessedRecord)
{
    EXPECT_EQ(taxTrigger(u"3", u"10", u"3", u"3", RecordStatus::Waiting, 1), (TaxTrigger{false, false}));
    EXPECT_EQ(taxTrigger(u"3", u"10", u"3", u"3", RecordStatus::Marked, 1), (TaxTrigger{false, false}));
    EXPECT_EQ(taxTrigger(u"3", u"10", u"3", u"3", RecordStatus::Unprocessed, 1), (TaxTrigger{true, true}));
}

TEST(TaxTrigger, OtherConsumptionTaxClassOnlyFillsEmptyAmounts)
{
    for (int position : {-1, 0, 2}) {
        SCOPED_TRACE(position);
        EXPECT_EQ(taxTrigger(u"3", u"10", u"", u"3", RecordStatus::Waiting, position), (TaxTrigger{true, false}));
        EXPECT_FALSE(taxShouldRun(u"3", u"10", u"", u"3", RecordStatus::Unprocessed, position));
    }
}

TEST(TaxTrigger, NonNumericQuantityOrPriceDoesNothing)
{
    EXPECT_EQ(taxTrigger(u"", u"10", u"1", u"", RecordStatus::Unprocessed, 1), (TaxTrigger{false, false}));
    EXPECT_EQ(taxTrigger(u"3", u"abc", u"1", u"abc", RecordStatus::Unprocessed, 1), (TaxTrigger{false, false}));
    EXPECT_EQ(taxTrigger(u"3", u"*", u"1", u"*", RecordStatus::Unprocessed, 1), (TaxTrigger{false, false}));
}

TEST(TaxTrigger, EmptyAmountBoxesBecomeZeroOthersStay)
{
    QString excl, tax = QStringLiteral("  "), incl = QStringLiteral("1,234");
    fillEmptyAmounts(excl, tax, incl);
    EXPECT_EQ(excl, "0");
    EXPECT_EQ(tax, "0");
    EXPECT_EQ(incl, "1,234");
    QString star = QStringLiteral("*"), zero = QStringLiteral("0"), typed = QStringLiteral("abc");
    fillEmptyAmounts(star, zero, typed);
    EXPECT_EQ(star, "*");
    EXPECT_EQ(typed, "abc");
}

TEST(TaxCurrencyMode, YenWhenEmptyOrJpy)
{
    EXPECT_FALSE(isForeignCurrency(u""));
    EXPECT_FALSE(isForeignCurrency(u"   "));
    EXPECT_FALSE(isForeignCurrency(u" jpy "));
    EXPECT_FALSE(isForeignCurrency(u"JPY"));
    EXPECT_TRUE(isForeignCurrency(u"usd"));
    EXPECT_TRUE(isForeignCurrency(u"JP"));
}
