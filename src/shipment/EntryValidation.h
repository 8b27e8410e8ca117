#pragma once

#include "EntryForm.h"

#include "store/CustRecord.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace plx {

class CodeTable;
class CustStore;
class DeliveryStore;

// What the registration checks of an entry window need besides the boxes.
struct ValidationContext
{
    Protocol format = Protocol::Eiaj;
    EntryMode mode = EntryMode::Existing;
    const CodeTable* codes = nullptr;
    // The ordering companies (the key check of a new record) and the data file
    // (the duplicate-key check of a new record), both open.
    const CustStore* companies = nullptr;
    const DeliveryStore* store = nullptr;
    // The company of the shown record (modes 0 and 1); nothing when none matches.
    std::optional<CustRecord> company;
    // The CheckSpec setting: the blank-and-asterisk checks run only when it is 0.
    short checkSpec = 0;
    // Asks a Yes/No question by its message number; true for Yes.
    std::function<bool(short message)> ask;
};

// What the checks found.
struct ValidationResult
{
    bool passed = false;
    // The message to show for the first failure (0 when passed, and when a
    // question was asked and answered No: the question was the message).
    short message = 0;
    // The question answered No (0 for none).
    short question = 0;
    // A refusal the catalogue has no message for (a value the record cannot
    // keep), in the program's own words; empty otherwise.
    QString text;
    // Facts shown above the message (the tag sum and the shipped quantity of 120).
    QStringList lead;
    // The box in error.
    std::optional<EntryBox> box;
    // Where the focus goes after a failure: the box, or for a box the mode
    // locks the order-data correction button (the delivery key: the return
    // button); a cell for the tag grid.
    EntryPlace focus;
    // Set once the key checks of a new record (steps 1-7) passed: the caller
    // remembers the orderer for the next new record.
    bool keysPassed = false;
    // The company the checks used: the one found by the key check in mode 2,
    // else the context's.
    std::optional<CustRecord> company;
};

// The registration checks of the entry window of `ctx.format`, in their
// order. Boxes are normalised as the checks go (trimmed texts, kanji texts
// padded with full-width spaces, empty amount boxes "0"), so that the record
// is written from what was checked.
ValidationResult validateEntry(EntryForm& form, const ValidationContext& ctx);

// The message of a number box's range check in `format`'s window; 0 for a box
// that has none.
short rangeMessageOf(EntryBox box, Protocol format);

} // namespace plx
