#include "TextFit.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

namespace plx {

namespace {

// How close the size found is to the largest size that fits, in points.
constexpr double kSizePrecision = 0.1;

QFont makeFont(const QString& family, double size, bool bold)
{
    QFont font(family);
    font.setPointSizeF(size);
    font.setBold(bold);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

// Breaks `text` into lines no wider than `width`: at blanks where possible, between
// any two characters otherwise (Japanese text has no blanks).
QStringList wrapLines(const QString& text, const QFont& font, double width, const QPaintDevice* device)
{
    QTextLayout layout(text, font, const_cast<QPaintDevice*>(device));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString piece = text.mid(line.textStart(), line.textLength());
        while (piece.endsWith(u' '))
            piece.chop(1);
        lines.append(piece);
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

double widestLine(const QStringList& lines, const QFontMetricsF& metrics)
{
    double widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

} // namespace

FittedText FittedText::fit(const QString& text, const LayoutItem& item, const QString& family, const QSizeF& box,
                           const QPaintDevice* device)
{
    // The text at one size; `fits` says whether it stays inside the box.
    const auto measure = [&](double size, bool& fits) {
        FittedText fitted;
        fitted.font = makeFont(family, size, item.bold);
        const QFontMetricsF metrics(fitted.font, device);
        fitted.ascent = metrics.ascent();
        fitted.lineHeight = metrics.ascent() + metrics.descent();
        fitted.lines = item.wrap ? wrapLines(text, fitted.font, box.width(), device) : QStringList{text};
        fitted.width = widestLine(fitted.lines, metrics);
        fitted.height = fitted.lineHeight * fitted.lines.size();
        fits = fitted.width <= box.width() && fitted.height <= box.height();
        return fitted;
    };

    bool fits = false;
    FittedText fitted = measure(item.fontSize, fits);
    const double smallest = item.effectiveMinFontSize();
    if (!fits && smallest < item.fontSize) {
        // The largest size that fits, by bisection between the smallest size and the
        // size that is too large: a wrapped text is laid out anew at every size tried,
        // so stepping down from a large size would take thousands of layouts.
        FittedText best = measure(smallest, fits);
        if (fits) {
            double low = smallest;
            double high = item.fontSize;
            while (high - low > kSizePrecision) {
                const double middle = (low + high) / 2;
                FittedText candidate = measure(middle, fits);
                if (fits) {
                    low = middle;
                    best = std::move(candidate);
                } else {
                    high = middle;
                }
            }
        }
        fitted = std::move(best);
    }
    // Still too large at the smallest size: narrowed, and what remains too large is cut.
    if (fitted.width > box.width()) {
        fitted.condense = std::max(box.width() / fitted.width, kMinCondense);
        fitted.clipped = fitted.width * fitted.condense > box.width();
    }
    fitted.clipped = fitted.clipped || fitted.height > box.height();
    return fitted;
}

FittedText FittedText::atSize(double size, const QString& text, const LayoutItem& item, const QString& family,
                              const QPaintDevice* device)
{
    FittedText fitted;
    fitted.font = makeFont(family, size, item.bold);
    const QFontMetricsF metrics(fitted.font, device);
    fitted.ascent = metrics.ascent();
    fitted.lineHeight = metrics.ascent() + metrics.descent();
    fitted.lines = QStringList{text};
    fitted.height = fitted.lineHeight;
    return fitted;
}

} // namespace plx
