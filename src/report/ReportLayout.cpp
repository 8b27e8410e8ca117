#include "ReportLayout.h"

#include <algorithm>

namespace plx {

double LayoutItem::effectiveMinFontSize() const
{
    if (minFontSize > 0)
        return std::min(minFontSize, fontSize);
    return std::min(fontSize, std::max(fontSize / 2, 4.0));
}

double LayoutItem::readableLineHeight() const
{
    return textColumn > 0 ? textSize * kPointMm * kBarcodeTextLineFactor : 0.0;
}

QSizeF ReportLayout::sheetSize() const
{
    const QSizeF portrait = pageSize.size(QPageSize::Millimeter);
    if (orientation == QPageLayout::Landscape)
        return portrait.transposed();
    return portrait;
}

QPageLayout ReportLayout::pageLayout() const
{
    return QPageLayout(pageSize, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace plx
