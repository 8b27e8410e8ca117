#include "TextFit.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>

namespace plx {

namespace {

constexpr double kSizeStep = 0.25; // pt

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
    FittedText fitted;
    const double smallest = item.effectiveMinFontSize();
    double size = item.fontSize;
    while (true) {
        fitted.font = makeFont(family, size, item.bold);
        const QFontMetricsF metrics(fitted.font, device);
        fitted.ascent = metrics.ascent();
        fitted.lineHeight = metrics.ascent() + metrics.descent();
        fitted.lines = item.wrap ? wrapLines(text, fitted.font, box.width(), device) : QStringList{text};
        const double width = widestLine(fitted.lines, metrics);
        const double height = fitted.lineHeight * fitted.lines.size();
        const bool fits = width <= box.width() && height <= box.height();
        if (fits || size <= smallest) {
            if (width > box.width()) {
                fitted.condense = std::max(box.width() / width, kMinCondense);
                fitted.clipped = width * fitted.condense > box.width();
            }
            fitted.clipped = fitted.clipped || height > box.height();
            return fitted;
        }
        // Jump close to the size that fits (widths grow with the size), then step.
        double next = size - kSizeStep;
        if (!item.wrap && width > box.width())
            next = std::min(next, size * box.width() / width);
        if (height > box.height() && fitted.lines.size() == 1)
            next = std::min(next, size * box.height() / height);
        size = std::max(smallest, next);
    }
}

double FittedText::lineWidth(const QString& line, const QPaintDevice* device) const
{
    return QFontMetricsF(font, device).horizontalAdvance(line) * condense;
}

} // namespace plx
