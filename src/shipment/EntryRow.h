#pragma once

#include "EntryBoxes.h"
#include "EntryForm.h"

#include <QList>
#include <QString>

#include <map>
#include <optional>

namespace plx {

// One row of values to type into an entry window, as a command without a window
// reads them: the record's keys and whatever else the row gives.
struct EntryRow
{
    // The values by box, as given; a box without one (or with an empty one)
    // keeps what the window shows. The tag grid is `tags`.
    std::map<EntryBox, QString> values;
    // The tag grid's rows from its first, when the row gives any.
    std::optional<QList<TagRow>> tags;
    // The row gives tag rows that cannot be read as such.
    bool unreadableTags = false;
};

// Why a row was not registered.
enum class RowRefusal {
    None,
    Window,       // what the window refuses: `message` (or the question answered No) or `text`
    IssuedRecord, // an issued record is registered again only with 登録印刷
    ListedOrder,  // an order number other than the listed record's: it is entered for new records only
    TagRows,      // tag rows that cannot be read, or more of them than the grid has
};

// What typing and registering a row did.
struct EntryRowOutcome
{
    bool written = false;
    QString status; // the Status written
    RowRefusal refusal = RowRefusal::None;
    short message = 0;
    QString text;
    QStringList lead;   // the facts the window shows above `message`
    EntryPlace inError; // the box in error, or the button that refuses the row
    EntryPlace focus;   // where the window would send the focus after the refusal; none when nowhere
};

} // namespace plx
