#pragma once

#include "shipment/EntryForm.h"

#include <QStyledItemDelegate>
#include <QTableWidget>

namespace plx {

// The shipping-tag grid of an entry window: one row per tag line, the quantity
// per package in column 1 and the number of tags in column 2 (the fixed column
// 0 is the vertical header). Typing in a cell edits it with the typed
// character; Enter writes the cell formatted and moves from the quantity to the
// count and on to the next row's quantity; Esc drops the edit.
class TagGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit TagGrid(QWidget* parent = nullptr);

    void setRowTotal(int rows);
    QList<TagRow> tagRows() const;
    void setTagRows(const QList<TagRow>& rows);
    // Makes a cell current (row from 0, column 1 quantity or 2 count) and
    // gives the grid the focus.
    void focusCell(int row, int column);
    // Makes the first row's quantity current and shows the top of the grid,
    // without taking the focus: where a newly shown record's entries begin.
    void toFirstRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    // The grid looks focused while it has the focus: a frame and the current
    // cell in the highlight colour; without the focus the current cell is
    // shown in a quiet colour and the frame is the style's own.
    void showFocus(bool focused);

    // From column 1 to column 2 of the row, from column 2 to column 1 of the
    // next row when there is one.
    void advance();
};

// The edit box over a cell of the tag grid (Text26).
class TagCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

signals:
    // Enter wrote the edit box into its cell.
    void entered();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};

} // namespace plx
