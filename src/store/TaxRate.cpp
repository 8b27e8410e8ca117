#include "TaxRate.h"

#include <QRegularExpression>

namespace plx {

namespace {

// The number a text starts with ("10", "8.5", "10%" -> 10); nothing without one.
std::optional<Decimal> leadingNumber(QStringView text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)"));
    const QRegularExpressionMatch m = number.match(text.trimmed().toString());
    if (!m.hasMatch())
        return std::nullopt;
    return Decimal::parse(m.capturedView(0));
}

} // namespace

QString currencyOf(QStringView currency)
{
    const QString c = currency.trimmed().toString().toUpper();
    return c.isEmpty() ? QStringLiteral("JPY") : c;
}

bool isForeignCurrency(QStringView currency)
{
    return currencyOf(currency) != u"JPY";
}

Decimal taxRate(const CodeTable& codes, Protocol format, int taxationPosition, QStringView taxationName)
{
    if (taxationName.trimmed() == kTaxExemptName)
        return Decimal(0);
    const Decimal wanted(taxationPosition + 1);
    for (const CodeEntry& e : codes.list(format, QStringLiteral("03"))) {
        const std::optional<Decimal> code = Decimal::parse(e.code);
        if (code && *code == wanted)
            return leadingNumber(e.value).value_or(Decimal(0));
    }
    return Decimal(0);
}

Decimal taxRateOfCode(const CodeTable& codes, Protocol format, QStringView taxationCode)
{
    const std::optional<Decimal> code = Decimal::parse(taxationCode.trimmed());
    if (!code || code->scale() != 0)
        return Decimal(0);
    const long long position = code->toLongLong() - 1;
    return taxRate(codes, format, int(position),
                   codes.nameOf(format, QStringLiteral("03"), taxationCode.trimmed().toString()));
}

} // namespace plx
