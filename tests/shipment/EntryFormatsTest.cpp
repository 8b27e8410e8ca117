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
