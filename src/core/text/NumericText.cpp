#include "NumericText.h"

#include "Blanks.h"

#include <QRegularExpression>

namespace plx {
namespace {

// The parts of numeric text, as views into it.
struct NumericParts
{
    bool negative = false;
    QStringView integerDigits;
    QStringView fractionDigits;
};

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

qsizetype digitRun(QStringView text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    return i - from;
}

// Splits numeric text without any limit on its length, so that long texts are
// still recognised as numbers (and then found out of range by the caller).
std::optional<NumericParts> scanNumeric(QStringView text)
{
    text = trimmedBlanks(text);

    NumericParts parts;
    qsizetype pos = 0;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        parts.negative = text[0] == u'-';
        ++pos;
    }
    const qsizetype integerLength = digitRun(text, pos);
    parts.integerDigits = text.sliced(pos, integerLength);
    pos += integerLength;
    if (pos < text.size() && text[pos] == u'.') {
        ++pos;
        const qsizetype fractionLength = digitRun(text, pos);
        parts.fractionDigits = text.sliced(pos, fractionLength);
        pos += fractionLength;
    }
    if (pos != text.size() || (parts.integerDigits.isEmpty() && parts.fractionDigits.isEmpty()))
        return std::nullopt;
    return parts;
}

} // namespace

bool isNumericText(QStringView text)
{
    return scanNumeric(text).has_value();
}

std::optional<short> toInt16HalfEven(QStringView text)
{
    const std::optional<NumericParts> parts = scanNumeric(text);
    if (!parts)
        return std::nullopt;

    QStringView digits = parts->integerDigits;
    while (!digits.isEmpty() && digits.front() == u'0')
        digits = digits.sliced(1);
    if (digits.size() > 5) // beyond 99999, certainly out of range
        return std::nullopt;
    int magnitude = 0;
    for (QChar c : digits)
        magnitude = magnitude * 10 + (c.unicode() - u'0');

    // Compare the fraction with one half by its digits: the first decides unless
    // it is a 5, then any later non-zero digit puts it above the half.
    const QStringView fraction = parts->fractionDigits;
    int vsHalf = -1;
    if (!fraction.isEmpty()) {
        const int first = fraction.front().unicode() - u'0';
        if (first != 5)
            vsHalf = first > 5 ? 1 : -1;
        else
            vsHalf = fraction.sliced(1).count(u'0') == fraction.size() - 1 ? 0 : 1;
    }
    if (vsHalf > 0 || (vsHalf == 0 && magnitude % 2 != 0))
        ++magnitude;

    const int value = parts->negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<short>(value);
}

QString withThousands(const QString& number)
{
    static const QRegularExpression plain(QStringLiteral("^([-+]?)(\\d+)(\\.\\d+)?$"));
    const QRegularExpressionMatch match = plain.match(number);
    if (!match.hasMatch())
        return number;
    QString digits = match.captured(2);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return match.captured(1) + digits + match.captured(3);
}

} // namespace plx
