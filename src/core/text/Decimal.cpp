#include "Decimal.h"

#include "Blanks.h"

#include <algorithm>
#include <array>
#include <climits>
#include <stdexcept>

namespace plx {
namespace {

using Mantissa = Decimal::Mantissa;

constexpr auto kPowersOfTen = [] {
    std::array<Mantissa, Decimal::MaxDigits + 1> powers{};
    powers[0] = 1;
    for (int i = 1; i <= Decimal::MaxDigits; ++i)
        powers[i] = powers[i - 1] * 10;
    return powers;
}();

// The largest mantissa magnitude: MaxDigits nines. Keeping the range symmetric
// means negation and absolute values can never overflow.
constexpr Mantissa kMaxUnits = kPowersOfTen[Decimal::MaxDigits] - 1;

Mantissa pow10(int exponent)
{
    return kPowersOfTen[exponent];
}

Mantissa magnitude(Mantissa value)
{
    return value < 0 ? -value : value;
}

[[noreturn]] void throwOverflow()
{
    throw std::overflow_error("decimal value exceeds 38 digits");
}

bool fits(Mantissa value)
{
    return value <= kMaxUnits && value >= -kMaxUnits;
}

Mantissa checkedUnits(Mantissa value)
{
    if (!fits(value))
        throwOverflow();
    return value;
}

Mantissa checkedAdd(Mantissa a, Mantissa b)
{
    Mantissa sum;
    if (__builtin_add_overflow(a, b, &sum))
        throwOverflow();
    return checkedUnits(sum);
}

Mantissa checkedMul(Mantissa a, Mantissa b)
{
    Mantissa product;
    if (__builtin_mul_overflow(a, b, &product))
        throwOverflow();
    return checkedUnits(product);
}

Mantissa scaledUp(Mantissa units, int extraPlaces)
{
    if (units == 0)
        return 0;
    if (extraPlaces > Decimal::MaxDigits)
        throwOverflow();
    return checkedMul(units, pow10(extraPlaces));
}

void stripTrailingZeros(Mantissa& units, int& scale)
{
    while (scale > 0 && units % 10 == 0) {
        units /= 10;
        --scale;
    }
}

// numerator / denominator rounded to an integer by `mode`. Both operands stay
// within the symmetric mantissa range, so neither the remainder arithmetic nor
// the final step of one unit can overflow.
Mantissa divideRounded(Mantissa numerator, Mantissa denominator, Rounding mode)
{
    const Mantissa quotient = numerator / denominator;
    const Mantissa remainder = numerator % denominator;
    if (remainder == 0)
        return quotient;

    const Mantissa rest = magnitude(remainder);
    const Mantissa complement = magnitude(denominator) - rest; // distance to the next unit
    bool away = false;
    switch (mode) {
    case Rounding::HalfAwayFromZero:
        away = rest >= complement;
        break;
    case Rounding::HalfEven:
        away = rest > complement || (rest == complement && quotient % 2 != 0);
        break;
    case Rounding::TowardZero:
        away = false;
        break;
    case Rounding::AwayFromZero:
        away = true;
        break;
    }
    if (!away)
        return quotient;
    const bool negative = (numerator < 0) != (denominator < 0);
    return negative ? quotient - 1 : quotient + 1;
}

void checkPlaces(int places)
{
    if (places < 0 || places > Decimal::MaxDigits)
        throw std::invalid_argument("decimal places out of range");
}

// Digits of a non-negative mantissa, at least one.
QString digitsOf(Mantissa value)
{
    char buffer[Decimal::MaxDigits + 2];
    int pos = sizeof buffer;
    do {
        buffer[--pos] = char('0' + int(value % 10));
        value /= 10;
    } while (value != 0);
    return QString::fromLatin1(buffer + pos, qsizetype(sizeof buffer) - pos);
}

} // namespace

Decimal Decimal::fromUnits(Mantissa units, int scale)
{
    checkPlaces(scale);
    Decimal d;
    d.m_units = checkedUnits(units);
    d.m_scale = scale;
    return d;
}

std::optional<Decimal> Decimal::parse(QStringView text)
{
    text = trimmedBlanks(text);
    qsizetype begin = 0;
    const qsizetype end = text.size();

    bool negative = false;
    if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) {
        negative = text[begin] == u'-';
        ++begin;
    }

    Mantissa units = 0;
    int significant = 0; // digits counted from the first non-zero one
    int scale = 0;
    int digits = 0;
    bool point = false;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.') {
            if (point)
                return std::nullopt;
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        ++digits;
        if (point && ++scale > MaxDigits)
            return std::nullopt;
        if (units != 0 || c != u'0') {
            if (++significant > MaxDigits)
                return std::nullopt;
        }
        units = units * 10 + (c - u'0');
    }
    if (digits == 0)
        return std::nullopt;

    Decimal d;
    d.m_units = negative ? -units : units;
    d.m_scale = scale;
    return d;
}

