#pragma once

#include "EntryBoxes.h"
#include "ShipmentTypes.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace plx {

// One row of the tag grid: the quantity per package (column 1) and the number
// of tags (column 2), as the cells show them.
struct TagRow
{
    QString qty;
    QString count;
    bool operator==(const TagRow&) const = default;
};

inline constexpr size_t kEntryBoxCount = size_t(EntryBox::TagLines) + 1;

// The boxes of an entry window as texts, by box: what the window shows and
// what the operator typed. The window binds its widgets to these values; the
// command line fills them as an operator would.
struct EntryForm
{
    // A text box's text; a list's code of the selected code-table entry (the
    // kind of its box, of the window's format), empty for none; the currency
    // as typed or chosen. The bar-code output class and the tag grid have
    // their own members.
    std::array<QString, kEntryBoxCount> texts;
    // The KORVAN bar-code output class: 1 出力する, 2 出力しない, 0 none.
    int bcOption = 0;
    // The tag grid's rows, as many as the tag-line setting asks for.
    QList<TagRow> tags;

    QString& operator[](EntryBox box) { return texts[size_t(box)]; }
    const QString& operator[](EntryBox box) const { return texts[size_t(box)]; }
    bool operator==(const EntryForm&) const = default;
};

// The buttons of an entry window.
enum class EntryButton { Return, PreviousPage, NextPage, Register, RegisterAndIssue, Delete, CorrectOrderData };

// A box or a button of an entry window, by meaning: the one a refusal names,
// or where the focus goes (for the tag grid, also the cell). Neither: none.
struct EntryPlace
{
    std::optional<EntryBox> box;
    std::optional<EntryButton> button;
    int row = -1;    // grid row from 0
    int column = -1; // grid column 1 (quantity) or 2 (count)

    static EntryPlace of(EntryBox box) { return EntryPlace{box, std::nullopt}; }
    static EntryPlace of(EntryButton button) { return EntryPlace{std::nullopt, button}; }
    static EntryPlace cell(int row, int column) { return EntryPlace{EntryBox::TagLines, std::nullopt, row, column}; }
    bool isNone() const { return !box && !button; }
    // The same box or button, whatever the cell.
    bool sameControl(const EntryPlace& other) const { return box == other.box && button == other.button; }
    bool operator==(const EntryPlace&) const = default;
};

// The caption of a box ("納入数量：") or a button ("登録") as the window shows
// it; the grid is "荷札". Empty for none.
QString captionOf(const EntryPlace& place);

} // namespace plx
