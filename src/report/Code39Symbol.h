#pragma once

#include <QList>
#include <QString>

namespace plx {

// A Code 39 symbol as libzint encodes it: start and stop characters added, no
// check character, a narrow space between characters. libzint is asked once per
// process for each character's bars and spaces; a symbol is composed of them, which
// spares a print run a libzint symbol for every document. bars() and modules()
// give the symbol with wide elements (bars and spaces) twice as wide as narrow
// ones, as libzint draws them, in modules (narrow widths) from the first bar. The printed symbol takes any
// wide-to-narrow ratio: width() and barsAt() lay the same elements out with a narrow and a wide width of the caller's
// choice. Quiet zones are never included.
class Code39Symbol
{
public:
    struct Bar
    {
        double start = 0;
        double width = 0;
    };

    // Encodes `data`. Returns false, leaving the symbol empty, when the data is
    // empty or holds a character Code 39 cannot carry (its alphabet is digits,
    // capitals, space and - . $ / + %).
    bool encode(const QString& data);
    // Whether encode() takes `data`, without encoding it.
    static bool canEncode(const QString& data);

    bool isEmpty() const { return m_bars.isEmpty(); }
    int modules() const { return m_modules; }
    const QList<Bar>& bars() const { return m_bars; }

    // How many of the bars and spaces between the first and the last bar are narrow or wide.
    int narrowElements() const { return m_narrowElements; }
    int wideElements() const { return m_wideElements; }
    // Width of the symbol and its bars when a narrow element is `narrow` wide and a wide
    // one `wide` (any unit; the bars start at 0).
    double width(double narrow, double wide) const { return m_narrowElements * narrow + m_wideElements * wide; }
    QList<Bar> barsAt(double narrow, double wide) const;
    // Why encode() refused the data (English, for the log).
    const QString& errorText() const { return m_errorText; }

private:
    QList<Bar> m_bars;
    QList<bool> m_wide; // every element from the first bar, bars and spaces alternating
    int m_modules = 0;
    int m_narrowElements = 0;
    int m_wideElements = 0;
    QString m_errorText;
};

} // namespace plx
