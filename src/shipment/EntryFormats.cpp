#include "EntryFormats.h"

#include "core/text/Dates.h"

#include <QRegularExpression>

namespace plx {

std::optional<Decimal> boxNumber(QStringView text)
{
    QString plain = text.trimmed().toString();
    // Separators only between digits of the integer part.
    static const QRegularExpression grouped(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    if (plain.contains(QLatin1Char(','))) {
        if (!grouped.match(plain).hasMatch())
            return std::nullopt;
        plain.remove(QLatin1Char(','));
    }
    return Decimal::parse(plain);
}

std::optional<QString> boxDate(QStringView text)
{
    const QString t = text.trimmed().toString();
    static const QRegularExpression separated(QStringLiteral("^(\\d{4})[/.-](\\d{1,2})[/.-](\\d{1,2})$"));
    static const QRegularExpression digits(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    QRegularExpressionMatch m = separated.match(t);
    if (!m.hasMatch())
        m = digits.match(t);
    if (!m.hasMatch())
        return std::nullopt;
    const int y = m.captured(1).toInt();
    const int mo = m.captured(2).toInt();
    const int d = m.captured(3).toInt();
    if (!isValidDate(y, mo, d))
        return std::nullopt;
    return QStringLiteral("%1%2%3")
        .arg(y, 4, 10, QLatin1Char('0'))
        .arg(mo, 2, 10, QLatin1Char('0'))
        .arg(d, 2, 10, QLatin1Char('0'));
}

} // namespace plx
