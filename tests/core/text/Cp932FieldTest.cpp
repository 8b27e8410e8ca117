#include "core/text/Cp932.h"
#include "core/text/FixedField.h"

#include <gtest/gtest.h>

using namespace plx;

TEST(Cp932, BackslashAndTildeStayAscii)
{
    // windows-31j, not the JIS table: 0x5C is the backslash.
    EXPECT_EQ(cp932::encode(u"C:\\a~b"), QByteArray("C:\\a~b"));
    EXPECT_EQ(cp932::decode(QByteArray("\\~")), QStringLiteral("\\~"));
}

TEST(Cp932, UnrepresentableBecomesOneQuestionMarkEach)
{
    // Euro sign, e-acute and a character outside the BMP (a surrogate pair).
    EXPECT_EQ(cp932::encode(QStringLiteral("A€é𠀋漢")), QByteArray("A???\x8A\xBF"));
}

TEST(Cp932, InvalidBytesDecodeWithoutLosingTheRest)
{
    const QString text = cp932::decode(QByteArray("\xFF"
                                                  "AB\x82\xA0",
                                                  5));
    EXPECT_EQ(text, QString(QChar(0xFFFD)) + QStringLiteral("ABあ"));
    // A lead byte at the very end of the buffer.
    EXPECT_EQ(cp932::decode(QByteArray("A\x82")), QStringLiteral("A") + QChar(0xFFFD));
}

TEST(Cp932, EachInvalidSequenceIsOneMarkThatNoValidCharacterGives)
{
    const QChar bad(0xFFFD);
    struct Case
    {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        // A real 0x1A byte beside an invalid one: each stays what it is.
        {QByteArray("A\x1A\xFF", 3), QStringLiteral("A\x1A") + bad},
        // A lead byte before a byte that cannot follow it: the lead byte alone.
        {QByteArray("A\x82\x31\x1A", 4), QStringLiteral("A") + bad + QStringLiteral("1\x1A")},
        // A lead byte cut by the end, after a real 0x1A.
        {QByteArray("\x1A\x82", 2), QStringLiteral("\x1A") + bad},
        {QByteArray("\x82\xA0\xB1", 3), QStringLiteral("あｱ")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cp932::decode(c.bytes), c.text) << c.bytes.toHex().toStdString();
}

TEST(Cp932, HoldsOnlyWhatReadsBackTheSame)
{
    EXPECT_TRUE(cp932::holds(u"A?1 ｱ漢字～"));
    EXPECT_TRUE(cp932::holds(u""));
    for (const char16_t* text : {u"Aé1", u"€", u"\U0002000B", u"\uFFFD"})
        EXPECT_FALSE(cp932::holds(text)) << QString::fromUtf16(text).toStdString();
}

TEST(Cp932, SjisCodeIsSignedSixteenBit)
{
    EXPECT_EQ(cp932::sjisCode(u"A"), 0x41);
    EXPECT_EQ(cp932::sjisCode(u"ｱ"), 0xB1);
    EXPECT_LT(cp932::sjisCode(u"漢"), 0);
    EXPECT_EQ(cp932::sjisCode(u"€"), 0x3F);
}

TEST(FixedField, PadsCutsAndNeverSplitsADoubleByteCharacter)
{
    EXPECT_EQ(fixed::fit(u"AB", 5), QByteArray("AB   "));
    EXPECT_EQ(fixed::fit(u"ABCDEFG", 5), QByteArray("ABCDE"));
    // "A" + two kanji = 5 bytes: fits exactly in 5, loses the second kanji in 4.
    EXPECT_EQ(fixed::fit(u"A漢字", 5), cp932::encode(u"A漢字"));
    EXPECT_EQ(fixed::fit(u"A漢字", 4), cp932::encode(u"A漢") + ' ');
    // 26 full-width characters in a 50-byte field keep 25.
    const QString name(26, QChar(u'Ａ'));
    const QByteArray cut = fixed::fit(name, 50);
    EXPECT_EQ(cut.size(), 50);
    EXPECT_EQ(cp932::decode(cut), QString(25, QChar(u'Ａ')));
    // Half-width katakana are single bytes.
    EXPECT_EQ(fixed::fit(u"ｶﾀｶﾅ", 3), cp932::encode(u"ｶﾀｶ"));
}

TEST(FixedField, WritesAndReadsInsideARecord)
{
    QByteArray record(10, '#');
    fixed::write(record, {2, 4}, u"漢字X");
    EXPECT_EQ(record, QByteArray("##") + cp932::encode(u"漢字") + QByteArray("####"));
    fixed::write(record, {2, 4}, u"x");
    EXPECT_EQ(fixed::read(record, {2, 4}), QStringLiteral("x   "));
    EXPECT_EQ(fixed::trimmedRight(QByteArray("ab  ")), QByteArray("ab"));
    EXPECT_EQ(fixed::trimmedRight(QStringLiteral(" a\t ")), QStringLiteral(" a\t"));
    EXPECT_EQ(fixed::trimmedRight(QByteArray("    ")), QByteArray());
}