Decimal Decimal::rescaled(int places, Rounding mode) const
{
    checkPlaces(places);
    Decimal d;
    d.m_scale = places;
    if (places >= m_scale)
        d.m_units = scaledUp(m_units, places - m_scale);
    else
        d.m_units = divideRounded(m_units, pow10(m_scale - places), mode);
    return d;
}

Decimal Decimal::rounded(int places, Rounding mode) const
{
    if (places < 0)
        throw std::invalid_argument("decimal places out of range");
    Decimal d = places < m_scale ? rescaled(places, mode) : *this;
    stripTrailingZeros(d.m_units, d.m_scale);
    return d;
}

Decimal Decimal::operator-() const
{
    Decimal d = *this;
    d.m_units = -m_units;
    return d;
}

Decimal Decimal::operator+(const Decimal& o) const
{
    const int scale = std::max(m_scale, o.m_scale);
    Decimal d;
    d.m_scale = scale;
    d.m_units = checkedAdd(scaledUp(m_units, scale - m_scale), scaledUp(o.m_units, scale - o.m_scale));
    return d;
}

Decimal Decimal::operator-(const Decimal& o) const
{
    return *this + (-o);
}

Decimal Decimal::operator*(const Decimal& o) const
{
    Decimal d;
    d.m_scale = m_scale + o.m_scale;
    if (d.m_scale <= MaxDigits && !__builtin_mul_overflow(m_units, o.m_units, &d.m_units) && fits(d.m_units))
        return d;

    // Trailing zeros carry no value: without them a product whose raw mantissas or
    // summed scales are too wide may still be exact, at a smaller scale.
    Mantissa a = m_units;
    Mantissa b = o.m_units;
    int scaleA = m_scale;
    int scaleB = o.m_scale;
    stripTrailingZeros(a, scaleA);
    stripTrailingZeros(b, scaleB);
    d.m_scale = scaleA + scaleB;
    if (d.m_scale > MaxDigits)
        throwOverflow();
    d.m_units = checkedMul(a, b);
    return d;
}

Decimal Decimal::divided(const Decimal& divisor, int places, Rounding mode) const
{
    checkPlaces(places);
    if (divisor.isZero())
        throw std::domain_error("decimal division by zero");

    // this / divisor = (a / 10^sa) / (b / 10^sb): scale one side by a power of ten
    // so that the integer quotient carries `places` decimals. The divisor's
    // trailing zeros are dropped first so that they do not push the numerator
    // out of range.
    Mantissa denominator = divisor.m_units;
    int divisorScale = divisor.m_scale;
    stripTrailingZeros(denominator, divisorScale);
    const int exponent = places + divisorScale - m_scale;
    Mantissa numerator = m_units;
    if (exponent >= 0)
        numerator = scaledUp(numerator, exponent);
    else
        denominator = scaledUp(denominator, -exponent);

    Decimal d;
    d.m_units = divideRounded(numerator, denominator, mode);
    d.m_scale = places;
    return d;
}

std::strong_ordering Decimal::operator<=>(const Decimal& o) const
{
    if (sign() != o.sign())
        return sign() <=> o.sign();
    // Same sign: compare integer parts, then the fractions brought to a common
    // scale. Neither step can overflow, whatever the two scales are.
    const Mantissa intA = m_units / pow10(m_scale);
    const Mantissa intB = o.m_units / pow10(o.m_scale);
    if (intA != intB)
        return intA <=> intB;
    const int scale = std::max(m_scale, o.m_scale);
    const Mantissa fracA = (m_units % pow10(m_scale)) * pow10(scale - m_scale);
    const Mantissa fracB = (o.m_units % pow10(o.m_scale)) * pow10(scale - o.m_scale);
    return fracA <=> fracB;
}

bool Decimal::operator==(const Decimal& o) const
{
    return (*this <=> o) == 0;
}

QString Decimal::toString() const
{
    QString digits = digitsOf(magnitude(m_units));
    if (digits.size() <= m_scale)
        digits.prepend(QString(m_scale - digits.size() + 1, u'0'));
    if (m_scale > 0)
        digits.insert(digits.size() - m_scale, u'.');
    if (m_units < 0)
        digits.prepend(u'-');
    return digits;
}

long long Decimal::toLongLong() const
{
    const Mantissa integer = m_units / pow10(m_scale);
    if (integer > Mantissa(LLONG_MAX) || integer < Mantissa(LLONG_MIN))
        throw std::overflow_error("decimal integer part exceeds 64 bits");
    return static_cast<long long>(integer);
}

} // namespace plx
