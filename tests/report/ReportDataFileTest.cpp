#include "ReportFixtures.h"

#include "core/text/Cp932.h"
#include "report/ReportDataFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plx {
namespace {

QStringList line(const char* text)
{
    return ReportDataFile::parseLine(QString::fromUtf8(text));
}

TEST(ReportDataFileTest, SplitsQuotedValuesAndKeepsTheirBlanks)
{
    EXPECT_EQ(line(R"("102851      ","ABC","")"), (QStringList{"102851      ", "ABC", ""}));
    EXPECT_EQ(line(R"("a,b","c")"), (QStringList{"a,b", "c"}));
    EXPECT_EQ(line(R"("say ""hello""","""")"), (QStringList{R"(say "hello")", R"(")"}));
    EXPECT_EQ(line(R"("x",)"), (QStringList{"x", ""})) << "a trailing comma leaves an empty last value";
}

TEST(ReportDataFileTest, ToleratesUnquotedAndStrayText)
{
    EXPECT_EQ(line(R"(12,"A",3.5)"), (QStringList{"12", "A", "3.5"}));
    EXPECT_EQ(line(R"( "A" , "B")"), (QStringList{"A", "B"})) << "blanks around quotes are not data";
    EXPECT_EQ(line(R"("unterminated,still one)"), (QStringList{"unterminated,still one"}));
    EXPECT_EQ(line(R"("ab"cd,"e")"), (QStringList{"abcd", "e"}));
    EXPECT_EQ(line(""), (QStringList{""}));
}

TEST(ReportDataFileTest, OneDocumentPerLineWhateverTheLineEnds)
{
    const QList<QStringList> documents = ReportDataFile::parse("\"1\",\"a\"\r\n\r\n\"2\",\"b\"\n\"3\"\r\"4\"");
    ASSERT_EQ(documents.size(), 4) << "blank lines carry no document; LF, CR and a missing last end all work";
    EXPECT_EQ(documents[0], (QStringList{"1", "a"}));
    EXPECT_EQ(documents[1], (QStringList{"2", "b"}));
    EXPECT_EQ(documents[2], (QStringList{"3"}));
    EXPECT_EQ(documents[3], (QStringList{"4"}));
    EXPECT_TRUE(ReportDataFile::parse(QByteArray()).isEmpty());
    EXPECT_TRUE(ReportDataFile::parse("\r\n  \r\n").isEmpty());
}

TEST(ReportDataFileTest, DecodesCp932IncludingBackslashTrailBytes)
{
    // "表" and "ソ" end in 0x5C, "ｶﾅ" is half-width: all must come through intact.
    const QString values[] = {QStringLiteral("株式会社表示ソフト"), QStringLiteral("ｶﾅ ﾃｽﾄ"), QStringLiteral("Ω±１")};
    QByteArray bytes;
    for (const QString& value : values)
        bytes += '"' + cp932::encode(value) + "\",";
    bytes.chop(1);
    bytes += "\r\n";
    const QList<QStringList> documents = ReportDataFile::parse(bytes);
    ASSERT_EQ(documents.size(), 1);
    EXPECT_EQ(documents[0], (QStringList{values[0], values[1], values[2]}));
}

TEST(ReportDataFileTest, ReadsTheFileOrSaysWhyNot)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("E_Dcsv.dat"));
    test::writeFile(path, test::linesOf({test::slipLine(1), test::slipLine(2)}));
    QList<QStringList> documents;
    QString error;
    ASSERT_TRUE(ReportDataFile::read(path, documents, error));
    ASSERT_EQ(documents.size(), 2);
    EXPECT_EQ(documents[1], test::slipLine(2).values);

    EXPECT_FALSE(ReportDataFile::read(dir.filePath(QStringLiteral("K_Dcsv.dat")), documents, error));
    EXPECT_TRUE(error.contains(QStringLiteral("印刷データファイル"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("K_Dcsv.dat"))) << error.toStdString();
}

} // namespace
} // namespace plx
