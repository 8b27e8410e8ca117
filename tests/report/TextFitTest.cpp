// Fitting texts into boxes: the largest size that fits, then narrowing, then cutting.

#include "report/TextFit.h"

#include <QImage>

#include <gtest/gtest.h>

namespace plx {
namespace {

constexpr double kDotsPerMm = 600 / 25.4;
const QString kFamily = QStringLiteral("IPAGothic");
const QString kName = QStringLiteral("株式会社東和電機製作所　横浜事業所 RC0603FR-0710KL チップ抵抗器 ");

class TextFitTest : public ::testing::Test
{
protected:
    TextFitTest() : m_device(10, 10, QImage::Format_RGB32)
    {
        m_device.setDotsPerMeterX(qRound(kDotsPerMm * 1000));
        m_device.setDotsPerMeterY(qRound(kDotsPerMm * 1000));
    }

    FittedText fit(const QString& text, double size, double minSize, bool wrap, const QSizeF& boxMm) const
    {
        LayoutItem item;
        item.kind = LayoutItem::Kind::Text;
        item.fontSize = size;
        item.minFontSize = minSize;
        item.wrap = wrap;
        return FittedText::fit(text, item, kFamily, boxMm * kDotsPerMm, &m_device);
    }

    // The text at `size` and no smaller stays whole inside the box.
    bool fitsAt(const QString& text, double size, bool wrap, const QSizeF& boxMm) const
    {
        const FittedText at = fit(text, size, size, wrap, boxMm);
        return at.condense == 1.0 && !at.clipped;
    }

    // The fitted text lies inside the box at the size it was given, and 0.25 pt more does not fit.
    void expectLargestThatFits(const FittedText& fitted, const QString& text, bool wrap, const QSizeF& boxMm) const
    {
        const double size = fitted.font.pointSizeF();
        EXPECT_EQ(fitted.condense, 1.0);
        EXPECT_FALSE(fitted.clipped);
        EXPECT_LE(fitted.width, boxMm.width() * kDotsPerMm);
        EXPECT_LE(fitted.lineHeight * fitted.lines.size(), boxMm.height() * kDotsPerMm);
        EXPECT_TRUE(fitsAt(text, size, wrap, boxMm)) << size << " pt";
        EXPECT_FALSE(fitsAt(text, size + 0.25, wrap, boxMm)) << size + 0.25 << " pt";
    }

    QImage m_device;
};

TEST_F(TextFitTest, WrappedTextAtALargeSizeShrinksToTheLargestSizeThatFits)
{
    // Laid out once per size tried: a search by halves, not a walk down from 200 pt.
    QString text;
    for (int i = 0; i < 12; ++i)
        text += kName;
    const QSizeF box(190, 130);
    const FittedText fitted = fit(text, 200, 2, true, box);
    EXPECT_LT(fitted.font.pointSizeF(), 200);
    EXPECT_GT(fitted.lines.size(), 3);
    expectLargestThatFits(fitted, text, true, box);
}

TEST_F(TextFitTest, OneLineShrinksToTheLargestSizeThatFits)
{
    const QSizeF box(80, 5);
    const FittedText fitted = fit(kName, 9, 4, false, box);
    EXPECT_GT(fitted.font.pointSizeF(), 4);
    EXPECT_LT(fitted.font.pointSizeF(), 9);
    expectLargestThatFits(fitted, kName, false, box);
    EXPECT_DOUBLE_EQ(fit(kName, 9, 4, false, QSizeF(180, 5)).font.pointSizeF(), 9) << "a text that fits keeps its size";
}

TEST_F(TextFitTest, TextTooLargeAtTheSmallestSizeIsNarrowedThenCut)
{
    const FittedText narrowed = fit(kName, 9, 7, false, QSizeF(60, 5));
    EXPECT_DOUBLE_EQ(narrowed.font.pointSizeF(), 7);
    EXPECT_LT(narrowed.condense, 1.0);
    EXPECT_GE(narrowed.condense, FittedText::kMinCondense);
    EXPECT_FALSE(narrowed.clipped);

    const FittedText cut = fit(kName + kName, 9, 7, false, QSizeF(20, 5));
    EXPECT_DOUBLE_EQ(cut.font.pointSizeF(), 7);
    EXPECT_DOUBLE_EQ(cut.condense, FittedText::kMinCondense);
    EXPECT_TRUE(cut.clipped);
}

} // namespace
} // namespace plx
