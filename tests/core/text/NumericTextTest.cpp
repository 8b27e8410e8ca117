#include "core/text/NumericText.h"

#include <QString>

#include <gtest/gtest.h>

#include <string>

using plx::isNumericText;
using plx::toInt16HalfEven;

TEST(NumericText, recognisesPlainNumbersOnly)
{
    const char16_t* numeric[] = {u" 12 ", u"-3", u"+0.50", u".5", u"5.", u"0", u"000", u"-.5", u"  +12.0  "};
    for (const char16_t* text : numeric)
        EXPECT_TRUE(isNumericText(text)) << QStringView(text).toString().toStdString();

    // Full-width digits and minus, an ideographic blank, tabs and grouping are not numbers here.
    const char16_t* other[] = {u"",    u" ",     u".",     u"-",    u"+ 1",  u"--1",  u"1-",  u"12a",     u"1 2",
                               u"1e3", u"1.2.3", u"1,000", u"\t12", u"12\n", u"１２", u"－1", u"\u300012"};
    for (const char16_t* text : other)
        EXPECT_FALSE(isNumericText(text)) << QStringView(text).toString().toStdString();
}

TEST(NumericText, longDigitStringsAreStillNumeric)
{
    EXPECT_TRUE(isNumericText(QString(60, u'9')));
    EXPECT_TRUE(isNumericText(QStringLiteral("0.") + QString(60, u'1')));
}

TEST(NumericTextInt16, roundsHalvesToEven)
{
    struct Case
    {
        const char16_t* text;
        short expected;
    };
    const Case cases[] = {
        {u"2.5", 2},  {u"3.5", 4},  {u"-2.5", -2},   {u"-3.5", -4},    {u"0.5", 0},      {u"1.5", 2},
        {u"2.51", 3}, {u"2.49", 2}, {u"2.50000", 2}, {u"2.500001", 3}, {u"-0.5", 0},     {u" 12 ", 12},
        {u"+7", 7},   {u".5", 0},   {u".6", 1},      {u"5.", 5},       {u"0000012", 12}, {u"-0.4", 0},
    };
    for (const Case& c : cases) {
        const std::optional<short> value = toInt16HalfEven(c.text);
        ASSERT_TRUE(value.has_value()) << QStringView(c.text).toString().toStdString();
        EXPECT_EQ(*value, c.expected) << QStringView(c.text).toString().toStdString();
    }
}

TEST(NumericTextInt16, sixteenBitLimitsAfterRounding)
{
    EXPECT_EQ(toInt16HalfEven(u"32767"), std::optional<short>(32767));
    EXPECT_EQ(toInt16HalfEven(u"32767.4"), std::optional<short>(32767));
    EXPECT_EQ(toInt16HalfEven(u"32767.5"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"32768"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"-32768"), std::optional<short>(-32768));
    EXPECT_EQ(toInt16HalfEven(u"-32768.5"), std::optional<short>(-32768)); // tie to the even 32768
    EXPECT_EQ(toInt16HalfEven(u"-32768.51"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"-32769"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"99999"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"100000"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(QString(40, u'9')), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(QString(40, u'0') + QStringLiteral("12")), std::optional<short>(12));
}

TEST(NumericTextInt16, nonNumericGivesNothing)
{
    EXPECT_EQ(toInt16HalfEven(u""), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"   "), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"12a"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"1 2"), std::nullopt);
    EXPECT_EQ(toInt16HalfEven(u"１２"), std::nullopt);
}
