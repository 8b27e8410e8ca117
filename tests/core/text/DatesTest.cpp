#include "core/text/Dates.h"

#include <QString>

#include <gtest/gtest.h>

#include <stdexcept>

using plx::expandTwoDigitYear;
using plx::isValidDate;
using plx::isValidYmd;

TEST(Dates, monthLengthsLeapYearsAndRanges)
{
    EXPECT_TRUE(isValidDate(2023, 1, 31));
    EXPECT_FALSE(isValidDate(2023, 4, 31));
    EXPECT_FALSE(isValidDate(2023, 2, 29));
    EXPECT_TRUE(isValidDate(2024, 2, 29));
    EXPECT_FALSE(isValidDate(2024, 2, 30));
    EXPECT_FALSE(isValidDate(1900, 2, 29)); // century, not leap
    EXPECT_TRUE(isValidDate(2000, 2, 29));  // divisible by 400, leap
    EXPECT_FALSE(isValidDate(2023, 0, 1));
    EXPECT_FALSE(isValidDate(2023, 13, 1));
    EXPECT_FALSE(isValidDate(2023, 1, 0));
    EXPECT_FALSE(isValidDate(0, 1, 1));
    EXPECT_TRUE(isValidDate(9999, 12, 31));
    EXPECT_FALSE(isValidDate(10000, 1, 1));
}

TEST(Dates, ymdTextNeedsEightDigitsOfARealDate)
{
    EXPECT_TRUE(isValidYmd(u"20000531"));
    EXPECT_TRUE(isValidYmd(u"20000229"));
    EXPECT_FALSE(isValidYmd(u"19000229"));
    EXPECT_FALSE(isValidYmd(u"20001301"));
    EXPECT_FALSE(isValidYmd(u"00000101"));
    EXPECT_FALSE(isValidYmd(u"2000053"));
    EXPECT_FALSE(isValidYmd(u"200005311"));
    EXPECT_FALSE(isValidYmd(u" 2000531"));
    EXPECT_FALSE(isValidYmd(u"2000/5/31"));
    EXPECT_FALSE(isValidYmd(u"２０００0531"));
    EXPECT_FALSE(isValidYmd(u""));
}

TEST(Dates, twoDigitYearPivot)
{
    EXPECT_EQ(expandTwoDigitYear(29, 30), 2029);
    EXPECT_EQ(expandTwoDigitYear(30, 30), 2030);
    EXPECT_EQ(expandTwoDigitYear(31, 30), 1931);
    EXPECT_EQ(expandTwoDigitYear(0, 0), 2000);
    EXPECT_EQ(expandTwoDigitYear(99, 99), 2099);
    EXPECT_EQ(expandTwoDigitYear(0, -1), 1900);
    EXPECT_THROW(expandTwoDigitYear(100, 50), std::out_of_range);
    EXPECT_THROW(expandTwoDigitYear(-1, 50), std::out_of_range);
}
