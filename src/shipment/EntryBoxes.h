#pragma once

#include "ShipmentTypes.h"

#include "store/DeliveryRecord.h"

#include <QString>

#include <optional>
#include <span>

namespace plx {

// The boxes of the entry windows by what they hold. Text22, Text23 and Text24
// hold the unit price and two amounts in the EIAJ window and the orderer's
// three free fields in the KORVAN window: each meaning is a box of its own.
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
    TagLines,
};

// The kind of widget a box is, from its object name.
enum class EntryControl { Text, Combo, Option, Grid };

// The part of the window a box stands in: the record's keys and dates at the
// top (Frame1), the order data (Frame3 受注データ), the shipment (Frame2 出荷データ).
enum class EntrySection { Record, OrderData, Shipment };

// What a box holds and how it reaches the record.
enum class BoxValue {
    Text,      // written to its field as typed, so it takes no more than the field holds
    Quantity,  // "###,###,##0.000", three decimals
    UnitPrice, // three decimals in yen, five in a foreign currency
    Amount,    // no decimals in yen, three in a foreign currency
    Date,      // "yyyy/mm/dd", written as YYYYMMDD
    Code,      // an entry of a code list or an option, written as its code
    Shown,     // shown only, never written
    Tags,      // the tag grid's rows
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

// One box of the entry windows.
struct EntryBoxInfo
{
    EntryBox box;
    const char* objectName;
    // The box's place in each window's tab order, from 1; 0 where the window
    // has no such box.
    int eiajTab;
    int korvanTab;
    EntrySection section;
    bool wide; // alone on its row of the form
    // The caption beside the box; none for the orderer's name, which stands
    // beside its code.
    const char16_t* caption;
    // The record field the box shows (a money box: the yen field, the foreign
    // one follows), and the double-byte field of a kanji pair.
    std::optional<DeliveryField> field;
    std::optional<DeliveryField> kanjiField;
    BoxValue value;
    // The CSV column `plx90-cli ship` types into the box: the field's name.
    const char* column;
    bool orderData; // a column of it makes a listed record's order data correction
    EntryModes modes;
    BoxAlignment alignment;
    KanjiRule kanji;
    BoxTrim trim;

    QString name() const { return QLatin1String(objectName); }
    EntryControl control() const;
    // The N of TextN or ComboN: where the box's text is kept in an EntryForm.
    int number() const;
    // The place in the window's tab order; 0 where the window has no such box.
    int tab(Protocol format) const { return format == Protocol::Eiaj ? eiajTab : korvanTab; }
    bool enterableIn(EntryMode mode) const { return (modes & modeBit(mode)) != 0; }
    bool isNumber() const
    {
        return value == BoxValue::Quantity || value == BoxValue::UnitPrice || value == BoxValue::Amount;
    }
    // The decimals a number box keeps; -1 for a box that takes no number.
    int decimals(bool foreign) const;
    // The code-table kind of a class list ("01" ... "05" for Combo1 ... Combo5).
    QString codeKind() const { return QStringLiteral("0%1").arg(number()); }
};

// Every box, in the order of the record's fields.
std::span<const EntryBoxInfo> entryBoxes();
const EntryBoxInfo& entryBox(EntryBox box);

// The boxes of one window in its tab order.
QList<const EntryBoxInfo*> boxesOf(Protocol format);
// The box of a window by its control's name ("Text22"); Option2, the second
// button of the bar-code output class, names that box too. Nothing for a
// control that is no box of that window.
const EntryBoxInfo* boxNamed(const QString& control, Protocol format);
// The box of a window that a `ship` column types into; nothing for a column the
// window does not have.
const EntryBoxInfo* boxOfColumn(const QString& column, Protocol format);

// The caption of an entry window's control ("Text19" -> "納入数量："), as the
// window shows it beside the control; the grid is "荷札", the buttons that
// the refusals name have theirs. Other names stand for themselves.
QString captionOf(const QString& control, Protocol format);

} // namespace plx
