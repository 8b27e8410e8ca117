#include "EntryFormats.h"

#include "EntryLimits.h"

#include "core/text/Dates.h"
#include "core/text/FixedField.h"
#include "core/text/VbFormat.h"

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

namespace {

// Numeric box text through a pattern; other text unchanged.
QString formattedBox(QStringView text, QStringView pattern)
{
    const std::optional<Decimal> value = boxNumber(text);
    return value ? vbFormat(*value, pattern) : text.toString();
}

std::optional<QString> storedNumber(QStringView text, QStringView pattern)
{
    const std::optional<Decimal> value = boxNumber(text);
    if (!value)
        return std::nullopt;
    return vbFormat(*value, pattern);
}

bool isHalfWidthBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

} // namespace

QString quantityBoxText(QStringView text)
{
    return formattedBox(text, u"###,###,##0.000");
}

QString unitPriceBoxText(QStringView text, bool foreign)
{
    return formattedBox(text, foreign ? u"##,###,###,##0.00000" : u"#,###,###,##0.000");
}

QString amountBoxText(QStringView text, bool foreign)
{
    return formattedBox(text, foreign ? u"###,###,###,##0.000" : u"#,###,###,##0");
}

QString dateBoxText(QStringView text)
{
    if (const std::optional<QString> ymd = boxDate(text))
        return ymd->left(4) + QLatin1Char('/') + ymd->mid(4, 2) + QLatin1Char('/') + ymd->mid(6, 2);
    return formattedBox(text, u"####/00/00");
}

QString storedDateText(QStringView field)
{
    if (field.trimmed().isEmpty())
        return QStringLiteral("0000/00/00");
    return vbFormatText(field, u"0000/00/00");
}

QString updatedAtText(QStringView stamp)
{
    return storedDateText(stamp.left(8));
}

QString tagQuantityCellText(QStringView text)
{
    return quantityBoxText(text).left(kTagQuantityCellLength);
}

QString tagCountCellText(QStringView text)
{
    return formattedBox(text, u"#0").left(kTagCountCellLength);
}

QString focusedBoxText(EntryBox box, QStringView text)
{
    if (entryBox(box).trim == BoxTrim::End)
        return fixed::trimmedRight(text.toString());
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isHalfWidthBlank(text.at(begin)))
        ++begin;
    while (end > begin && isHalfWidthBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin).toString();
}

PriceAmountTexts switchedCurrencyTexts(const PriceAmountTexts& texts, bool foreign)
{
    return {unitPriceBoxText(texts.unitPrice, foreign), amountBoxText(texts.amountExclTax, foreign),
            amountBoxText(texts.taxAmount, foreign), amountBoxText(texts.amountInclTax, foreign)};
}

std::optional<QString> storedQuantity(QStringView text)
{
    return storedNumber(text, u"000000000.000");
}

std::optional<QString> storedUnitPrice(QStringView text, bool foreign)
{
    return storedNumber(text, foreign ? u"000000000000.00000" : u"00000000000.000");
}

std::optional<QString> storedAmount(QStringView text, bool foreign)
{
    return storedNumber(text, foreign ? u"000000000000.000" : u"0000000000");
}

} // namespace plx
