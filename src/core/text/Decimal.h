#pragma once

#include <QString>
#include <QStringView>

#include <compare>
#include <optional>

namespace plx {

// How a value is brought to fewer decimal places.
enum class Rounding {
    HalfAwayFromZero, // 2.5 -> 3, -2.5 -> -3 (what Format does)
    HalfEven,         // 2.5 -> 2, 3.5 -> 4
    TowardZero,       // truncate: 2.9 -> 2, -2.9 -> -2
    AwayFromZero,     // any remainder moves outwards: 2.1 -> 3, -2.1 -> -3
};

// An exact decimal number: an integer mantissa and a count of decimal places.
// Every stored quantity, price and amount goes through this type, never through
// binary floating point. The mantissa is 128 bits wide, so products of two stored
// values (up to 18 significant digits each) are still exact.
//
// Capacity: the mantissa holds at most MaxDigits decimal digits and the scale lies
// in 0..MaxDigits. An operation whose exact result does not fit throws
// std::overflow_error; nothing is ever rounded silently. 2.5 and 2.50 compare
// equal but keep their own scale (toString() shows "2.5" and "2.50").
class Decimal
{
public:
    using Mantissa = __int128;
    static constexpr int MaxDigits = 38;

    Decimal() = default;
    Decimal(long long units) : m_units(units), m_scale(0) {}
    // units / 10^scale. Throws std::invalid_argument for a scale outside 0..MaxDigits
    // and std::overflow_error for a mantissa of more than MaxDigits digits.
    static Decimal fromUnits(Mantissa units, int scale);

    // Parses numeric text: optional surrounding blanks (U+0020 only), optional sign
    // directly before the number, digits with at most one decimal point (".5", "5."
    // and "-0.25" are accepted); the scale is the number of digits after the point.
    // Returns nothing for anything else, including empty text, and for numeric text
    // beyond the capacity above.
    static std::optional<Decimal> parse(QStringView text);

    Mantissa units() const { return m_units; }
    int scale() const { return m_scale; }
    bool isZero() const { return m_units == 0; }
    bool isNegative() const { return m_units < 0; }
    int sign() const { return m_units < 0 ? -1 : (m_units > 0 ? 1 : 0); }

    // The same value with exactly `places` decimals (0..MaxDigits), rounded by `mode`
    // when places are dropped.
    Decimal rescaled(int places, Rounding mode = Rounding::HalfAwayFromZero) const;
    // Rounded to at most `places` decimals (>= 0), trailing zeros removed from the scale:
    // 2.50 -> 2.5, 3.00 -> 3.
    Decimal rounded(int places, Rounding mode) const;

    Decimal operator-() const;
    Decimal operator+(const Decimal& o) const;
    Decimal operator-(const Decimal& o) const;
    Decimal operator*(const Decimal& o) const;
    // Quotient with `places` decimals, rounded by `mode`. Division by zero throws
    // std::domain_error.
    Decimal divided(const Decimal& divisor, int places, Rounding mode = Rounding::HalfAwayFromZero) const;

    std::strong_ordering operator<=>(const Decimal& o) const;
    bool operator==(const Decimal& o) const;

    // Plain text: "-" for negatives, digits, and "." plus exactly scale() decimals.
    QString toString() const;
    // The integer part, truncated toward zero; throws std::overflow_error past 64 bits.
    long long toLongLong() const;

private:
    Mantissa m_units = 0;
    int m_scale = 0;
};

} // namespace plx
