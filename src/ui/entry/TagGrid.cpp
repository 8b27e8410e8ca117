#include "TagGrid.h"

#include "shipment/EntryFormats.h"
#include "shipment/EntryLimits.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace plx {

namespace {

// Column of the table for grid column 1 (quantity) and 2 (count).
constexpr int kQuantity = 0;
constexpr int kCount = 1;

QTableWidgetItem* cellItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

TagGrid::TagGrid(QWidget* parent) : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({QStringLiteral("入数 "), QStringLiteral("荷札枚数 ")});
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    // Tab leaves the grid for the next box of the form.
    setTabKeyNavigation(false);
    // Column widths 1540 and 750 twips, the fixed column 270, rows 261.
    setColumnWidth(kQuantity, 1540 / 15);
    setColumnWidth(kCount, 750 / 15);
    verticalHeader()->setMinimumWidth(270 / 15);
    verticalHeader()->setDefaultSectionSize(261 / 15 + 4);
    horizontalHeader()->setStretchLastSection(true);
    auto* delegate = new TagCellDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &TagCellDelegate::entered, this, [this] { advance(); });
    showFocus(false);
}

void TagGrid::setRowTotal(int rows)
{
    setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        for (int column : {kQuantity, kCount}) {
            if (!item(row, column))
                setItem(row, column, cellItem(QString()));
        }
    }
}

QList<TagRow> TagGrid::tagRows() const
{
    QList<TagRow> rows;
    for (int row = 0; row < rowCount(); ++row)
        rows.append({item(row, kQuantity)->text(), item(row, kCount)->text()});
    return rows;
}

void TagGrid::setTagRows(const QList<TagRow>& rows)
{
    if (rows.size() != rowCount())
        setRowTotal(int(rows.size()));
    for (int row = 0; row < rows.size(); ++row) {
        if (item(row, kQuantity)->text() != rows[row].qty)
            item(row, kQuantity)->setText(rows[row].qty);
        if (item(row, kCount)->text() != rows[row].count)
            item(row, kCount)->setText(rows[row].count);
    }
}

void TagGrid::focusCell(int row, int column)
{
    if (rowCount() == 0)
        return;
    setCurrentCell(std::clamp(row, 0, rowCount() - 1), column == 2 ? kCount : kQuantity);
    setFocus(Qt::OtherFocusReason);
}

void TagGrid::toFirstRow()
{
    if (rowCount() == 0)
        return;
    setCurrentCell(0, kQuantity);
    scrollToTop();
}

void TagGrid::advance()
{
    const int row = currentRow();
    if (currentColumn() == kQuantity)
        setCurrentCell(row, kCount);
    else if (row + 1 < rowCount())
        setCurrentCell(row + 1, kQuantity);
}

void TagGrid::keyPressEvent(QKeyEvent* event)
{
    // Enter on a cell that is not being edited moves on as after an edit; it
    // never reaches the window's buttons.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
        advance();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TagGrid::focusInEvent(QFocusEvent* event)
{
    QTableWidget::focusInEvent(event);
    showFocus(true);
}

void TagGrid::focusOutEvent(QFocusEvent* event)
{
    QTableWidget::focusOutEvent(event);
    // The cell's edit box has the focus: the grid is still where the clerk is.
    showFocus(isAncestorOf(QApplication::focusWidget()));
}

void TagGrid::showFocus(bool focused)
{
    const QPalette app = QApplication::palette(this);
    QPalette p = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight,
                   focused ? app.color(group, QPalette::Highlight) : app.color(group, QPalette::Midlight));
        p.setColor(group, QPalette::HighlightedText,
                   focused ? app.color(group, QPalette::HighlightedText) : app.color(group, QPalette::Text));
    }
    setPalette(p);
    update();
}

bool TagGrid::event(QEvent* event)
{
    const bool done = QTableWidget::event(event);
    // The frame round the headers and cells, over the style's own.
    if (event->type() == QEvent::Paint && (hasFocus() || isAncestorOf(QApplication::focusWidget()))) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    return done;
}

QWidget* TagCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor->setObjectName(QStringLiteral("Text26"));
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setAlignment(Qt::AlignRight);
        edit->setMaxLength(tagEditorMaxLength(index.column() == kQuantity ? 1 : 2));
    }
    return editor;
}

void TagCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    auto* edit = qobject_cast<QLineEdit*>(editor);
    if (!edit)
        return;
    const QString text =
        index.column() == kQuantity ? tagQuantityCellText(edit->text()) : tagCountCellText(edit->text());
    model->setData(index, text, Qt::EditRole);
}

bool TagCellDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            emit entered();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace plx
