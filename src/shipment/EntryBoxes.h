#pragma once

#include "ShipmentTypes.h"

#include "store/DeliveryRecord.h"

#include <QString>

#include <optional>
#include <span>

namespace plx {

// The boxes of the entry windows by what they hold, one meaning per box in
// both windows. (The widgets Text22, Text23 and Text24 hold the unit price and
// two amounts in the EIAJ window and the orderer's three free fields in the
// KORVAN window: each of those meanings is a box of its own.)
enum class EntryBox {
    OrdererCode,
    OrdererName,
    UpdatedOn,
    SupplierCode,
    DeliveryKeyNo,
    OrderNo,
    ItemCode,
    ItemName,
    Unit,
    BuyerName,
    DeliveryPlace,
    OrdererBarcodeInfo,
    OrdererRemarks,
    OrderQty,
    InstructedQty,
    DueDate,
    InspectionClass,
    ConsumptionTaxClass,
    TaxationClass,
    PriceDisplayClass,
    Currency,
    UnitPrice,
    BcOutputClass,
    OrdererUse1,
    OrdererUse2,
    OrdererUse3,
    ShipQty,
    ShipDate,
    PlannedDeliveryDate,
    AmountExclTax,
    TaxAmount,
    AmountInclTax,
    SupplierBarcodeInfo,
    SupplierRemarks,
    TagLines, // the grid, last: the number of boxes follows it
};

// The kind of widget a box is.
enum class EntryWidget {
    Line,    // a line of text
    List,    // a list to choose from (the currency's is also typed in)
    Options, // the two option buttons of the bar-code output class
    Grid,    // the tag grid
};

// The part of the window a box stands in: the record's keys and dates at the
// top (Frame1), the order data (Frame3 受注データ), the shipment (Frame2 出荷データ).
enum class EntrySection { Record, OrderData, Shipment };

// What a box holds and how it reaches the record.
enum class BoxValue {
    Text,      // written to its field as typed, so it takes no more than the field holds
    Currency,  // a currency code, typed or chosen, written in capitals
    Quantity,  // three decimals
    UnitPrice, // three decimals in yen, five in a foreign currency
    Amount,    // no decimals in yen, three in a foreign currency
    Date,      // "yyyy/mm/dd", written as YYYYMMDD
    Code,      // an entry of a code list or an option, written as its code
    Shown,     // shown only, never written
    Tags,      // the tag grid's rows
};

// A number pattern (vbFormat) of a box in yen and in a foreign currency; the
// same for both where the currency does not matter, none for a box whose
// value is no number.
struct NumberPattern
{
    const char16_t* yen = nullptr;
    const char16_t* foreign = nullptr;

    bool isNone() const { return yen == nullptr; }
    QStringView of(bool inForeignCurrency) const { return inForeignCurrency ? foreign : yen; }
};

// The modes a box can be typed in, as a set of EntryMode bits.
using EntryModes = unsigned;
constexpr EntryModes modeBit(EntryMode mode)
{
    return 1u << unsigned(mode);
}
inline constexpr EntryModes kNoMode = 0;
inline constexpr EntryModes kNewRecordOnly = modeBit(EntryMode::New);
inline constexpr EntryModes kWithOrderData = modeBit(EntryMode::Correction) | modeBit(EntryMode::New);
inline constexpr EntryModes kEveryMode = kWithOrderData | modeBit(EntryMode::Existing);

enum class BoxAlignment { Left, Right };

// Kanji in a box: none; allowed when the company allows it (the box has a
// double-byte field, its "(漢字可)" label shows with the company's setting);
// only kanji (padded with full-width spaces, its "(漢字のみ)" label always shown).
enum class KanjiRule { None, Allowed, Only };

// The blanks a box drops when it gets the focus: at both ends, or only at the
// end for the keys and bar-code texts whose fields may start with blanks.
enum class BoxTrim { Both, End };

// One box of the entry windows: one row of the box table, which the form
// builder, the tab order, the captions, showing a record, writing an entry,
// the box limits, the amount calculation and `ship`'s columns all read.
struct EntryBoxInfo
{
    EntryBox box;
    // The widget's object name; the same name may stand for another box in
    // the other window (Text22 ... Text24).
    const char* objectName;
    EntryWidget widget;
    // The box's place in each window's tab order, from 1; 0 where the window
    // has no such box.
    int eiajTab;
    int korvanTab;
    EntrySection section;
    bool wide; // alone on its row of the form
    // The caption beside the box; none for the orderer's name, which stands
    // beside its code.
    const char16_t* caption;
    // The record field the box shows, the double-byte field of a kanji pair,
    // and the field of a money box in a foreign currency.
    std::optional<DeliveryField> field;
    std::optional<DeliveryField> kanjiField;
    std::optional<DeliveryField> foreignField;
    BoxValue value;
    // The code-table kind of the box's list ("01" ... "05"); none for a box
    // without a list.
    const char* codeKind;
    // How a number or date box shows its field, and how a number is stored.
    NumberPattern shown;
    NumberPattern stored;
    // Leaving the box (or choosing in its list) calculates the amounts.
    bool calculates;
    bool orderData; // a column of it makes a listed record's order data correction
    EntryModes modes;
    BoxAlignment alignment;
    KanjiRule kanji;
    BoxTrim trim;
    // The operation the log names when leaving the box (or choosing in its
    // list) fails: the company look-up of the code boxes, the calculation of
    // the boxes that calculate ("単価ﾌｫｰｶｽ移動/"). None for the other boxes.
    const char16_t* leaveOperation = nullptr;

    QString name() const { return QLatin1String(objectName); }
    // The place in the window's tab order; 0 where the window has no such box.
    int tab(Protocol format) const { return format == Protocol::Eiaj ? eiajTab : korvanTab; }
    bool enterableIn(EntryMode mode) const { return (modes & modeBit(mode)) != 0; }
    bool isNumber() const
    {
        return value == BoxValue::Quantity || value == BoxValue::UnitPrice || value == BoxValue::Amount;
    }
    // Written to its field as the box holds it (its length judged in bytes).
    bool writtenAsTyped() const { return (value == BoxValue::Text || value == BoxValue::Currency) && field; }
    // The decimals a number box keeps; -1 for a box that takes no number.
    int decimals(bool foreign) const;
    // The code-table kind of the box's list.
    QString kind() const { return QLatin1String(codeKind); }
    // The CSV column `plx90-cli ship` types into the box: the name of its
    // field, for every box the operator can type in; empty for the others.
    QString column() const;
};

// Every box, in the order of the record's fields.
std::span<const EntryBoxInfo> entryBoxes();
const EntryBoxInfo& entryBox(EntryBox box);

// The boxes of one window in its tab order.
QList<const EntryBoxInfo*> boxesOf(Protocol format);
// Whether `format`'s window has the box.
bool hasBox(EntryBox box, Protocol format);
// The box of a window that a `ship` column types into; nothing for a column the
// window does not have.
const EntryBoxInfo* boxOfColumn(const QString& column, Protocol format);

} // namespace plx
