#include "core/text/Decimal.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

using plx::Decimal;
using plx::Rounding;

namespace {

Decimal dec(const std::string& text)
{
    const std::optional<Decimal> d = Decimal::parse(QString::fromStdString(text));
    if (!d)
        throw std::invalid_argument("test value is not numeric: " + text);
    return *d;
}

std::string str(const Decimal& d)
{
    return d.toString().toStdString();
}

const std::string kNines(38, '9');

} // namespace

// toString() shows the scale, so these also pin the number of decimals kept.
TEST(DecimalParse, acceptsSignsPointsAndSurroundingBlanks)
{
    EXPECT_EQ(str(dec("  -0.25 ")), "-0.25");
    EXPECT_EQ(str(dec(".5")), "0.5");
    EXPECT_EQ(str(dec("5.")), "5");
    EXPECT_EQ(str(dec("+7")), "7");
    EXPECT_EQ(str(dec("-.5")), "-0.5");
    EXPECT_EQ(str(dec("00000000012.500")), "12.500");
    EXPECT_EQ(str(dec("000000000.000")), "0.000");
    EXPECT_FALSE(dec("-0").isNegative());
}

TEST(DecimalParse, rejectsAnythingButPlainNumbers)
{
    const char16_t* rejected[] = {u"",        u" ",   u".",    u"-",     u"+",   u"+-1",   u"--1",
                                  u"- 1",     u"1 2", u"1 .5", u"1,000", u"1e5", u"1.2.3", u"\t1",
                                  u"\u00a01", u"1-",  u"12a",  u"0x10",  u"１２"};
    for (const char16_t* text : rejected)
        EXPECT_FALSE(Decimal::parse(QStringView(text)).has_value()) << QStringView(text).toString().toStdString();
}

TEST(DecimalParse, holdsThirtyEightDigitsAndNoMore)
{
    EXPECT_EQ(str(dec("-" + kNines)), "-" + kNines);
    EXPECT_FALSE(Decimal::parse(QString::fromStdString("1" + kNines)).has_value());
    EXPECT_EQ(str(dec(std::string(50, '0') + "1")), "1"); // leading zeros are not significant
    EXPECT_EQ(str(dec("0." + std::string(37, '0') + "1")), "0." + std::string(37, '0') + "1");
    EXPECT_FALSE(Decimal::parse(QString::fromStdString("0." + std::string(39, '0'))).has_value());
}

TEST(DecimalConstruction, textAndCapacity)
{
    EXPECT_EQ(str(Decimal::fromUnits(-5, 2)), "-0.05");
    EXPECT_EQ(str(Decimal::fromUnits(0, 3)), "0.000");
    EXPECT_EQ(str(Decimal(-9000000000000000000LL)), "-9000000000000000000");
    EXPECT_THROW(Decimal::fromUnits(1, -1), std::invalid_argument);
    EXPECT_THROW(Decimal::fromUnits(1, 39), std::invalid_argument);
    EXPECT_THROW(Decimal::fromUnits(-dec(kNines).units() - 1, 0), std::overflow_error);
}

TEST(DecimalRounding, eachModeToWholeUnits)
{
    struct Case
    {
        const char* value;
        const char* halfAway;
        const char* halfEven;
        const char* towardZero;
        const char* awayFromZero;
    };
    const Case cases[] = {
        {"2.5", "3", "2", "2", "3"},      {"3.5", "4", "4", "3", "4"},    {"-2.5", "-3", "-2", "-2", "-3"},
        {"-3.5", "-4", "-4", "-3", "-4"}, {"2.4999", "2", "2", "2", "3"}, {"2.5001", "3", "3", "2", "3"},
        {"-2.1", "-2", "-2", "-2", "-3"}, {"0.5", "1", "0", "0", "1"},    {"7.000", "7", "7", "7", "7"},
    };
    for (const Case& c : cases) {
        const Decimal v = dec(c.value);
        EXPECT_EQ(str(v.rescaled(0, Rounding::HalfAwayFromZero)), c.halfAway) << c.value;
        EXPECT_EQ(str(v.rescaled(0, Rounding::HalfEven)), c.halfEven) << c.value;
        EXPECT_EQ(str(v.rescaled(0, Rounding::TowardZero)), c.towardZero) << c.value;
        EXPECT_EQ(str(v.rescaled(0, Rounding::AwayFromZero)), c.awayFromZero) << c.value;
    }
}

