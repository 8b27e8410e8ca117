#include "ListGrid.h"

#include "ui/CenterWindow.h"

#include "core/text/FixedField.h"
#include "list/DeliveryListModel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace plx {

namespace {

constexpr int kRowsAlwaysShown = 5;
// The fixed column of running numbers.
constexpr int kFixedColumn = columnIndex(ListColumn::Number);

// The tint of the current row's cells (the selection colour, lightened), so
// that the row Enter and 出荷登録 start from shows across the whole grid.
QColor currentRowTint(const QPalette& palette)
{
    QColor tint = palette.color(QPalette::Active, QPalette::Highlight);
    tint.setAlpha(64);
    return tint;
}

bool isCurrentRow(const QWidget* widget, const QModelIndex& index)
{
    const auto* view = qobject_cast<const QAbstractItemView*>(widget);
    return view && view->currentIndex().isValid() && view->currentIndex().row() == index.row();
}

// Paints the running-number column like the grid's fixed header cells.
class FixedColumnDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->fillRect(option.rect, option.palette.button());
        if (isCurrentRow(option.widget, index))
            painter->fillRect(option.rect, currentRowTint(option.palette));
        QStyleOptionViewItem plain = option;
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QStyledItemDelegate::paint(painter, plain, index);
    }
};

// Draws the stored texts without their trailing blanks (they would push a
// centred text off centre). A long text is clipped, except in the name
// columns, where it ends in an ellipsis.
class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override
    {
        return fixed::trimmedRight(QStyledItemDelegate::displayText(value, locale));
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // A centred text wider than its column shows its beginning, not its middle.
        if ((option->displayAlignment & Qt::AlignHCenter) &&
            option->fontMetrics.horizontalAdvance(option->text) > option->rect.width() - 6)
            option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        // A name too long for its column ends in "…" (its tooltip holds the
        // whole of it), never in half a character.
        if (index.column() == columnIndex(ListColumn::OrdererName) ||
            index.column() == columnIndex(ListColumn::ItemName))
            option->textElideMode = Qt::ElideRight;
        if (!(option->state & QStyle::State_Selected) && isCurrentRow(option->widget, index))
            option->backgroundBrush = currentRowTint(option->palette);
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
    setItemDelegateForColumn(kFixedColumn, new FixedColumnDelegate(this));
    // Tab goes on to the buttons; the arrow keys move within the grid.
    setTabKeyNavigation(false);
    // By pixels, so that a column scrolled under the fixed one can still be
    // brought wholly into view.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // The fixed column: a second view of the same model and selection that
    // shows column 0 only, laid over the left edge of the cells. It lets the
    // mouse through to the cells under it, where indexAt() takes the strip for
    // column 0, so that the grid sees every press, drag and double-click of
    // the fixed column as its own, as the window system delivers them.
    m_fixed = new QTableView(this);
    m_fixed->setObjectName(QStringLiteral("FixedColumn"));
    m_fixed->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_fixed->setFocusPolicy(Qt::NoFocus);
    m_fixed->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fixed->setSelectionMode(QAbstractItemView::NoSelection);
    m_fixed->setTabKeyNavigation(false);
    m_fixed->setWordWrap(false);
    m_fixed->setTextElideMode(Qt::ElideNone);
    m_fixed->setFrameShape(QFrame::NoFrame);
    m_fixed->verticalHeader()->hide();
    m_fixed->horizontalHeader()->setHighlightSections(false);
    m_fixed->horizontalHeader()->setSectionsClickable(false);
    m_fixed->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_fixed->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_fixed->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixed->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fixed->setItemDelegate(new FixedColumnDelegate(m_fixed));
    viewport()->stackUnder(m_fixed);
    m_fixed->show();

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == kFixedColumn)
            syncFixedColumn();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_fixed->verticalScrollBar(), &QScrollBar::setValue);
    connect(m_fixed->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
}

void ListGrid::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    m_fixed->setModel(model);
    m_fixed->setSelectionModel(selectionModel());
    if (model) {
        // A reload resets the model and with it the hidden columns.
        connect(model, &QAbstractItemModel::modelReset, this, [this] { syncFixedColumn(); });
        connect(model, &QAbstractItemModel::layoutChanged, this, [this] { syncFixedColumn(); });
        connect(model, &QAbstractItemModel::columnsInserted, this, [this] { syncFixedColumn(); });
    }
    syncFixedColumn();
}

void ListGrid::syncFixedColumn()
{
    if (!model())
        return;
    for (int c = 0; c < model()->columnCount(); ++c)
        m_fixed->setColumnHidden(c, c != kFixedColumn);
    m_fixed->setColumnWidth(kFixedColumn, columnWidth(kFixedColumn));
    m_fixed->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    m_fixed->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
    placeFixedColumn();
}

