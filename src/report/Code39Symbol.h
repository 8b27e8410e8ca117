#pragma once

#include <QList>
#include <QString>

namespace plx {

// A Code 39 symbol as libzint encodes it: start and stop characters added, no
// check character, wide bars twice the narrow ones. Positions are in modules
// (narrow-bar widths) from the first bar; quiet zones are not included.
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

    bool isEmpty() const { return m_bars.isEmpty(); }
    int modules() const { return m_modules; }
    const QList<Bar>& bars() const { return m_bars; }
    // libzint's reason when encode() refused the data (English, for the log).
    const QString& errorText() const { return m_errorText; }

private:
    QList<Bar> m_bars;
    int m_modules = 0;
    QString m_errorText;
};

} // namespace plx
