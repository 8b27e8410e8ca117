#pragma once

#include "ReportLayout.h"

namespace plx {

class Code39Symbol;

// The bar widths a barcode item prints one symbol with on a device. Both widths are
// whole device dots, so that every bar of a kind prints exactly as wide as the others.
// The narrow width is the item's module rounded to the nearest dot, made smaller while
// the symbol and its quiet zones are wider than the item's area, but never below the
// item's smallest module rounded up to a dot; the wide width is the narrow one times
// the item's ratio, rounded up.
struct BarcodeFit
{
    int narrow = 0;         // dots
    int wide = 0;           // dots
    double symbolWidth = 0; // dots, first bar to last bar
    bool fits = false;      // false: wider than the area even at the smallest module

    static BarcodeFit choose(const Code39Symbol& symbol, const LayoutItem& item, double dotsPerMm);

    // The symbol with both quiet zones, dots.
    double span() const { return symbolWidth + 2.0 * kQuietZoneModules * narrow; }
};

} // namespace plx
