#include "ListGrid.h"

#include "ui/CenterWindow.h"

#include "list/DeliveryListModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace plx {

namespace {

constexpr int kLastColumn = DeliveryListModel::kColumnCount - 1;

// Paints the running-number column like the grid's fixed header cells.
class FixedColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->fillRect(option.rect, option.palette.button());
        QStyleOptionViewItem plain = option;
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, plain, index);
    }
};

// Draws the stored texts without their trailing blanks (they would push a
// centred text off centre) and clips rather than elides a long text.
class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override
    {
        QString text = QStyledItemDelegate::displayText(value, locale);
        qsizetype n = text.size();
        while (n > 0 && text[n - 1] == QLatin1Char(' '))
            --n;
        text.truncate(n);
        return text;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // A centred text wider than its column shows its beginning, not its middle.
        if ((option->displayAlignment & Qt::AlignHCenter) &&
            option->fontMetrics.horizontalAdvance(option->text) > option->rect.width() - 6)
            option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    }
};

} // namespace

ListGrid::ListGrid(QWidget* parent) : QTableView(parent)
{
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setTextElideMode(Qt::ElideNone);
    setItemDelegate(new CellDelegate(this));
    setItemDelegateForColumn(0, new FixedColumnDelegate(this));
}

void ListGrid::applyLayout()
{
    for (int c = 0; c < DeliveryListModel::kColumnCount; ++c) {
        horizontalHeader()->resizeSection(c, twipsToPixels(DeliveryListModel::columnWidthTwips(c)));
    }
    verticalHeader()->setDefaultSectionSize((250 + kTwipsPerPixel - 1) / kTwipsPerPixel);
    horizontalHeader()->setFixedHeight(twipsToPixels(500));
}

GridSelection ListGrid::selectionRect() const
{
    GridSelection s;
    if (!selectionModel())
        return s;
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return s;
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    for (const QItemSelectionRange& r : selection) {
        top = std::min(top, r.top());
        bottom = std::max(bottom, r.bottom());
        left = std::min(left, r.left());
        right = std::max(right, r.right());
    }
    s.firstRow = top + 1;
    s.lastRow = bottom + 1;
    s.firstColumn = left;
    s.lastColumn = right;
    s.valid = true;
    return s;
}

void ListGrid::selectRows(int first, int last)
{
    if (!model() || first < 1 || last < first)
        return;
    const QModelIndex topLeft = model()->index(first - 1, 1);
    const QModelIndex bottomRight = model()->index(last - 1, kLastColumn);
    selectionModel()->setCurrentIndex(topLeft, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void ListGrid::selectCell(int row, int column)
{
    if (!selectionModel())
        return;
    selectionModel()->clearSelection();
    if (row < 1 || !model() || row > model()->rowCount())
        return;
    const QModelIndex index = model()->index(row - 1, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void ListGrid::mousePressEvent(QMouseEvent* event)
{
    emit touched();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.column() == 0 && event->button() == Qt::LeftButton) {
        const int row = index.row() + 1;
        if (!(event->modifiers() & Qt::ShiftModifier) || m_anchorRow < 1)
            m_anchorRow = row;
        selectRows(std::min(m_anchorRow, row), std::max(m_anchorRow, row));
        m_rowDragging = true;
        return;
    }
    m_rowDragging = false;
    if (index.isValid())
        m_anchorRow = index.row() + 1;
    QTableView::mousePressEvent(event);
}

void ListGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (m_rowDragging) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            selectRows(std::min(m_anchorRow, index.row() + 1), std::max(m_anchorRow, index.row() + 1));
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void ListGrid::mouseReleaseEvent(QMouseEvent* event)
{
    m_rowDragging = false;
    QTableView::mouseReleaseEvent(event);
}

void ListGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit touched();
    QTableView::mouseDoubleClickEvent(event);
}

} // namespace plx
