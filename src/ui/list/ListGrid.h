#pragma once

#include "list/DeliveryList.h"

#include <QTableView>

namespace plx {

// A list grid: column 0 is the fixed column with the running numbers; pressing
// it (or dragging over it), or Shift+Up/Down, selects whole rows (the columns
// kRowFirstColumn to kRowLastColumn). Other cells select as a single rectangle. The current row is tinted
// across the grid. A double-click on any cell of a row, or Enter, asks for the
// row to be opened. The fixed column stays at the left while the
// other columns scroll under it, Tab leaves the grid for the next control, and
// a cell whose text is cut shows the whole text as its tooltip.
class ListGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ListGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // The strip where the fixed column lies over the cells is column 0.
    QModelIndex indexAt(const QPoint& point) const override;

    // Applies the column widths and alignments of the list and the row heights.
    void applyLayout();

    GridSelection selectionRect() const;
    // Selects rows `first`..`last` (1-based), whole: the columns kRowFirstColumn to kRowLastColumn.
    void selectRows(int first, int last);
    // Selects whole rows from `anchor` to `row` (1-based, either order) and
    // makes `row` the current one: Shift+Up/Down.
    void selectRowsTo(int anchor, int row);
    // Makes the cell at (row, column) current and the selection that cell only
    // (row 0 means the header: nothing is selected).
    void selectCell(int row, int column);

    // The view that keeps the fixed column in place over the scrolled cells.
    QTableView* fixedColumnView() const { return m_fixed; }
    // The whole text of a cell when its column is too narrow to show it; empty
    // when it fits.
    QString cutText(const QModelIndex& index) const;

signals:
    // Pressed, double-clicked or Enter pressed anywhere in the grid.
    void touched();
    // A double-click on listed row `row` (from 1), or Enter with `row` the
    // current row: the window decides what the row opens (see rowsToOpen).
    void openRequested(int row, bool byEnter);

protected:
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    // Shows only column 0 in the fixed view, as wide and as high as here.
    void syncFixedColumn();
    void placeFixedColumn();

    QTableView* m_fixed = nullptr;
    int m_anchorRow = -1;
    bool m_rowDragging = false;
};

} // namespace plx
