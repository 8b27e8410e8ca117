#pragma once

// The columns of a delivery-slip list, numbered from 0 as the list grid and
// `plx90-cli list` number them. Column 0 is the grid's fixed column of
// running numbers; a whole-row selection spans the others. Every name carries
// its number explicitly: the grid, the row selections and the command's
// output all go by these numbers.

namespace plx {

enum class ListColumn : int {
    Number = 0,              // No.: the running number of the listed row
    Status = 1,              // 状態: blank, 待ち or 済
    OrdererName = 2,         // 発注者名称, from the ordering company
    OrderNo = 3,             // 注文番号
    DeliveryKeyNo = 4,       // 納品キー番号
    ItemName = 5,            // 品名
    ItemCode = 6,            // 品名コード
    OrderQty = 7,            // 注文数量
    InspectionClassName = 8, // headed 単位: the code table's name (kind 01) of the inspection class
    DueDate = 9,             // 納期
    InstructedQty = 10,      // 納入指示数量
    ShipDate = 11,           // 出荷日
    ShipQty = 12,            // 納入数量
};
inline constexpr int kListColumnCount = 13;

// The grid's number of a column.
constexpr int columnIndex(ListColumn column)
{
    return static_cast<int>(column);
}

// The columns a whole-row selection spans: all but the running number.
inline constexpr int kRowFirstColumn = columnIndex(ListColumn::Status);
inline constexpr int kRowLastColumn = columnIndex(ListColumn::ShipQty);
static_assert(kRowLastColumn == kListColumnCount - 1);

} // namespace plx
