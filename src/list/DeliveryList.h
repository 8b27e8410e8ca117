#pragma once

#include "DeliveryListModel.h"

#include "core/LogLabelScope.h"
#include "shipment/EntrySession.h"
#include "store/CodeTable.h"
#include "store/CustStore.h"
#include "store/DeliveryStore.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace plx {

struct Environment;

// The data behind the main window: the two data files, the ordering companies
// and the code table as the list last loaded them, and a list model per format.
class DeliveryList
{
public:
    explicit DeliveryList(Environment& env);
    ~DeliveryList();

    DeliveryListModel& model(Protocol protocol) { return *m_models[protocol]; }
    DeliveryStore& store(Protocol protocol) { return *m_stores[protocol]; }
    const CustStore& companies() const { return m_companies; }
    const CodeTable& codes() const { return m_codes; }

    // Converts data files of the older layout, opens the two data files, the
    // ordering companies and the code table (creating missing files), tells the
    // operator once per run when there is no ordering company, and shows
    // message 3 when the code table is empty. Returns false for an empty
    // code table.
    //
    // A file that cannot be opened (or a data file that cannot be converted)
    // for a reason of the system is never taken for an empty one: the operator
    // is told which file and why, the error log gets a line, and the load goes
    // on with the other files. A data file that cannot be opened lists nothing;
    // a company file that cannot be opened leaves the names blank (neither it
    // nor a damaged one is reported as empty); a code table that cannot be
    // opened empties both lists as an empty one does (returns false), told by
    // its own failure.
    bool openDataFiles();

    // Reloads the list of `only`, or both lists when nothing is given. Returns
    // false when the code table is empty or cannot be opened: both lists are
    // then emptied.
    bool reload(std::optional<Protocol> only = std::nullopt);

    // Whether the last load refused the data file of the protocol as damaged.
    bool refused(Protocol protocol) const { return m_refused[protocol]; }
    // Whether the last load could not open (or convert) the data file of the protocol.
    bool failed(Protocol protocol) const { return m_failed[protocol]; }
    // Whether the last load could not read the company file (damaged or not opened).
    bool companiesUnread() const { return m_companiesUnread; }
    // Whether the list of the protocol shows the whole of its data as the last
    // load read it: its data file, the companies and the code table were read.
    bool complete(Protocol protocol) const
    {
        return !m_refused[protocol] && !m_failed[protocol] && !m_companiesUnread && !m_codesFailed;
    }

    // Closes the files (the models keep what they show).
    void closeFiles();

private:
    Environment& m_env;
    // Opening the files is the operation a failure meanwhile is logged with;
    // the labels of the window or command go back when the list goes.
    LogLabelScope m_logLabels;
    PerProtocol<std::unique_ptr<DeliveryStore>> m_stores;
    PerProtocol<std::unique_ptr<DeliveryListModel>> m_models;
    PerProtocol<bool> m_refused; // damaged data file
    PerProtocol<bool> m_failed;  // data file that could not be opened or converted
    bool m_companiesUnread = false;
    bool m_codesFailed = false;
    CustStore m_companies;
    CodeTable m_codes;
};

// The selection of a list grid as the list commands see it: one rectangle of
// rows and columns (rows 1-based, as listed; columns as in the list).
struct GridSelection
{
    int firstRow = 0;
    int lastRow = 0;
    int firstColumn = 0;
    int lastColumn = 0;
    bool valid = false;
};

// The row selection the list commands recognise in a grid's selection: the
// grid was clicked (or a search found a row there), the selection ends in the
// last column and starts in the first column of a row (for deletion also in
// the running number's). Anything else is no row selection (an invalid one).
GridSelection rowSelectionOf(const GridSelection& selection, bool clicked, bool forDeletion);

// What a double-click or Enter on listed row `row` (from 1) opens: a
// double-click always takes that whole row alone; Enter keeps the current row
// selection when the row lies inside it, and otherwise also takes the row
// alone. The columns of a whole row, so that rowSelectionOf accepts it.
GridSelection rowsToOpen(const GridSelection& rowSelection, int row, bool byEnter);

// What the shipment-entry window opens on, from the list's row selection
// (`selection`, or an invalid one), the grid's current row (from 1; 0 for
// none) and the number of rows of the current list: a selection of several
// rows pages through those rows; one row starts there and pages to the end of
// the list; without a row selection the current row (the row the grid
// highlights) is where it starts, or the first row when there is none. A new
// record takes the first row of a row selection as its starting point (copied
// into it); without one it starts blank.
EntryOpening entryOpeningFor(const GridSelection& selection, int currentRow, int listed, bool newRecord);

// What a deletion of listed rows `first` to `last` (from 1) takes away, as the
// lines put before its question: the number of records, and the running number
// and delivery key of the first and the last of them.
QStringList deletionLead(const DeliveryListModel& model, int first, int last);

// Logically deletes the records listed by `model` in rows `first` to `last`
// (from 1), stamping each, under the data file's lock. The file is read anew
// and every one of those records must still stand at its number with the kind
// and keys the list showed; otherwise nothing is deleted (Refusal, message 10).
// Returns how many were deleted.
int deleteListedRows(DeliveryStore& store, const DeliveryListModel& model, int first, int last);

} // namespace plx
