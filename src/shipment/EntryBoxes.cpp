#include "EntryBoxes.h"

#include "EntryForm.h"

#include <QHash>

#include <algorithm>
#include <stdexcept>

namespace plx {

namespace {

using B = EntryBox;
using F = DeliveryField;
using S = EntrySection;
using V = BoxValue;
constexpr BoxAlignment L = BoxAlignment::Left;
constexpr BoxAlignment R = BoxAlignment::Right;
constexpr KanjiRule No = KanjiRule::None;
constexpr KanjiRule Kanji = KanjiRule::Allowed;
constexpr KanjiRule KanjiOnly = KanjiRule::Only;
constexpr BoxTrim Both = BoxTrim::Both;
constexpr BoxTrim End = BoxTrim::End;

// clang-format off
constexpr EntryBoxInfo kBoxes[] = {
//   box                     name           E   K   section       wide   caption                    field                    kanji field              value         column                 order  modes           align kanji      trim
    {B::OrdererCode,         "Text3",       1,  1,  S::Record,    false, u"発注者ｺｰﾄﾞ：",            F::OrdererCode,          {},                      V::Text,      "OrdererCode",         false, kNewRecordOnly, L,    No,        Both},
    {B::OrdererName,         "Text4",       2,  2,  S::Record,    false, nullptr,                   {},                      {},                      V::Shown,     nullptr,               false, kNoMode,        L,    No,        Both},
    {B::UpdatedOn,           "Text5",       4,  4,  S::Record,    false, u"更新日：",                F::UpdatedAt,            {},                      V::Shown,     nullptr,               false, kNoMode,        L,    No,        Both},
    {B::SupplierCode,        "Text6",       3,  3,  S::Record,    false, u"受注者ｺｰﾄﾞ：",            F::SupplierCode,         {},                      V::Text,      "SupplierCode",        false, kNewRecordOnly, L,    No,        Both},
    {B::DeliveryKeyNo,       "Text7",       5,  5,  S::Record,    false, u"納品ｷｰ番号：",            F::DeliveryKeyNo,        {},                      V::Text,      "DeliveryKeyNo",       false, kNewRecordOnly, L,    No,        End},
    {B::OrderNo,             "Text8",       6,  6,  S::Record,    false, u"注文番号：",              F::OrderNo,              {},                      V::Text,      "OrderNo",             true,  kNewRecordOnly, L,    No,        Both},
    {B::ItemCode,            "Text9",       7,  7,  S::OrderData, false, u"品名ｺｰﾄﾞ：",              F::ItemCode,             {},                      V::Text,      "ItemCode",            true,  kWithOrderData, L,    No,        End},
    {B::ItemName,            "Text10",      9,  9,  S::OrderData, true,  u"品  名：",                F::ItemName,             F::ItemNameKanji,        V::Text,      "ItemName",            true,  kWithOrderData, L,    Kanji,     Both},
    {B::Unit,                "Text11",      10, 10, S::OrderData, false, u"単位：",                  F::Unit,                 {},                      V::Text,      "Unit",                true,  kWithOrderData, L,    No,        Both},
    {B::BuyerName,           "Text12",      12, 12, S::OrderData, true,  u"購買担当：",              F::BuyerName,            F::BuyerNameKanji,       V::Text,      "BuyerName",           true,  kWithOrderData, L,    Kanji,     Both},
    {B::DeliveryPlace,       "Text13",      13, 13, S::OrderData, true,  u"受渡場所名：",            F::DeliveryPlace,        F::DeliveryPlaceKanji,   V::Text,      "DeliveryPlace",       true,  kWithOrderData, L,    Kanji,     Both},
    {B::OrdererBarcodeInfo,  "Text14",      11, 0,  S::OrderData, false, u"発注者用ﾊﾞｰｺｰﾄﾞ情報：",    F::OrdererBarcodeInfo,   {},                      V::Text,      "OrdererBarcodeInfo",  true,  kWithOrderData, L,    No,        End},
    {B::OrdererRemarks,      "Text15",      14, 14, S::OrderData, true,  u"発注者用備考：",          F::OrdererRemarks,       F::OrdererRemarksKanji,  V::Text,      "OrdererRemarks",      true,  kWithOrderData, L,    Kanji,     Both},
    {B::OrderQty,            "Text16",      15, 15, S::OrderData, false, u"注文数量：",              F::OrderQty,             {},                      V::Quantity,  "OrderQty",            true,  kWithOrderData, R,    No,        Both},
    {B::InstructedQty,       "Text17",      16, 16, S::OrderData, false, u"納入指示数量：",          F::InstructedQty,        {},                      V::Quantity,  "InstructedQty",       true,  kWithOrderData, R,    No,        Both},
    {B::DueDate,             "Text18",      17, 11, S::OrderData, false, u"納期：",                  F::DueDate,              {},                      V::Date,      "DueDate",             true,  kWithOrderData, R,    No,        Both},
    {B::InspectionClass,     "Combo1",      8,  8,  S::OrderData, false, u"検査区分：",              F::InspectionClass,      {},                      V::Code,      "InspectionClass",     true,  kWithOrderData, L,    No,        Both},
    {B::ConsumptionTaxClass, "Combo2",      18, 0,  S::OrderData, false, u"消費税区分：",            F::ConsumptionTaxClass,  {},                      V::Code,      "ConsumptionTaxClass", true,  kWithOrderData, L,    No,        Both},
    {B::TaxationClass,       "Combo3",      19, 0,  S::OrderData, false, u"課税区分：",              F::TaxationClass,        {},                      V::Code,      "TaxationClass",       true,  kWithOrderData, L,    No,        Both},
    {B::PriceDisplayClass,   "Combo4",      20, 0,  S::OrderData, false, u"価格表示区分：",          F::PriceDisplayClass,    {},                      V::Code,      "PriceDisplayClass",   true,  kWithOrderData, L,    No,        Both},
    {B::Currency,            "Combo5",      21, 0,  S::OrderData, false, u"通貨：",                  F::Currency,             {},                      V::Text,      "Currency",            true,  kWithOrderData, L,    No,        Both},
    {B::UnitPrice,           "Text22",      22, 0,  S::OrderData, false, u"単価：",                  F::UnitPrice,            {},                      V::UnitPrice, "UnitPrice",           true,  kWithOrderData, R,    No,        Both},
    {B::BcOutputClass,       "Option1",     0,  17, S::OrderData, true,  u"ＢＣ出力区分：",          F::BcOutputClass,        {},                      V::Code,      "BcOutputClass",       true,  kWithOrderData, L,    No,        Both},
    {B::OrdererUse1,         "Text22",      0,  18, S::OrderData, false, u"発注者使用欄１：",        F::OrdererUse1,          {},                      V::Text,      "OrdererUse1",         true,  kWithOrderData, L,    No,        Both},
    {B::OrdererUse2,         "Text23",      0,  19, S::OrderData, false, u"発注者使用欄２：",        F::OrdererUse2,          {},                      V::Text,      "OrdererUse2",         true,  kWithOrderData, L,    No,        Both},
    {B::OrdererUse3,         "Text24",      0,  20, S::OrderData, true,  u"発注者使用欄３：",        F::OrdererUse3,          {},                      V::Text,      "OrdererUse3",         true,  kWithOrderData, L,    KanjiOnly, Both},
    {B::ShipQty,             "Text19",      23, 21, S::Shipment,  true,  u"納入数量：",              F::ShipQty,              {},                      V::Quantity,  "ShipQty",             false, kEveryMode,     R,    No,        Both},
    {B::ShipDate,            "Text20",      24, 22, S::Shipment,  true,  u"出荷日：",                F::ShipDate,             {},                      V::Date,      "ShipDate",            false, kEveryMode,     R,    No,        Both},
    {B::PlannedDeliveryDate, "Text21",      25, 23, S::Shipment,  true,  u"納入予定日：",            F::PlannedDeliveryDate,  {},                      V::Date,      "PlannedDeliveryDate", false, kEveryMode,     R,    No,        Both},
    {B::AmountExclTax,       "Text24",      26, 0,  S::Shipment,  true,  u"税抜額：",                F::AmountExclTax,        {},                      V::Amount,    "AmountExclTax",       false, kEveryMode,     R,    No,        Both},
    {B::TaxAmount,           "Text23",      27, 0,  S::Shipment,  true,  u"税額：",                  F::TaxAmount,            {},                      V::Amount,    "TaxAmount",           false, kEveryMode,     R,    No,        Both},
    {B::AmountInclTax,       "Text25",      28, 0,  S::Shipment,  true,  u"税込額：",                F::AmountInclTax,        {},                      V::Amount,    "AmountInclTax",       false, kEveryMode,     R,    No,        Both},
    {B::SupplierBarcodeInfo, "Text27",      29, 24, S::Shipment,  true,  u"受注者用ﾊﾞｰｺｰﾄﾞ情報：",    F::SupplierBarcodeInfo,  {},                      V::Text,      "SupplierBarcodeInfo", false, kEveryMode,     L,    No,        End},
    {B::SupplierRemarks,     "Text28",      30, 25, S::Shipment,  true,  u"受注者用備考：",          F::SupplierRemarks,      F::SupplierRemarksKanji, V::Text,      "SupplierRemarks",     false, kEveryMode,     L,    Kanji,     Both},
    {B::TagLines,            "MSFlexGrid1", 31, 26, S::Shipment,  true,  u"荷札",                    F::TagLines,             {},                      V::Tags,      "TagLines",            false, kEveryMode,     L,    No,        Both},
};
// clang-format on

// Every enumerator has its row, in the enumeration's order.
constexpr bool rowsFollowTheEnumeration()
{
    for (size_t i = 0; i < std::size(kBoxes); ++i) {
        if (kBoxes[i].box != EntryBox(i))
            return false;
    }
    return std::size(kBoxes) == size_t(EntryBox::TagLines) + 1;
}
static_assert(rowsFollowTheEnumeration());

constexpr bool startsWith(const char* text, const char* prefix)
{
    for (; *prefix; ++prefix, ++text) {
        if (*text != *prefix)
            return false;
    }
    return true;
}

} // namespace

EntryControl EntryBoxInfo::control() const
{
    if (startsWith(objectName, "Text"))
        return EntryControl::Text;
    if (startsWith(objectName, "Combo"))
        return EntryControl::Combo;
    if (startsWith(objectName, "Option"))
        return EntryControl::Option;
    return EntryControl::Grid;
}

int EntryBoxInfo::number() const
{
    int n = 0;
    for (const char* c = objectName; *c; ++c) {
        if (*c >= '0' && *c <= '9')
            n = n * 10 + (*c - '0');
    }
    return n;
}

int EntryBoxInfo::decimals(bool foreign) const
{
    switch (value) {
    case BoxValue::Quantity:
        return 3;
    case BoxValue::UnitPrice:
        return foreign ? 5 : 3;
    case BoxValue::Amount:
        return foreign ? 3 : 0;
    default:
        return -1;
    }
}

QString& EntryForm::operator[](EntryBox box)
{
    const EntryBoxInfo& b = entryBox(box);
    switch (b.control()) {
    case EntryControl::Text:
        return text(b.number());
    case EntryControl::Combo:
        return combo(b.number());
    case EntryControl::Option:
    case EntryControl::Grid:
        break;
    }
    throw std::logic_error("no text of the box " + std::string(b.objectName));
}

const QString& EntryForm::operator[](EntryBox box) const
{
    return const_cast<EntryForm&>(*this)[box];
}

std::span<const EntryBoxInfo> entryBoxes()
{
    return kBoxes;
}

const EntryBoxInfo& entryBox(EntryBox box)
{
    return kBoxes[size_t(box)];
}

QList<const EntryBoxInfo*> boxesOf(Protocol format)
{
    QList<const EntryBoxInfo*> boxes;
    for (const EntryBoxInfo& b : kBoxes) {
        if (b.tab(format) > 0)
            boxes.append(&b);
    }
    std::sort(boxes.begin(), boxes.end(),
              [format](const EntryBoxInfo* a, const EntryBoxInfo* b) { return a->tab(format) < b->tab(format); });
    return boxes;
}

const EntryBoxInfo* boxNamed(const QString& control, Protocol format)
{
    const QString name = control == QLatin1String("Option2") ? QStringLiteral("Option1") : control;
    for (const EntryBoxInfo& b : kBoxes) {
        if (b.tab(format) > 0 && name == QLatin1String(b.objectName))
            return &b;
    }
    return nullptr;
}

const EntryBoxInfo* boxOfColumn(const QString& column, Protocol format)
{
    for (const EntryBoxInfo& b : kBoxes) {
        if (b.tab(format) > 0 && b.column && column == QLatin1String(b.column))
            return &b;
    }
    return nullptr;
}

QString captionOf(const QString& control, Protocol format)
{
    // The buttons a refusal sends the focus to, or names for a record it
    // cannot register.
    static const QHash<QString, QString> buttons = {
        {QStringLiteral("Command1"), QStringLiteral("戻る")},
        {QStringLiteral("Command4"), QStringLiteral("登録")},
        {QStringLiteral("Command5"), QStringLiteral("登録印刷")},
        {QStringLiteral("Command7"), QStringLiteral("受注ﾃﾞｰﾀ修正")},
    };
    if (const EntryBoxInfo* b = boxNamed(control, format); b && b->caption)
        return QString::fromUtf16(b->caption);
    return buttons.value(control, control);
}

} // namespace plx
