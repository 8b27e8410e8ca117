#pragma once

#include "ShipmentTypes.h"

#include "core/RoundingSetting.h"
#include "core/text/Decimal.h"
#include "store/TaxRate.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace plx {

class CodeTable;

// What the amount calculation of an entry window reads.
struct TaxInputs
{
    // The quantity and unit-price boxes as shown ("1,234.500" is fine).
    QString quantity;
    QString unitPrice;
    // Foreign-currency mode: three-decimal amounts instead of whole yen.
    bool foreign = false;
    // The selected position in the taxation-class list (code kind "03" of the
    // format, file order), -1 for none, and that entry's name.
    int taxationPosition = -1;
    QString taxationName;
    // The ordering company's AmountRounding and TaxRounding; none (a setting
    // the company file does not name) keeps the remainder.
    std::optional<RoundingSetting> amountRounding;
    std::optional<RoundingSetting> taxRounding;
    Protocol format = Protocol::Eiaj;
};

// The three amount boxes as display texts; "*" for a value out of range.
struct TaxResult
{
    QString tax;
    QString amount;
    QString total;
    bool operator==(const TaxResult&) const = default;
};

// Amount before tax, tax and total from quantity × unit price, the tax rate and
// the two rounding settings, in exact decimals. Nothing when the quantity or
// the unit price is not a number. A product too large for the decimal type
// shows "*" in all three boxes.
std::optional<TaxResult> CalculateTax(const TaxInputs& in, const CodeTable& codes);

// When a lost focus of the quantity, unit-price, taxation-class or
// consumption-tax-class control leads to the calculation.
struct TaxTrigger
{
    // Both numbers are given and the control's value changed (or the record
    // is unprocessed): the empty amount boxes become "0" ...
    bool fillEmptyAmounts = false;
    // ... and with the second consumption-tax class (position 1) the amounts
    // are computed.
    bool calculate = false;
    bool operator==(const TaxTrigger&) const = default;
};
TaxTrigger taxTrigger(QStringView quantity, QStringView unitPrice, QStringView valueAtFocus, QStringView valueNow,
                      RecordStatus status, int consumptionTaxPosition);
// taxTrigger(...).calculate.
bool taxShouldRun(QStringView quantity, QStringView unitPrice, QStringView valueAtFocus, QStringView valueNow,
                  RecordStatus status, int consumptionTaxPosition);

// Puts "0" into each amount box that is empty or blank.
void fillEmptyAmounts(QString& amountExclTax, QString& taxAmount, QString& amountInclTax);

} // namespace plx
