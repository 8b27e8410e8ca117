#include "core/CommonRoutines.h"
#include "core/text/Cp932.h"
#include "store/CodeTable.h"

#include <gtest/gtest.h>

using namespace plx;

TEST(CharacterChecks, SingleByte)
{
    EXPECT_TRUE(isSingleByteText(u"ABC-123"));
    EXPECT_TRUE(isSingleByteText(u"ｱｲｳﾞｰ"));
    EXPECT_TRUE(isSingleByteText(u""));
    EXPECT_TRUE(isSingleByteText(u" ~"));
    EXPECT_FALSE(isSingleByteText(u"A\tB"));
    EXPECT_FALSE(isSingleByteText(u"Ａ"));
    EXPECT_FALSE(isSingleByteText(u"漢"));
    EXPECT_FALSE(isSingleByteText(u"\x7F"));
    // Unrepresentable characters read as "?", which is printable ASCII.
    EXPECT_TRUE(isSingleByteText(u"€"));
}

TEST(CharacterChecks, DoubleByte)
{
    EXPECT_TRUE(isDoubleByteText(u""));
    EXPECT_TRUE(isDoubleByteText(u"漢字　ＡＢ"));
    EXPECT_FALSE(isDoubleByteText(u"漢1字"));
    EXPECT_FALSE(isDoubleByteText(u"漢ｱ"));
}

TEST(CharacterChecks, BlankAsterisk)
{
    EXPECT_TRUE(holdsBlankOrAsterisk(u"AB C"));
    EXPECT_TRUE(holdsBlankOrAsterisk(u"A*"));
    EXPECT_FALSE(holdsBlankOrAsterisk(u"A　B"));
    EXPECT_FALSE(holdsBlankOrAsterisk(u"＊"));
    EXPECT_FALSE(holdsBlankOrAsterisk(u""));
    EXPECT_FALSE(holdsBlankOrAsterisk(u"A\tB")); // a tab is not a blank
}

TEST(NormalizeBlanks, EveryMode)
{
    const QString text = QStringLiteral("  A   B ");
    EXPECT_EQ(NormalizeBlanks(text, 1), QStringLiteral(" A B "));
    EXPECT_EQ(NormalizeBlanks(text, 2), QStringLiteral("A   B"));
    EXPECT_EQ(NormalizeBlanks(text, 3), QStringLiteral("A   B "));
    EXPECT_EQ(NormalizeBlanks(text, 4), QStringLiteral("  A   B"));
    EXPECT_EQ(NormalizeBlanks(text, 0), QStringLiteral("AB"));
    EXPECT_EQ(NormalizeBlanks(text, 9), QStringLiteral("AB"));
    EXPECT_EQ(NormalizeBlanks(u"   ", 2), QString());
    // The full-width space is not a blank.
    EXPECT_EQ(NormalizeBlanks(u"　A　", 0), QStringLiteral("　A　"));
    EXPECT_EQ(NormalizeBlanks(u"\t A \t", 2), QStringLiteral("\t A \t"));
}

TEST(CodeTable, RecordsLookupsAndPartialTail)
{
    QByteArray bytes = CodeTable::makeRecord({"1", "01", "2", "受入検査", ""}) +
                       CodeTable::makeRecord({"2", "01", "PC", "個", ""}) +
                       CodeTable::makeRecord({"1", "03", "1", "課税１０％", "10"}) +
                       CodeTable::makeRecord({"1", "01", "2", "二番目", ""});
    ASSERT_EQ(bytes.size(), 4 * 34);
    EXPECT_EQ(bytes.mid(32, 2), QByteArray("\r\n"));
    bytes += "1012";
    const CodeTable table = CodeTable::fromBytes(bytes);
    EXPECT_EQ(table.count(), 4);
    EXPECT_EQ(table.nameOf(Protocol::Eiaj, "01", " 2 "), QStringLiteral("受入検査"));
    EXPECT_EQ(table.nameOf(Protocol::Korvan, "01", "2"), QString());
    EXPECT_EQ(table.find(Protocol::Eiaj, "03", "1")->value, QStringLiteral("10"));
    EXPECT_EQ(table.list(Protocol::Eiaj, "01").size(), 2);
    // A name longer than 12 bytes is cut without half a character.
    const QByteArray longName = CodeTable::makeRecord({"1", "01", "9", "一二三四五六七", ""});
    EXPECT_EQ(longName.mid(8, 12), cp932::encode(u"一二三四五六"));
}
