#pragma once

#include "ReportLayout.h"

#include <QFont>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPaintDevice;

namespace plx {

// Text made to fit a box: the font size it is printed at, its lines, and how much
// it is narrowed. A text that is too wide first gets a smaller size (down to the
// item's smallest size), then is narrowed down to kMinCondense of its width; what
// is still too large is cut at the box's edge (`clipped`). It never leaves its box.
struct FittedText
{
    static constexpr double kMinCondense = 0.6;

    QFont font;
    QStringList lines;
    double condense = 1.0; // horizontal scale of the glyphs
    double ascent = 0;     // device units
    double lineHeight = 0; // device units
    bool clipped = false;
    double width = 0;  // of the widest line before narrowing, device units
    double height = 0; // of all lines, device units

    // Fits `text` into `box` (device units of `device`) with the item's size, boldness
    // and wrapping: at the item's size when it fits, else at the largest size down to
    // the smallest one that fits (found to within 0.1 pt), else at the smallest size.
    static FittedText fit(const QString& text, const LayoutItem& item, const QString& family, const QSizeF& box,
                          const QPaintDevice* device);

    // The text unwrapped at `size` (points), unmeasured: font, one line, ascent and
    // heights set; width 0, condense 1, not clipped.
    static FittedText atSize(double size, const QString& text, const LayoutItem& item, const QString& family,
                             const QPaintDevice* device);
};

} // namespace plx
