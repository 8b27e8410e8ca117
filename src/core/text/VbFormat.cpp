#include "VbFormat.h"

#include <algorithm>
#include <vector>

namespace plx {
namespace {

bool isPlaceholder(QChar c)
{
    return c == u'0' || c == u'#';
}

struct Token
{
    enum Kind { Zero, Hash, Literal };
    Kind kind;
    QChar ch;
};

// One side of the decimal point: its characters in order and how many of them
// are digit placeholders.
struct Section
{
    std::vector<Token> tokens;
    int placeholders = 0;

    void add(QChar c)
    {
        if (isPlaceholder(c)) {
            tokens.push_back({c == u'0' ? Token::Zero : Token::Hash, c});
            ++placeholders;
        } else {
            tokens.push_back({Token::Literal, c});
        }
    }
};

struct NumberPattern
{
    Section integer;
    bool hasPoint = false;
    Section fraction;
    bool grouping = false;
};

NumberPattern parsePattern(QStringView pattern)
{
    NumberPattern p;
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView integerPart = point < 0 ? pattern : pattern.first(point);

    // A comma with digit placeholders on both sides is the thousands flag and
    // is not shown where it stands; the grouping is redone from the digits.
    qsizetype firstPlaceholder = -1;
    qsizetype lastPlaceholder = -1;
    for (qsizetype i = 0; i < integerPart.size(); ++i) {
        if (isPlaceholder(integerPart[i])) {
            if (firstPlaceholder < 0)
                firstPlaceholder = i;
            lastPlaceholder = i;
        }
    }
    for (qsizetype i = 0; i < integerPart.size(); ++i) {
        const QChar c = integerPart[i];
        if (c == u',' && firstPlaceholder < i && i < lastPlaceholder) {
            p.grouping = true;
            continue;
        }
        p.integer.add(c);
    }

    if (point >= 0) {
        p.hasPoint = true;
        for (QChar c : pattern.sliced(point + 1))
            p.fraction.add(c);
    }
    return p;
}

// Integer digits fill the placeholders from the right. Every placeholder from the
// leftmost '0' onwards shows a digit (zero-padded); a '#' further left shows only a
// significant digit. Digits beyond the placeholders go in front of the first one.
// Literals are always shown, even among unused leading '#' positions.
QString formatInteger(const Section& section, bool grouping, QStringView significantDigits)
{
    const int placeholders = section.placeholders;
    int leftmostZero = placeholders;
    int index = 0;
    for (const Token& t : section.tokens) {
        if (t.kind == Token::Literal)
            continue;
        if (t.kind == Token::Zero) {
            leftmostZero = index;
            break;
        }
        ++index;
    }

    const int count = std::max(int(significantDigits.size()), placeholders - leftmostZero);
    QString digits(count - significantDigits.size(), u'0');
    digits += significantDigits;

    QString out;
    // k counts digit positions from the right, 0 being the units.
    auto emitDigit = [&](int k) {
        out += digits[count - 1 - k];
        if (grouping && k > 0 && k % 3 == 0)
            out += u',';
    };
    auto emitOverflow = [&](int above) {
        for (int k = count - 1; k > above; --k)
            emitDigit(k);
    };

    index = 0;
    for (const Token& t : section.tokens) {
        if (t.kind == Token::Literal) {
            out += t.ch;
            continue;
        }
        const int k = placeholders - 1 - index;
        if (index == 0)
            emitOverflow(k);
        if (k < count)
            emitDigit(k);
        ++index;
    }
    if (placeholders == 0)
        emitOverflow(-1);
    return out;
}

// Decimal digits are shown up to the last '0' placeholder, and beyond it under '#'
// only as far as the last non-zero digit.
QString formatFraction(const Section& section, QStringView digits)
{
    int shown = 0;
    int index = 0;
    for (const Token& t : section.tokens) {
        if (t.kind == Token::Literal)
            continue;
        ++index;
        if (t.kind == Token::Zero || digits[index - 1] != u'0')
            shown = index;
    }

    QString out;
    index = 0;
    for (const Token& t : section.tokens) {
        if (t.kind == Token::Literal)
            out += t.ch;
        else if (index++ < shown)
            out += digits[index - 1];
    }
    return out;
}

} // namespace

QString vbFormat(const Decimal& value, QStringView pattern)
{
    const NumberPattern p = parsePattern(pattern);
    const int decimals = p.fraction.placeholders;
    // Rounding only ever drops places, so this cannot overflow; fewer places
    // than the pattern wants are padded with zeros below.
    const Decimal shown = value.scale() > decimals ? value.rescaled(decimals, Rounding::HalfAwayFromZero) : value;

    // A value that rounds to zero has a zero mantissa and so shows no sign.
    const bool negative = shown.isNegative();
    QString text = shown.toString();
    if (negative)
        text.remove(0, 1);
    const qsizetype point = text.indexOf(u'.');
    QStringView integerDigits = point < 0 ? QStringView(text) : QStringView(text).first(point);
    while (!integerDigits.isEmpty() && integerDigits.front() == u'0')
        integerDigits = integerDigits.sliced(1);
    QString fractionDigits = point < 0 ? QString() : text.sliced(point + 1);
    fractionDigits += QString(decimals - fractionDigits.size(), u'0');

    QString out;
    if (negative)
        out += u'-';
    out += formatInteger(p.integer, p.grouping, integerDigits);
    if (p.hasPoint) {
        out += u'.';
        out += formatFraction(p.fraction, fractionDigits);
    }
    return out;
}

QString vbFormatText(QStringView text, QStringView pattern)
{
    if (const std::optional<Decimal> value = Decimal::parse(text))
        return vbFormat(*value, pattern);
    return text.toString();
}

} // namespace plx
