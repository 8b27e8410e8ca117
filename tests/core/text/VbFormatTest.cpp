#include "core/text/VbFormat.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using plx::Decimal;
using plx::vbFormat;
using plx::vbFormatText;

namespace {

// Formats numeric test text; the value is parsed exactly, never through a double.
std::string fmt(const char* value, const char* pattern)
{
    const std::optional<Decimal> d = Decimal::parse(QString::fromLatin1(value));
    if (!d)
        throw std::invalid_argument(std::string("test value is not numeric: ") + value);
    return vbFormat(*d, QString::fromLatin1(pattern)).toStdString();
}

} // namespace

TEST(VbFormatFixedWidth, zeroPaddedStoragePatterns)
{
    EXPECT_EQ(fmt("12.5", "000000000.000"), "000000012.500");
    EXPECT_EQ(fmt("1500", "00000000000.000"), "00000001500.000");
    EXPECT_EQ(fmt("1.234565", "000000000000.00000"), "000000000001.23457");
    EXPECT_EQ(fmt("99999999999.99999", "000000000000.00000"), "099999999999.99999");
    EXPECT_EQ(fmt("12.3456", "000000000000.000"), "000000000012.346");
    EXPECT_EQ(fmt("1234.5", "0000000000"), "0000001235");
    EXPECT_EQ(fmt("5", "00000"), "00005");
}

TEST(VbFormatFixedWidth, roundsHalfAwayFromZeroToThePatternDecimals)
{
    EXPECT_EQ(fmt("0.0005", "000000000.000"), "000000000.001");
    EXPECT_EQ(fmt("0.0004999", "000000000.000"), "000000000.000");
    EXPECT_EQ(fmt("2.5", "0000000000"), "0000000003");
    EXPECT_EQ(fmt("-2.5", "0000000000"), "-0000000003");
    EXPECT_EQ(fmt("999999999.9995", "000000000.000"), "1000000000.000");
}

TEST(VbFormatFixedWidth, integerDigitsOverflowToTheLeft)
{
    EXPECT_EQ(fmt("123456", "00000"), "123456");
    EXPECT_EQ(fmt("1234567890.1", "000000000.000"), "1234567890.100");
}

TEST(VbFormatSign, minusInFrontAndNoNegativeZero)
{
    EXPECT_EQ(fmt("-5", "00000"), "-00005");
    EXPECT_EQ(fmt("-3.14159", "000000000.000"), "-000000003.142");
    EXPECT_EQ(fmt("-0.0005", "0.000"), "-0.001");
    // A value that rounds to zero is shown as plain zero.
    EXPECT_EQ(fmt("-0.0004", "0.000"), "0.000");
    EXPECT_EQ(fmt("-0.000", "###,###,##0.000"), "0.000");
}

TEST(VbFormatGrouping, thousandsSeparatorsForDisplayPatterns)
{
    EXPECT_EQ(fmt("1234.5", "###,###,##0.000"), "1,234.500");
    EXPECT_EQ(fmt("-1234.5", "###,###,##0.000"), "-1,234.500");
    EXPECT_EQ(fmt("0", "###,###,##0.000"), "0.000");
    EXPECT_EQ(fmt("1000", "###,###,##0.000"), "1,000.000");
    EXPECT_EQ(fmt("999.9995", "###,###,##0.000"), "1,000.000");
    EXPECT_EQ(fmt("999999999.999", "###,###,##0.000"), "999,999,999.999");
    EXPECT_EQ(fmt("12345678", "##,###,##0.000"), "12,345,678.000");
    EXPECT_EQ(fmt("1234567890.5", "#,###,###,##0.000"), "1,234,567,890.500");
    EXPECT_EQ(fmt("12345678901.23456", "###,###,###,##0.00000"), "12,345,678,901.23456");
    EXPECT_EQ(fmt("1234567", "#,###,###,##0"), "1,234,567");
    EXPECT_EQ(fmt("99999999999.999", "###,###,###,##0.000"), "99,999,999,999.999");
    // Zero placeholders left of a separator pad and are grouped too.
    EXPECT_EQ(fmt("5", "0,000"), "0,005");
}

TEST(VbFormatGrouping, overflowDigitsAreGroupedToo)
{
    EXPECT_EQ(fmt("1234567890123", "###,###,##0.000"), "1,234,567,890,123.000");
    EXPECT_EQ(fmt("123456789", "##,###,##0.000"), "123,456,789.000");
}

TEST(VbFormatDates, digitsFillFromTheRightAndLiteralsStay)
{
    EXPECT_EQ(fmt("20000531", "####/##/##"), "2000/05/31");
    EXPECT_EQ(fmt("20000531", "####/00/00"), "2000/05/31");
    EXPECT_EQ(fmt("260105", "00/00/00"), "26/01/05");
    EXPECT_EQ(fmt("531", "0000/00/00"), "0000/05/31");
    // Unused leading '#' positions vanish but their literals remain.
    EXPECT_EQ(fmt("531", "####/##/##"), "/5/31");
    EXPECT_EQ(fmt("531", "####/00/00"), "/05/31");
    EXPECT_EQ(fmt("0", "####/##/##"), "//");
    EXPECT_EQ(fmt("5551234", "(###) ###-####"), "() 555-1234");
    // Extra digits go in front of the first placeholder.
    EXPECT_EQ(fmt("123456789", "####/##/##"), "12345/67/89");
    EXPECT_EQ(fmt("12345", "(###)"), "(12345)");
}

TEST(VbFormatSmallCounts, lastZeroPlaceholderAlwaysShows)
{
    EXPECT_EQ(fmt("0", "##0"), "0");
    EXPECT_EQ(fmt("1234", "##0"), "1234");
    EXPECT_EQ(fmt("0", "#0"), "0");
    EXPECT_EQ(fmt("0.4", "#0"), "0");
    EXPECT_EQ(fmt("0", "###0"), "0");
    EXPECT_EQ(fmt("12345", "###0"), "12345");
}

TEST(VbFormatPlaceholders, hashDecimalsHideTrailingZerosButNotThePoint)
{
    EXPECT_EQ(fmt("5", "#.##"), "5.");
    EXPECT_EQ(fmt("0.05", "#.##"), ".05");
    EXPECT_EQ(fmt("1.5", "0.0#"), "1.5");
    EXPECT_EQ(fmt("1.999", "0.0#"), "2.0");
    EXPECT_EQ(fmt("5", "0#"), "05"); // a leading '0' makes every placeholder after it show
    EXPECT_EQ(fmt("12.5", ".00"), "12.50");
    EXPECT_EQ(fmt("0.5", ".00"), ".50");
}

TEST(VbFormatText, numericTextIsFormattedOtherTextKept)
{
    EXPECT_EQ(vbFormatText(u" 12.5 ", u"00000"), QStringLiteral("00013"));
    EXPECT_EQ(vbFormatText(u"20000531", u"####/00/00"), QStringLiteral("2000/05/31"));
    EXPECT_EQ(vbFormatText(u"2000/05/31", u"####/00/00"), QStringLiteral("2000/05/31"));
    EXPECT_EQ(vbFormatText(u"12a", u"00000"), QStringLiteral("12a"));
    EXPECT_EQ(vbFormatText(u"1,234", u"###,###,##0.000"), QStringLiteral("1,234"));
    EXPECT_EQ(vbFormatText(u"", u"#0"), QString());
    EXPECT_EQ(vbFormatText(u"  ", u"#0"), QStringLiteral("  "));
}
