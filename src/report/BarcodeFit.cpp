#include "BarcodeFit.h"

#include "Code39Symbol.h"

#include <algorithm>
#include <cmath>

namespace plx {

namespace {

// Keeps products like 0.2 mm x 600 dpi that are whole numbers but for rounding from
// being rounded up a dot, and lets a symbol that meets its area's edge fit.
constexpr double kDotSlack = 0.01;

BarcodeFit widthsFor(const Code39Symbol& symbol, int narrow, double ratio)
{
    BarcodeFit fit;
    fit.narrow = narrow;
    fit.wide = int(std::ceil(narrow * ratio - kDotSlack));
    fit.symbolWidth = symbol.width(fit.narrow, fit.wide);
    return fit;
}

} // namespace

BarcodeFit BarcodeFit::choose(const Code39Symbol& symbol, const LayoutItem& item, double dotsPerMm)
{
    const double area = item.rect.width() * dotsPerMm;
    const int smallest = std::max(1, int(std::ceil(item.minModuleWidth * dotsPerMm - kDotSlack)));
    int narrow = std::max(smallest, int(std::lround(item.moduleWidth * dotsPerMm)));
    BarcodeFit fit = widthsFor(symbol, narrow, item.wideRatio);
    while (fit.span() > area + kDotSlack && narrow > smallest)
        fit = widthsFor(symbol, --narrow, item.wideRatio);
    fit.fits = fit.span() <= area + kDotSlack;
    return fit;
}

} // namespace plx
