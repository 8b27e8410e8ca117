#include "Code39Symbol.h"

#include <zint.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <optional>

namespace plx {

namespace {

const QString kAlphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
constexpr int kElementsPerCharacter = 9;
constexpr int kStartStopIndex = 43;
// libzint's vector units scaled back to modules are exact but for rounding.
constexpr double kModuleSlack = 0.01;

struct ZintDeleter
{
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

// The nine elements of one character, bar first: true for a wide one.
using CharacterElements = std::array<bool, kElementsPerCharacter>;

// The elements of every symbol libzint draws for `data` (Code 39, no check
// character), bars and spaces alternating from the first bar; empty when libzint
// refuses the data or draws anything but narrow and wide elements.
QList<bool> libzintElements(const QByteArray& data)
{
    std::unique_ptr<zint_symbol, ZintDeleter> symbol(ZBarcode_Create());
    if (!symbol)
        return {};
    symbol->symbology = BARCODE_CODE39;
    symbol->option_2 = 0; // no check character
    symbol->show_hrt = 0; // the layout prints its own readable line
    symbol->whitespace_width = 0;
    if (ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()), int(data.size())) >=
            ZINT_ERROR ||
        ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR || !symbol->vector || symbol->width <= 0)
        return {};
    // The vector output is in its own units; scale them back to modules. Each bar,
    // and each space up to the next bar, is one or two modules wide.
    const double unitsPerModule = double(symbol->vector->width) / symbol->width;
    QList<bool> elements;
    bool ok = true;
    const auto element = [&](double modules) {
        const bool wide = std::abs(modules - 2) < kModuleSlack;
        ok = ok && (wide || std::abs(modules - 1) < kModuleSlack);
        elements.append(wide);
    };
    double previousEnd = -1;
    for (const zint_vector_rect* rect = symbol->vector->rectangles; rect; rect = rect->next) {
        if (rect->colour != -1 && rect->colour != 7) // foreground (or black) only
            continue;
        const double start = rect->x / unitsPerModule;
        if (previousEnd >= 0)
            element(start - previousEnd);
        element(rect->width / unitsPerModule);
        previousEnd = start + rect->width / unitsPerModule;
    }
    return ok ? elements : QList<bool>();
}

// Every character's elements as libzint draws them, learnt once from a symbol of
// that character alone (start character, it, stop character). Indexed like
// kAlphabet, then the start and stop character; a character libzint did not draw
// as expected is missing and never encoded.
struct Patterns
{
    std::array<std::optional<CharacterElements>, kStartStopIndex + 1> characters;
};

const Patterns& patterns()
{
    static const Patterns learnt = [] {
        Patterns p;
        for (qsizetype i = 0; i < kAlphabet.size(); ++i) {
            // "*", gap, the character, gap, "*"
            const QList<bool> elements = libzintElements(QByteArray(1, char(kAlphabet[i].unicode())));
            if (elements.size() != 3 * kElementsPerCharacter + 2)
                continue;
            CharacterElements character{};
            CharacterElements startStop{};
            for (int e = 0; e < kElementsPerCharacter; ++e) {
                startStop[size_t(e)] = elements[e];
                character[size_t(e)] = elements[kElementsPerCharacter + 1 + e];
            }
            p.characters[size_t(i)] = character;
            p.characters[kStartStopIndex] = startStop;
        }
        return p;
    }();
    return learnt;
}

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
    // Small letters are not Code 39 characters (some encoders quietly print them as
    // capitals); the scanner must read back exactly the data, so anything outside
    // the alphabet is refused.
    QList<int> characters;
    characters.reserve(data.size() + 2);
    characters.append(kStartStopIndex);
    for (QChar c : data) {
        const qsizetype at = kAlphabet.indexOf(c);
        if (at < 0) {
            m_errorText = QStringLiteral("not a Code 39 character: U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            return false;
        }
        characters.append(int(at));
    }
    characters.append(kStartStopIndex);

    // Characters follow each other with a narrow space between them; no check character.
    const Patterns& known = patterns();
    m_wide.reserve(characters.size() * (kElementsPerCharacter + 1));
    m_bars.reserve(characters.size() * 5);
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const std::optional<CharacterElements>& pattern = known.characters[size_t(characters[i])];
        if (!pattern) {
            m_wide.clear();
            m_errorText = QStringLiteral("libzint could not encode character %1").arg(characters[i]);
            return false;
        }
        if (i > 0)
            m_wide.append(false);
        for (const bool wide : *pattern)
            m_wide.append(wide);
    }
    // The symbol in modules: a narrow element one, a wide one two.
    bool isBar = true;
    for (const bool wide : std::as_const(m_wide)) {
        const int width = wide ? 2 : 1;
        if (isBar)
            m_bars.append(Bar{double(m_modules), double(width)});
        m_modules += width;
        ++(wide ? m_wideElements : m_narrowElements);
        isBar = !isBar;
    }
    return true;
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
