#include "Code39Symbol.h"

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace plx {

namespace {

const QString kAlphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
// libzint's vector units scaled back to modules are exact but for rounding.
constexpr double kModuleSlack = 0.01;

struct ZintDeleter
{
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

} // namespace

bool Code39Symbol::canEncode(const QString& data)
{
    return !data.isEmpty() && std::all_of(data.begin(), data.end(), [](QChar c) { return kAlphabet.contains(c); });
}

bool Code39Symbol::encode(const QString& data)
{
    m_bars.clear();
    m_wide.clear();
    m_modules = 0;
    m_narrowElements = 0;
    m_wideElements = 0;
    m_errorText.clear();
    if (data.isEmpty()) {
        m_errorText = QStringLiteral("no data");
        return false;
    }
    // libzint would quietly turn small letters into capitals; the scanner must read
    // back exactly the data, so anything outside the alphabet is refused here.
    for (QChar c : data) {
        if (!kAlphabet.contains(c)) {
            m_errorText = QStringLiteral("not a Code 39 character: U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            return false;
        }
    }

    std::unique_ptr<zint_symbol, ZintDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        m_errorText = QStringLiteral("libzint could not create a symbol");
        return false;
    }
    symbol->symbology = BARCODE_CODE39;
    symbol->option_2 = 0; // no check character
    symbol->show_hrt = 0; // the layout prints its own readable line
    symbol->whitespace_width = 0;
    const QByteArray bytes = data.toLatin1();
    const int status =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
    if (status >= ZINT_ERROR) {
        m_errorText = QString::fromLatin1(symbol->errtxt);
        return false;
    }
    if (ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR || !symbol->vector || symbol->width <= 0) {
        m_errorText = QString::fromLatin1(symbol->errtxt);
        return false;
    }

    // The vector output is in its own units; scale them back to modules.
    const double unitsPerModule = double(symbol->vector->width) / symbol->width;
    for (const zint_vector_rect* rect = symbol->vector->rectangles; rect; rect = rect->next) {
        if (rect->colour != -1 && rect->colour != 7) // foreground (or black) only
            continue;
        m_bars.append(Bar{rect->x / unitsPerModule, rect->width / unitsPerModule});
    }
    m_modules = symbol->width;
    if (!readElements()) {
        m_bars.clear();
        m_wide.clear();
        m_modules = 0;
        m_errorText = QStringLiteral("libzint drew elements other than narrow and wide ones");
        return false;
    }
    return true;
}

bool Code39Symbol::readElements()
{
    // Each bar, and each space up to the next bar, is one or two modules wide.
    const auto element = [this](double modules) {
        const bool wide = std::abs(modules - 2) < kModuleSlack;
        if (!wide && std::abs(modules - 1) >= kModuleSlack)
            return false;
        m_wide.append(wide);
        ++(wide ? m_wideElements : m_narrowElements);
        return true;
    };
    m_wide.reserve(2 * m_bars.size());
    const Bar* previous = nullptr;
    for (const Bar& bar : std::as_const(m_bars)) {
        if (previous && !element(bar.start - previous->start - previous->width))
            return false;
        if (!element(bar.width))
            return false;
        previous = &bar;
    }
    return previous != nullptr;
}

QList<Code39Symbol::Bar> Code39Symbol::barsAt(double narrow, double wide) const
{
    QList<Bar> bars;
    bars.reserve(m_bars.size());
    double x = 0;
    bool isBar = true; // elements alternate, from a bar
    for (const bool isWide : m_wide) {
        const double width = isWide ? wide : narrow;
        if (isBar)
            bars.append(Bar{x, width});
        x += width;
        isBar = !isBar;
    }
    return bars;
}

} // namespace plx
