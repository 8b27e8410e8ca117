#include "AmountCalculation.h"

#include "EntryFormats.h"

#include "core/text/VbFormat.h"
#include "store/CodeTable.h"

#include <stdexcept>

namespace plx {
namespace {

const QString kYenAmountPattern = QStringLiteral("#,###,###,##0");
const QString kForeignAmountPattern = QStringLiteral("###,###,###,##0.000");

// Places of the remainder that the rounding settings look at: yen amounts are
// settled from millionths of a yen, foreign amounts from hundred-thousandths
// of a thousandth, taxes in both modes from thousandths.
constexpr int kYenAmountPlaces = 6;
constexpr int kForeignAmountPlaces = 5;
constexpr int kTaxPlaces = 3;

Decimal magnitude(const Decimal& v)
{
    return v.isNegative() ? -v : v;
}

// Brings a value with a remainder to a whole number by the company's setting.
// A value without remainder is never changed; an unknown setting keeps the
// remainder. Negative values are rounded by their magnitude.
Decimal settle(const Decimal& value, std::optional<RoundingSetting> setting)
{
    const Decimal whole = value.rescaled(0, Rounding::TowardZero);
    if (whole == value)
        return whole;
    if (!setting)
        return value;
    return value.rescaled(0, decimalRounding(*setting));
}

QString shown(const Decimal& value, const Decimal& limit, const QString& pattern)
{
    if (magnitude(value) > limit)
        return QStringLiteral("*");
    return vbFormat(value, pattern);
}

// 10^-places, for exact division by powers of ten.
Decimal tenth(int places)
{
    return Decimal::fromUnits(1, places);
}

TaxResult yenAmounts(const Decimal& quantity, const Decimal& price, const Decimal& rate, const TaxInputs& in)
{
    const Decimal raw = (quantity * price).rescaled(kYenAmountPlaces);
    const Decimal amount = settle(raw, in.amountRounding);
    const Decimal taxRaw = (amount * rate * tenth(2)).rescaled(kTaxPlaces);
    const Decimal tax = settle(taxRaw, in.taxRounding);
    const Decimal total = amount + tax;
    const Decimal limit(9999999999LL);
    return {shown(tax, limit, kYenAmountPattern), shown(amount, limit, kYenAmountPattern),
            shown(total, limit, kYenAmountPattern)};
}

TaxResult foreignAmounts(const Decimal& quantity, const Decimal& price, const Decimal& rate, const TaxInputs& in)
{
    // Thousandths of the currency unit are settled as whole numbers.
    const Decimal thousandths = (price * quantity * Decimal(1000)).rescaled(kForeignAmountPlaces);
    const Decimal amount = settle(thousandths, in.amountRounding) * tenth(3);
    const Decimal taxThousandths = (amount * rate * Decimal(10)).rescaled(kTaxPlaces);
    const Decimal tax = settle(taxThousandths, in.taxRounding) * tenth(3);
    const Decimal total = amount + tax;
    const Decimal limit = Decimal::fromUnits(999999999999999LL, 3);
    return {shown(tax, limit, kForeignAmountPattern), shown(amount, limit, kForeignAmountPattern),
            shown(total, limit, kForeignAmountPattern)};
}

} // namespace

std::optional<TaxResult> CalculateTax(const TaxInputs& in, const CodeTable& codes)
{
    const std::optional<Decimal> quantity = boxNumber(in.quantity);
    const std::optional<Decimal> price = boxNumber(in.unitPrice);
    if (!quantity || !price)
        return std::nullopt;
    const Decimal rate = taxRate(codes, in.format, in.taxationPosition, in.taxationName);
    try {
        return in.foreign ? foreignAmounts(*quantity, *price, rate, in) : yenAmounts(*quantity, *price, rate, in);
    } catch (const std::overflow_error&) {
        // Far beyond what any box can hold: out of range like any other.
        const QString star = QStringLiteral("*");
        return TaxResult{star, star, star};
    }
}

TaxTrigger taxTrigger(QStringView quantity, QStringView unitPrice, QStringView valueAtFocus, QStringView valueNow,
                      RecordStatus status, int consumptionTaxPosition)
{
    TaxTrigger t;
    t.fillEmptyAmounts = boxNumber(quantity) && boxNumber(unitPrice) &&
                         (valueAtFocus != valueNow || status == RecordStatus::Unprocessed);
    t.calculate = t.fillEmptyAmounts && consumptionTaxPosition == 1;
    return t;
}

bool taxShouldRun(QStringView quantity, QStringView unitPrice, QStringView valueAtFocus, QStringView valueNow,
                  RecordStatus status, int consumptionTaxPosition)
{
    return taxTrigger(quantity, unitPrice, valueAtFocus, valueNow, status, consumptionTaxPosition).calculate;
}

void fillEmptyAmounts(QString& amountExclTax, QString& taxAmount, QString& amountInclTax)
{
    for (QString* box : {&amountExclTax, &taxAmount, &amountInclTax}) {
        if (box->trimmed().isEmpty())
            *box = QStringLiteral("0");
    }
}

} // namespace plx
