#pragma once

#include "list/DeliveryList.h"

#include <QTableView>

namespace plx {

// A list grid: column 0 is the fixed column with the running numbers; pressing
// it (or dragging over it) selects whole rows, columns 1 to 12. Other cells
// select as a single rectangle.
class ListGrid : public QTableView
{
    Q_OBJECT
public:
    explicit ListGrid(QWidget* parent = nullptr);

    // Applies the column widths and alignments of the list and the row heights.
    void applyLayout();

    GridSelection selectionRect() const;
    // Selects rows `first`..`last` (1-based), columns 1 to 12.
    void selectRows(int first, int last);
    // Makes the cell at (row, column) current and the selection that cell only
    // (row 0 means the header: nothing is selected).
    void selectCell(int row, int column);

signals:
    // Pressed or double-clicked anywhere in the grid.
    void touched();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int m_anchorRow = -1;
    bool m_rowDragging = false;
};

} // namespace plx
