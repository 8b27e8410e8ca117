#pragma once

#include "EntryBoxes.h"

#include "core/text/Decimal.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace plx {

// The number a box shows: blanks around it and thousands separators in its
// integer part are allowed ("1,234.500"); nothing when it is not a number.
std::optional<Decimal> boxNumber(QStringView text);

// The date a box shows as "YYYYMMDD": "yyyy/mm/dd" (also with "-" or "."; one or
// two digits for month and day) or eight digits, naming a real calendar date;
// nothing otherwise.
std::optional<QString> boxDate(QStringView text);

// Box texts as the entry windows show them. Text that is not a number (a "*"
// of an amount out of range, anything mistyped) is left as it is, so that the
// registration checks see what the operator typed.

// The quantity boxes (ordered, instructed, shipped): "###,###,##0.000".
QString quantityBoxText(QStringView text);
// The unit price: "#,###,###,##0.000" in yen, "##,###,###,##0.00000"
// in a foreign currency.
QString unitPriceBoxText(QStringView text, bool foreign);
// The amount boxes: "#,###,###,##0" in yen,
// "###,###,###,##0.000" in a foreign currency.
QString amountBoxText(QStringView text, bool foreign);

// A date box (due, shipping, delivery) on leaving it: a real date as
// "yyyy/mm/dd"; other numeric text through "####/00/00" (20000531 ->
// "2000/05/31", 531 -> "/05/31"); anything else unchanged.
QString dateBoxText(QStringView text);
// A stored "YYYYMMDD" field as "YYYY/MM/DD"; a blank one as "0000/00/00".
QString storedDateText(QStringView field);
// The date part (first eight characters) of a stored "YYYYMMDDHHNN" time stamp,
// the same way.
QString updatedAtText(QStringView stamp);

// A tag-grid cell on Enter: the quantity "###,###,##0.000" cut to 15
// characters, the count "#0" cut to 2.
QString tagQuantityCellText(QStringView text);
QString tagCountCellText(QStringView text);

// A text box's text when it gets the focus: half-width blanks trimmed at both
// ends, or only at the end for a box whose field may start with blanks (the
// box table's trim rule).
QString focusedBoxText(EntryBox box, QStringView text);

// The unit price and the three amounts, as the boxes show them.
struct PriceAmountTexts
{
    QString unitPrice;
    QString amountExclTax;
    QString taxAmount;
    QString amountInclTax;
    bool operator==(const PriceAmountTexts&) const = default;
};
// The four boxes reformatted for the currency mode the currency box switched to.
PriceAmountTexts switchedCurrencyTexts(const PriceAmountTexts& texts, bool foreign);

// Box texts as stored fields; nothing for text that is not a number.
// Quantities "000000000.000".
std::optional<QString> storedQuantity(QStringView text);
// Unit prices "00000000000.000" (yen) or "000000000000.00000" (foreign currency).
std::optional<QString> storedUnitPrice(QStringView text, bool foreign);
// Amounts "0000000000" (yen) or "000000000000.000" (foreign currency).
std::optional<QString> storedAmount(QStringView text, bool foreign);

} // namespace plx
