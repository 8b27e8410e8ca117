#pragma once

#include "EntryBoxes.h"
#include "ShipmentTypes.h"

#include <QList>
#include <QString>

#include <array>

namespace plx {

// One row of the tag grid: the quantity per package (column 1) and the number
// of tags (column 2), as the cells show them.
struct TagRow
{
    QString qty;
    QString count;
    bool operator==(const TagRow&) const = default;
};

// The boxes of an entry window as texts: what the window shows and what the
// operator typed. The window binds its widgets to these values; the command
// line fills them as an operator would.
struct EntryForm
{
    // Text3 ... Text28 by their number (0 ... 2 unused).
    std::array<QString, 29> texts;
    // Combo1 ... Combo4 by their number: the code of the selected code-table
    // entry (kinds "01" ... "04" of the window's format), empty for none.
    // Combo5 (EIAJ currency) is the currency code as typed or chosen.
    std::array<QString, 6> combos;
    // KORVAN bar-code output: 1 Option1 (出力する), 2 Option2 (出力しない), 0 none.
    int bcOption = 0;
    // The tag grid's rows, as many as the tag-line setting asks for.
    QList<TagRow> tags;

    // A text box's text or a class list's code by the box's meaning; the
    // bar-code output class and the grid have their own members.
    QString& operator[](EntryBox box);
    const QString& operator[](EntryBox box) const;

    QString& text(int n) { return texts.at(size_t(n)); }
    const QString& text(int n) const { return texts.at(size_t(n)); }
    QString& combo(int n) { return combos.at(size_t(n)); }
    const QString& combo(int n) const { return combos.at(size_t(n)); }
    bool operator==(const EntryForm&) const = default;
};

// Where the focus goes: a control by its name ("Text19", "Combo2", "Option1",
// "Command7", "Command1", "MSFlexGrid1"), and for the grid the cell.
struct FocusTarget
{
    QString control;
    int row = -1;    // grid row from 0
    int column = -1; // grid column 1 (quantity) or 2 (count)
    bool operator==(const FocusTarget&) const = default;
};

// Names of the controls.
inline QString textBox(int n)
{
    return QStringLiteral("Text%1").arg(n);
}
inline const QString kTagGrid = QStringLiteral("MSFlexGrid1");

} // namespace plx
