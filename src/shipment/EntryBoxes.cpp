#include "EntryBoxes.h"

#include "EntryForm.h"

#include <algorithm>

namespace plx {

namespace {

using B = EntryBox;
using F = DeliveryField;
using S = EntrySection;
using V = BoxValue;
using W = EntryWidget;
constexpr BoxAlignment L = BoxAlignment::Left;
constexpr BoxAlignment R = BoxAlignment::Right;
constexpr KanjiRule No = KanjiRule::None;
constexpr KanjiRule Kanji = KanjiRule::Allowed;
constexpr KanjiRule KanjiOnly = KanjiRule::Only;
constexpr BoxTrim Both = BoxTrim::Both;
constexpr BoxTrim End = BoxTrim::End;

// The patterns of the number and date boxes: as a record's field shows in the
// box, and as the box's number is stored.
constexpr NumberPattern kNone{};
constexpr NumberPattern kQtyShown{u"##,###,##0.000", u"##,###,##0.000"};
constexpr NumberPattern kQtyStored{u"000000000.000", u"000000000.000"};
constexpr NumberPattern kPriceShown{u"#,###,###,##0.000", u"###,###,###,##0.00000"};
constexpr NumberPattern kPriceStored{u"00000000000.000", u"000000000000.00000"};
constexpr NumberPattern kAmountShown{u"#,###,###,##0", u"###,###,###,##0.000"};
constexpr NumberPattern kAmountStored{u"0000000000", u"000000000000.000"};
// A blank due date shows blank; the shipment's dates have no pattern: a blank
// one shows "0000/00/00" (storedDateText).
constexpr NumberPattern kDueDateShown{u"0000/00/00", u"0000/00/00"};

// clang-format off
constexpr EntryBoxInfo kBoxes[] = {
//   box                     name           widget      E   K   section       wide   caption                    field                    kanji field              foreign field        value         kind  shown          stored          calc   order  modes           align kanji      trim  leave operation
    {B::OrdererCode,         "Text3",       W::Line,    1,  1,  S::Record,    false, u"発注者ｺｰﾄﾞ：",            F::OrdererCode,          {},                      {},                  V::Text,      {},   kNone,         kNone,          false, false, kNewRecordOnly, L,    No,        Both, u"発注企業情報初期表示/"},
    {B::OrdererName,         "Text4",       W::Line,    2,  2,  S::Record,    false, nullptr,                   {},                      {},                      {},                  V::Shown,     {},   kNone,         kNone,          false, false, kNoMode,        L,    No,        Both},
    {B::UpdatedOn,           "Text5",       W::Line,    4,  4,  S::Record,    false, u"更新日：",                F::UpdatedAt,            {},                      {},                  V::Shown,     {},   kNone,         kNone,          false, false, kNoMode,        L,    No,        Both},
    {B::SupplierCode,        "Text6",       W::Line,    3,  3,  S::Record,    false, u"受注者ｺｰﾄﾞ：",            F::SupplierCode,         {},                      {},                  V::Text,      {},   kNone,         kNone,          false, false, kNewRecordOnly, L,    No,        Both, u"発注企業情報初期表示/"},
    {B::DeliveryKeyNo,       "Text7",       W::Line,    5,  5,  S::Record,    false, u"納品ｷｰ番号：",            F::DeliveryKeyNo,        {},                      {},                  V::Text,      {},   kNone,         kNone,          false, false, kNewRecordOnly, L,    No,        End},
    {B::OrderNo,             "Text8",       W::Line,    6,  6,  S::Record,    false, u"注文番号：",              F::OrderNo,              {},                      {},                  V::Text,      {},   kNone,         kNone,          false, true,  kNewRecordOnly, L,    No,        Both},
    {B::ItemCode,            "Text9",       W::Line,    7,  7,  S::OrderData, false, u"品名ｺｰﾄﾞ：",              F::ItemCode,             {},                      {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    No,        End},
    {B::ItemName,            "Text10",      W::Line,    9,  9,  S::OrderData, true,  u"品  名：",                F::ItemName,             F::ItemNameKanji,        {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    Kanji,     Both},
    {B::Unit,                "Text11",      W::Line,    10, 10, S::OrderData, false, u"単位：",                  F::Unit,                 {},                      {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    No,        Both},
    {B::BuyerName,           "Text12",      W::Line,    12, 12, S::OrderData, true,  u"購買担当：",              F::BuyerName,            F::BuyerNameKanji,       {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    Kanji,     Both},
    {B::DeliveryPlace,       "Text13",      W::Line,    13, 13, S::OrderData, true,  u"受渡場所名：",            F::DeliveryPlace,        F::DeliveryPlaceKanji,   {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    Kanji,     Both},
    {B::OrdererBarcodeInfo,  "Text14",      W::Line,    11, 0,  S::OrderData, false, u"発注者用ﾊﾞｰｺｰﾄﾞ情報：",    F::OrdererBarcodeInfo,   {},                      {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    No,        End},
    {B::OrdererRemarks,      "Text15",      W::Line,    14, 14, S::OrderData, true,  u"発注者用備考：",          F::OrdererRemarks,       F::OrdererRemarksKanji,  {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    Kanji,     Both},
    {B::OrderQty,            "Text16",      W::Line,    15, 15, S::OrderData, false, u"注文数量：",              F::OrderQty,             {},                      {},                  V::Quantity,  {},   kQtyShown,     kQtyStored,     false, true,  kWithOrderData, R,    No,        Both},
    {B::InstructedQty,       "Text17",      W::Line,    16, 16, S::OrderData, false, u"納入指示数量：",          F::InstructedQty,        {},                      {},                  V::Quantity,  {},   kQtyShown,     kQtyStored,     false, true,  kWithOrderData, R,    No,        Both},
    {B::DueDate,             "Text18",      W::Line,    17, 11, S::OrderData, false, u"納期：",                  F::DueDate,              {},                      {},                  V::Date,      {},   kDueDateShown, kNone,          false, true,  kWithOrderData, R,    No,        Both},
    {B::InspectionClass,     "Combo1",      W::List,    8,  8,  S::OrderData, false, u"検査区分：",              F::InspectionClass,      {},                      {},                  V::Code,      "01", kNone,         kNone,          false, true,  kWithOrderData, L,    No,        Both},
    {B::ConsumptionTaxClass, "Combo2",      W::List,    18, 0,  S::OrderData, false, u"消費税区分：",            F::ConsumptionTaxClass,  {},                      {},                  V::Code,      "02", kNone,         kNone,          true,  true,  kWithOrderData, L,    No,        Both, u"消費税区分ﾌｫｰｶｽ移動/"},
    {B::TaxationClass,       "Combo3",      W::List,    19, 0,  S::OrderData, false, u"課税区分：",              F::TaxationClass,        {},                      {},                  V::Code,      "03", kNone,         kNone,          true,  true,  kWithOrderData, L,    No,        Both, u"課税区分ﾌｫｰｶｽ移動/"},
    {B::PriceDisplayClass,   "Combo4",      W::List,    20, 0,  S::OrderData, false, u"価格表示区分：",          F::PriceDisplayClass,    {},                      {},                  V::Code,      "04", kNone,         kNone,          false, true,  kWithOrderData, L,    No,        Both},
    {B::Currency,            "Combo5",      W::List,    21, 0,  S::OrderData, false, u"通貨：",                  F::Currency,             {},                      {},                  V::Currency,  "05", kNone,         kNone,          false, true,  kWithOrderData, L,    No,        Both},
    {B::UnitPrice,           "Text22",      W::Line,    22, 0,  S::OrderData, false, u"単価：",                  F::UnitPrice,            {},                      F::UnitPriceX,       V::UnitPrice, {},   kPriceShown,   kPriceStored,   true,  true,  kWithOrderData, R,    No,        Both, u"単価ﾌｫｰｶｽ移動/"},
    {B::BcOutputClass,       "Option1",     W::Options, 0,  17, S::OrderData, true,  u"ＢＣ出力区分：",          F::BcOutputClass,        {},                      {},                  V::Code,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    No,        Both},
    {B::OrdererUse1,         "Text22",      W::Line,    0,  18, S::OrderData, false, u"発注者使用欄１：",        F::OrdererUse1,          {},                      {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    No,        Both},
    {B::OrdererUse2,         "Text23",      W::Line,    0,  19, S::OrderData, false, u"発注者使用欄２：",        F::OrdererUse2,          {},                      {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    No,        Both},
    {B::OrdererUse3,         "Text24",      W::Line,    0,  20, S::OrderData, true,  u"発注者使用欄３：",        F::OrdererUse3,          {},                      {},                  V::Text,      {},   kNone,         kNone,          false, true,  kWithOrderData, L,    KanjiOnly, Both},
    {B::ShipQty,             "Text19",      W::Line,    23, 21, S::Shipment,  true,  u"納入数量：",              F::ShipQty,              {},                      {},                  V::Quantity,  {},   kQtyShown,     kQtyStored,     true,  false, kEveryMode,     R,    No,        Both, u"出荷数量ﾌｫｰｶｽ移動/"},
    {B::ShipDate,            "Text20",      W::Line,    24, 22, S::Shipment,  true,  u"出荷日：",                F::ShipDate,             {},                      {},                  V::Date,      {},   kNone,         kNone,          false, false, kEveryMode,     R,    No,        Both},
    {B::PlannedDeliveryDate, "Text21",      W::Line,    25, 23, S::Shipment,  true,  u"納入予定日：",            F::PlannedDeliveryDate,  {},                      {},                  V::Date,      {},   kNone,         kNone,          false, false, kEveryMode,     R,    No,        Both},
    {B::AmountExclTax,       "Text24",      W::Line,    26, 0,  S::Shipment,  true,  u"税抜額：",                F::AmountExclTax,        {},                      F::AmountExclTaxX,   V::Amount,    {},   kAmountShown,  kAmountStored,  false, false, kEveryMode,     R,    No,        Both},
    {B::TaxAmount,           "Text23",      W::Line,    27, 0,  S::Shipment,  true,  u"税額：",                  F::TaxAmount,            {},                      F::TaxAmountX,       V::Amount,    {},   kAmountShown,  kAmountStored,  false, false, kEveryMode,     R,    No,        Both},
    {B::AmountInclTax,       "Text25",      W::Line,    28, 0,  S::Shipment,  true,  u"税込額：",                F::AmountInclTax,        {},                      F::AmountInclTaxX,   V::Amount,    {},   kAmountShown,  kAmountStored,  false, false, kEveryMode,     R,    No,        Both},
    {B::SupplierBarcodeInfo, "Text27",      W::Line,    29, 24, S::Shipment,  true,  u"受注者用ﾊﾞｰｺｰﾄﾞ情報：",    F::SupplierBarcodeInfo,  {},                      {},                  V::Text,      {},   kNone,         kNone,          false, false, kEveryMode,     L,    No,        End},
    {B::SupplierRemarks,     "Text28",      W::Line,    30, 25, S::Shipment,  true,  u"受注者用備考：",          F::SupplierRemarks,      F::SupplierRemarksKanji, {},                  V::Text,      {},   kNone,         kNone,          false, false, kEveryMode,     L,    Kanji,     Both},
    {B::TagLines,            "MSFlexGrid1", W::Grid,    31, 26, S::Shipment,  true,  u"荷札",                    F::TagLines,             {},                      {},                  V::Tags,      {},   kNone,         kNone,          false, false, kEveryMode,     L,    No,        Both},
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

} // namespace

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

bool hasBox(EntryBox box, Protocol format)
{
    return entryBox(box).tab(format) > 0;
}

const EntryBoxInfo* boxOfColumn(const QString& column, Protocol format)
{
    for (const EntryBoxInfo& b : kBoxes) {
        if (b.tab(format) > 0 && !column.isEmpty() && column == b.column())
            return &b;
    }
    return nullptr;
}

QString EntryBoxInfo::column() const
{
    return modes != kNoMode && field ? QLatin1String(DeliveryRecord::fields()[size_t(*field)].name) : QString();
}

QString captionOf(const EntryPlace& place)
{
    if (place.button) {
        switch (*place.button) {
        case EntryButton::Return:
            return QStringLiteral("戻る");
        case EntryButton::PreviousPage:
            return QStringLiteral("前頁");
        case EntryButton::NextPage:
            return QStringLiteral("次頁");
        case EntryButton::Register:
            return QStringLiteral("登録");
        case EntryButton::RegisterAndIssue:
            return QStringLiteral("登録印刷");
        case EntryButton::Delete:
            return QStringLiteral("削除");
        case EntryButton::CorrectOrderData:
            return QStringLiteral("受注ﾃﾞｰﾀ修正");
        }
    }
    if (!place.box)
        return QString();
    // The orderer's name stands beside its code without a caption.
    const EntryBoxInfo& b = entryBox(*place.box);
    return b.caption ? QString::fromUtf16(b.caption) : b.name();
}

} // namespace plx
