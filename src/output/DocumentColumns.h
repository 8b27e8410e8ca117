#pragma once

// The columns of the print data files, numbered from 1 as the layout files
// ("column" of a field or barcode item) count them. A layout refers to a column
// by its number only, so a number must never change: every name carries its
// number explicitly.

namespace plx {

// A delivery slip (`*_Dcsv.dat`), one line per record.
enum class SlipColumn : int {
    OrdererCode = 1,
    OrdererName = 2,
    SupplierCode = 3,
    SupplierName = 4,
    DeliveryKeyNo = 5,
    OrderNo = 6,
    DeliveryPlace = 7,
    BuyerName = 8,
    ItemCode = 9,
    ItemName = 10,
    OrdererRemarks = 11,
    OrdererBarcodeInfo = 12,
    DueDate = 13, // YY/MM/DD
    OrderQty = 14,
    InstructedQty = 15,
    InspectionClassName = 16,
    Unit = 17,
    ShipDate = 18,            // YY/MM/DD
    PlannedDeliveryDate = 19, // YY/MM/DD
    ShipQty = 20,
    SupplierRemarks = 21,
    SupplierBarcodeInfo = 22,
    FixedZero = 23,                    // always "0"
    FixedZeroOfZero = 24,              // always "000/000"
    FixedZeroPadded = 25,              // always "0 "
    UnitPriceOrUse1 = 26,              // EIAJ: unit price; KORVAN: orderer use 1
    AmountExclTaxOrUse2 = 27,          // EIAJ: amount without tax; KORVAN: orderer use 2
    TaxAmountOrUse3 = 28,              // EIAJ: tax; KORVAN: orderer use 3
    AmountInclTaxOrBcOutputClass = 29, // EIAJ: amount with tax; KORVAN: barcode output class
    Blanks = 30,                       // six blanks
    KeyBarcodeText = 31,               // "(Z)" and the key
    KeyBarcodeData = 32,               // "Z" and the key
    Barcode3N3Text = 33,
    Barcode3N3Data = 34,
    Barcode3N4Text = 35,
    Barcode3N4Data = 36,
    Barcode3N5Text = 37,
    Barcode3N5Data = 38,
    CurrencyNote = 39, // "(USD)"; empty for yen
};
inline constexpr int kSlipColumnCount = 39;

// A shipping tag (`*_Tcsv.dat`), one line per tag.
enum class TagColumn : int {
    OrdererCode = 1,
    OrdererName = 2,
    SupplierCode = 3,
    SupplierName = 4,
    DeliveryKeyNo = 5,
    OrderNo = 6,
    DeliveryPlace = 7,
    BuyerName = 8,
    ItemCode = 9,
    ItemCodeAgain = 10,
    ItemName = 11,
    OrdererRemarks = 12,
    OrdererRemarksSingleByte = 13, // a blank when column 12 holds the double-byte remarks
    OrdererBarcodeInfo = 14,
    DueDate = 15, // YY/MM/DD
    OrderQty = 16,
    InstructedQty = 17,
    InspectionClassName = 18,
    Unit = 19,
    ShipDate = 20,            // YY/MM/DD
    PlannedDeliveryDate = 21, // YY/MM/DD
    ShipQty = 22,
    SupplierRemarks = 23,
    SupplierRemarksSingleByte1 = 24, // 24-26 empty when column 23 holds the double-byte remarks
    SupplierRemarksSingleByte2 = 25,
    SupplierRemarksSingleByte3 = 26,
    SupplierBarcodeInfo = 27,
    PackageQty = 28, // quantity in this package
    TagNumber = 29,  // "3/7", padded to 7
    TagCount = 30,   // tags of the tag line
    Empty1 = 31,
    Empty2 = 32,
    Empty3 = 33,
    Empty4 = 34,
    Blanks = 35, // six blanks
    KeyBarcodeText = 36,
    KeyBarcodeData = 37,
    Barcode3N3Text = 38,
    Barcode3N3Data = 39,
    Barcode3N4Text = 40,
    Barcode3N4Data = 41,
    Barcode3N5Text = 42,
    Barcode3N5Data = 43,
};
inline constexpr int kTagColumnCount = 43;

// The 1-based number of a column, as a layout writes it.
constexpr int columnNumber(SlipColumn column)
{
    return static_cast<int>(column);
}
constexpr int columnNumber(TagColumn column)
{
    return static_cast<int>(column);
}
// The 0-based position of a column in a line's list of values.
constexpr int columnIndex(SlipColumn column)
{
    return columnNumber(column) - 1;
}
constexpr int columnIndex(TagColumn column)
{
    return columnNumber(column) - 1;
}

static_assert(kSlipColumnCount == 39 && columnNumber(SlipColumn::CurrencyNote) == kSlipColumnCount);
static_assert(kTagColumnCount == 43 && columnNumber(TagColumn::Barcode3N5Data) == kTagColumnCount);

// The first nine columns are the same on slips and tags.
static_assert(columnNumber(TagColumn::OrdererCode) == columnNumber(SlipColumn::OrdererCode) &&
              columnNumber(TagColumn::ItemCode) == columnNumber(SlipColumn::ItemCode));

// Both lines end in the same run of barcode columns: readable text and data of
// the key symbol, then of the "3N3", "3N4" and "3N5" symbols.
static_assert(columnNumber(SlipColumn::Barcode3N5Data) - columnNumber(SlipColumn::KeyBarcodeText) == 7 &&
              columnNumber(TagColumn::Barcode3N5Data) - columnNumber(TagColumn::KeyBarcodeText) == 7);

} // namespace plx