TEST(DecimalRounding, placesKeptAddedAndStripped)
{
    EXPECT_EQ(str(dec("1.005").rescaled(2)), "1.01");
    EXPECT_EQ(str(dec("1.005").rescaled(2, Rounding::HalfEven)), "1.00");
    EXPECT_EQ(str(dec("-0.0004").rescaled(3)), "0.000");
    EXPECT_EQ(str(dec("9.9995").rescaled(3)), "10.000");
    EXPECT_EQ(str(dec("-3").rescaled(2)), "-3.00");
    EXPECT_EQ(str(dec("2.996").rounded(2, Rounding::HalfAwayFromZero)), "3");
    EXPECT_EQ(str(dec("2.50").rounded(2, Rounding::HalfAwayFromZero)), "2.5");
    EXPECT_EQ(str(dec("1.5").rounded(6, Rounding::TowardZero)), "1.5");
    EXPECT_THROW(dec("1").rescaled(39), std::invalid_argument);
    EXPECT_THROW(dec(std::string(30, '9')).rescaled(10), std::overflow_error);
}

TEST(DecimalArithmetic, addsAndSubtractsAcrossScales)
{
    EXPECT_EQ(str(dec("1.5") + dec("2.25")), "3.75");
    EXPECT_EQ(str(dec("1.5") - dec("2.25")), "-0.75");
    EXPECT_EQ(str(Decimal(3) + dec("0.10")), "3.10");
    EXPECT_THROW(dec(kNines) + Decimal(1), std::overflow_error);
    EXPECT_THROW(-dec(kNines) - Decimal(1), std::overflow_error);
}

TEST(DecimalArithmetic, multipliesExactly)
{
    // The largest stored quantity times the largest foreign-currency unit price.
    EXPECT_EQ(str(dec("999999999.999") * dec("99999999999.99999")), "99999999999899990000.00000001");
    EXPECT_EQ(str(dec("-123456789.123") * dec("0.00001")), "-1234.56789123");
    EXPECT_EQ(str(dec("2.50") * Decimal(2)), "5.00");
    // Raw mantissas 10^37 x 10^37 do not fit, the value 10^18 x 10^18 does.
    const std::string wide = "1" + std::string(18, '0') + "." + std::string(19, '0');
    EXPECT_EQ(str(dec(wide) * dec(wide)), "1" + std::string(36, '0'));
    EXPECT_THROW(dec("1" + std::string(20, '0')) * dec("1" + std::string(20, '0')), std::overflow_error);
    EXPECT_THROW(Decimal::fromUnits(1, 20) * Decimal::fromUnits(1, 20), std::overflow_error); // 40 decimals
}

TEST(DecimalArithmetic, dividesWithRequestedPlacesAndRounding)
{
    EXPECT_EQ(str(Decimal(2).divided(Decimal(3), 3)), "0.667");
    EXPECT_EQ(str(Decimal(2).divided(Decimal(3), 3, Rounding::TowardZero)), "0.666");
    EXPECT_EQ(str(Decimal(-1).divided(Decimal(8), 2, Rounding::HalfEven)), "-0.12");
    EXPECT_EQ(str(Decimal(1).divided(Decimal(-8), 2)), "-0.13");
    EXPECT_EQ(str(dec("-7.5").divided(dec("-2.5"), 0)), "3");
    EXPECT_EQ(str(dec("1.23456").divided(Decimal(1), 2)), "1.23");
    EXPECT_EQ(str(dec("0.1").divided(dec("0.003"), 4)), "33.3333");
    // 0.1 written with 38 decimals: its trailing zeros must not overflow the numerator.
    EXPECT_EQ(str(Decimal(1).divided(Decimal::fromUnits(dec("1" + std::string(37, '0')).units(), 38), 2)), "10.00");
    EXPECT_THROW(Decimal(1).divided(Decimal(), 2), std::domain_error);
}

TEST(DecimalCompare, byValueWhateverTheScale)
{
    EXPECT_EQ(dec("2.5"), dec("2.50"));
    EXPECT_EQ(dec("0"), dec("-0.000"));
    EXPECT_LT(dec("-1.5"), dec("-1.25"));
    EXPECT_GT(dec("1.01"), dec("1.009"));
    // Scales 0 and 38 side by side must not overflow while being compared.
    const Decimal small = Decimal::fromUnits(dec(kNines).units(), 38);
    EXPECT_GT(dec(kNines), small);
    EXPECT_LT(-dec(kNines), -small);
    EXPECT_LT(small, Decimal(1));
}

TEST(DecimalConversion, integerPartTruncatesAndChecksRange)
{
    EXPECT_EQ(dec("-2.9").toLongLong(), -2);
    EXPECT_EQ(dec("-9223372036854775808").toLongLong(), std::numeric_limits<long long>::min());
    EXPECT_EQ(dec("9223372036854775807.99").toLongLong(), std::numeric_limits<long long>::max());
    EXPECT_THROW(dec("9223372036854775808").toLongLong(), std::overflow_error);
}
