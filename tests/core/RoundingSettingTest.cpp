#include "core/RoundingSetting.h"

#include <gtest/gtest.h>

using namespace plx;

// The company file's "1", "2", "3" settle 2.1, 2.5 and -2.5 as the amount
// calculation has always done: up, cut off, half up (by magnitude).
TEST(RoundingSetting, StoredTextsSettleARemainder)
{
    struct Case
    {
        const char16_t* stored;
        RoundingSetting setting;
        const char* of21;
        const char* of25;
        const char* ofMinus25;
    };
    const Case cases[] = {
        {u"1", RoundingSetting::Up, "3", "3", "-3"},
        {u" 2", RoundingSetting::Down, "2", "2", "-2"},
        {u"3 ", RoundingSetting::HalfUp, "2", "3", "-3"},
    };
    for (const Case& c : cases) {
        const auto setting = roundingSettingOf(c.stored);
        ASSERT_EQ(setting, c.setting);
        EXPECT_EQ(storedText(*setting), QString::fromUtf16(c.stored).trimmed());
        const auto settled = [&](const char* value) {
            return Decimal::parse(QString::fromLatin1(value))->rescaled(0, decimalRounding(*setting)).toString();
        };
        EXPECT_EQ(settled("2.1"), QString::fromLatin1(c.of21));
        EXPECT_EQ(settled("2.5"), QString::fromLatin1(c.of25));
        EXPECT_EQ(settled("-2.5"), QString::fromLatin1(c.ofMinus25));
    }
    for (const char16_t* other : {u"", u"0", u"4", u"12"})
        EXPECT_FALSE(roundingSettingOf(other).has_value());
}