void ListGrid::placeFixedColumn()
{
    const int header = horizontalHeader()->isVisible() ? horizontalHeader()->height() : 0;
    m_fixed->setGeometry(frameWidth(), frameWidth(), columnWidth(kFixedColumn), viewport()->height() + header);
    m_fixed->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void ListGrid::applyLayout()
{
    for (int c = 0; c < kListColumnCount; ++c)
        horizontalHeader()->resizeSection(c, twipsToPixels(DeliveryListModel::columnWidthTwips(c)));
    verticalHeader()->setDefaultSectionSize((250 + kTwipsPerPixel - 1) / kTwipsPerPixel);
    horizontalHeader()->setFixedHeight(twipsToPixels(500));
    // However small the window, the grid keeps a few whole rows in view.
    setMinimumHeight(horizontalHeader()->height() + kRowsAlwaysShown * verticalHeader()->defaultSectionSize() +
                     horizontalScrollBar()->sizeHint().height() + 2 * frameWidth());
    syncFixedColumn();
}

void ListGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    placeFixedColumn();
}

void ListGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (m_fixed)
        placeFixedColumn();
}

void ListGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QScrollBar* across = horizontalScrollBar();
    if (index.column() == kFixedColumn) {
        // The fixed column is always in view: scroll up or down only.
        const int keep = across->value();
        QTableView::scrollTo(index, hint);
        across->setValue(keep);
        return;
    }
    QTableView::scrollTo(index, hint);
    // A cell is not in view while the fixed column covers its left part.
    const int covered = columnWidth(kFixedColumn) - visualRect(index).left();
    if (index.isValid() && covered > 0)
        across->setValue(across->value() - covered);
}

QString ListGrid::cutText(const QModelIndex& index) const
{
    if (!index.isValid())
        return QString();
    const QString text = fixed::trimmedRight(index.data(Qt::DisplayRole).toString());
    if (text.isEmpty())
        return QString();
    const QVariant fontData = index.data(Qt::FontRole);
    const QFont cellFont = fontData.isValid() ? fontData.value<QFont>() : font();
    // The delegate leaves a margin at each side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int room = columnWidth(index.column()) - (showGrid() ? 1 : 0) - 2 * margin;
    return QFontMetrics(cellFont).horizontalAdvance(text) > room ? text : QString();
}

bool ListGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = cutText(index);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        return true;
    }
    return QTableView::viewportEvent(event);
}

QModelIndex ListGrid::indexAt(const QPoint& point) const
{
    const QModelIndex index = QTableView::indexAt(point);
    if (!index.isValid() || index.column() == kFixedColumn || !m_fixed || point.x() >= m_fixed->width())
        return index;
    return model()->index(index.row(), kFixedColumn);
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
    const QModelIndex topLeft = model()->index(first - 1, kRowFirstColumn);
    const QModelIndex bottomRight = model()->index(last - 1, kRowLastColumn);
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

void ListGrid::selectRowsTo(int anchor, int row)
{
    if (!model() || row < 1 || row > model()->rowCount())
        return;
    m_anchorRow = anchor;
    const int column = std::max(currentIndex().column(), kRowFirstColumn);
    const QModelIndex topLeft = model()->index(std::min(anchor, row) - 1, kRowFirstColumn);
    const QModelIndex bottomRight = model()->index(std::max(anchor, row) - 1, kRowLastColumn);
    selectionModel()->setCurrentIndex(model()->index(row - 1, column), QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
    scrollTo(currentIndex());
}

void ListGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The whole current row is tinted: both rows are drawn again.
    if (current.row() != previous.row()) {
        viewport()->update();
        m_fixed->viewport()->update();
    }
}

void ListGrid::mousePressEvent(QMouseEvent* event)
{
    emit touched();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index.column() == kFixedColumn && event->button() == Qt::LeftButton) {
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
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    // Whichever cell was hit, the row is what a double-click opens: it becomes
    // the whole-row selection first.
    const int row = index.row() + 1;
    m_anchorRow = row;
    m_rowDragging = false;
    selectRows(row, row);
    emit openRequested(row, false);
}

void ListGrid::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && currentIndex().isValid()) {
        emit touched();
        emit openRequested(currentIndex().row() + 1, true);
        return;
    }
    const bool upOrDown = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (upOrDown && (event->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier && currentIndex().isValid()) {
        // Shift+Up/Down selects whole rows from the anchor row, as a drag over
        // the running numbers does; the moving end becomes the current row.
        const int row = currentIndex().row() + 1;
        const GridSelection s = selectionRect();
        const bool wholeRows = s.valid && s.firstColumn <= kRowFirstColumn && s.lastColumn == kRowLastColumn &&
                               s.firstRow <= row && row <= s.lastRow && m_anchorRow >= s.firstRow &&
                               m_anchorRow <= s.lastRow;
        const int anchor = wholeRows ? m_anchorRow : row;
        const int end = wholeRows ? (anchor == s.firstRow ? s.lastRow : s.firstRow) : row;
        const int to = std::clamp(end + (event->key() == Qt::Key_Up ? -1 : 1), 1, model()->rowCount());
        emit touched();
        selectRowsTo(anchor, to);
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace plx
