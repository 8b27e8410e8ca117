// Lines put together from their characters' glyphs must be the lines QTextLayout shapes.

#include "report/LineShaper.h"

#include <QImage>

#include <gtest/gtest.h>

namespace plx {
namespace {

constexpr double kDotsPerMm = 600 / 25.4;

QFont reportFont(double size, bool bold)
{
    // As the report's fonts are made: kerning off, outlines preferred.
    QFont font(QStringLiteral("IPAGothic"));
    font.setPointSizeF(size);
    font.setBold(bold);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

class LineShaperTest : public ::testing::Test
{
protected:
    LineShaperTest() : m_device(10, 10, QImage::Format_RGB32)
    {
        m_device.setDotsPerMeterX(qRound(kDotsPerMm * 1000));
        m_device.setDotsPerMeterY(qRound(kDotsPerMm * 1000));
    }
    QImage m_device;
};

TEST_F(LineShaperTest, LinesAreTheGlyphsAndPositionsOfTheWholeLayout)
{
    LineShaper shaper(&m_device);
    const QStringList lines{
        QStringLiteral("K0000123"),
        QStringLiteral("PO-2026/12  "),
        QStringLiteral("  1,000.000 個"),
        QStringLiteral("株式会社東和電機製作所　横浜事業所"),
        QStringLiteral("ﾁｯﾌﾟ抵抗 RC0603FR-0710KL"),
        QStringLiteral("か゛が\u304B\u3099ぱ"), // a spacing and a combining sound mark
        QStringLiteral("10kΩ ±1% Ｗ"),
        QStringLiteral("AVA fi ffl To"),
        QStringLiteral("שלום abc"),        // right to left
        QStringLiteral("a\tb"),            // a tab
        QStringLiteral("部品 \U0001F600"), // not in the font
        QString(),
    };
    for (const QFont& font : {reportFont(9, false), reportFont(14, true), reportFont(6.5, false)}) {
        // Twice: the second time every character comes from what the first kept.
        for (int pass = 0; pass < 2; ++pass) {
            for (const QString& line : lines) {
                QList<QGlyphRun> expected;
                QList<QGlyphRun> shaped;
                const double expectedWidth = LineShaper::shapeWithLayout(line, font, &m_device, expected);
                const double width = shaper.shape(line, font, shaped);
                const std::string what = line.toStdString() + " at " + std::to_string(font.pointSizeF());
                EXPECT_EQ(width, expectedWidth) << what;
                ASSERT_EQ(shaped.size(), expected.size()) << what;
                for (qsizetype r = 0; r < expected.size(); ++r) {
                    EXPECT_EQ(shaped[r].rawFont(), expected[r].rawFont()) << what;
                    EXPECT_EQ(shaped[r].glyphIndexes(), expected[r].glyphIndexes()) << what;
                    EXPECT_EQ(shaped[r].positions(), expected[r].positions()) << what;
                }
            }
        }
    }
}

TEST_F(LineShaperTest, GlyphsKeptForOneResolutionAreNotUsedAtAnother)
{
    // A printer after the PDF: the same shaper, a device of half the resolution.
    QImage printer(10, 10, QImage::Format_RGB32);
    printer.setDotsPerMeterX(qRound(kDotsPerMm * 500));
    printer.setDotsPerMeterY(qRound(kDotsPerMm * 500));
    LineShaper shaper(&m_device);
    const QFont font = reportFont(9, false);
    const QString line = QStringLiteral("K0000123");
    QList<QGlyphRun> runs;
    const double atPdf = shaper.shape(line, font, runs);
    shaper.useDevice(&printer);
    QList<QGlyphRun> expected;
    EXPECT_EQ(shaper.shape(line, font, runs), LineShaper::shapeWithLayout(line, font, &printer, expected));
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].positions(), expected[0].positions());
    EXPECT_LT(shaper.shape(line, font, runs), atPdf);
}

TEST_F(LineShaperTest, TheReportFontChangesDigitsAndLettersByNoNeighbour)
{
    const QRawFont font = QRawFont::fromFont(QFont(reportFont(9, false), &m_device));
    const std::optional<std::vector<bool>> neighbours = LineShaper::neighbourGlyphs(font);
    ASSERT_TRUE(neighbours) << "IPAGothic positions nothing and substitutes by context only";
    for (const QChar c : QStringLiteral("0123456789ABCXYZ-/. ")) {
        const QList<quint32> glyph = font.glyphIndexesForString(QString(c));
        ASSERT_EQ(glyph.size(), 1);
        EXPECT_FALSE((*neighbours)[glyph[0]]) << "character " << c.toLatin1();
    }
    // Its composition feature joins a kana with a combining sound mark.
    const QList<quint32> ka = font.glyphIndexesForString(QStringLiteral("か"));
    EXPECT_TRUE((*neighbours)[ka.value(0)]);
    EXPECT_FALSE(LineShaper::neighbourGlyphs(QRawFont())) << "an invalid font is never taken as plain";
}

} // namespace
} // namespace plx
