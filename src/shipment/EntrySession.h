#pragma once

#include "EntryRecord.h"
#include "EntryRow.h"
#include "EntryValidation.h"

#include "store/CodeTable.h"
#include "store/CustStore.h"
#include "store/DeliveryStore.h"

#include <map>
#include <memory>
#include <optional>

namespace plx {

struct Environment;
class FileLock;

// How the list window opens an entry window: the mode (0 the listed records, 2
// a new record), the range of live-record ordinals and the range flag (mode 0:
// several rows selected; mode 2: one row handed over to copy from).
struct EntryOpening
{
    EntryMode mode = EntryMode::Existing;
    int firstOrdinal = 1;
    int lastOrdinal = 1;
    bool rangeFlag = false;
};

// What a registration or a deletion did.
struct EntryOutcome
{
    bool written = false;
    short message = 0;           // a message to show (a refusal); 0 none
    short question = 0;          // a question that was asked and answered No
    QString text;                // a refusal the catalogue has no message for
    QStringList lead;            // facts shown above `message`
    std::optional<EntryBox> box; // the box in error
    EntryPlace focus;            // where the focus goes
    bool closeWindow = false;    // the last page was deleted
};

// Why a box does not take a value as it is: a catalogue message of the window
// or, where it has none, the program's own words, and the box.
struct EntryRefusal
{
    short message = 0;
    QString text;
    EntryBox box = EntryBox::OrdererCode;
};

// The state and the rules of one opening of an entry window: paging through the
// handed-over records, the shown record and its company, order-data correction,
// registration, deletion and the new-record screen. UI-free: the window binds
// its widgets to view().form and shows the messages the operations return.
//
// Files are opened for each operation; a registration or deletion holds the data
// file's lock from reading to writing, and writes only over the record that was
// shown (same kind and keys at its record number), else message 10. A command
// that works through many records holds the files for its whole run instead
// (holdFiles), so that each record costs no scan of the file.
class EntrySession
{
public:
    EntrySession(Environment& env, Protocol format, EntryOpening opening);
    ~EntrySession();

    Protocol format() const { return m_format; }
    EntryMode mode() const { return m_mode; }
    int page() const { return m_page; }
    int pageCount() const { return m_pageCount; }
    int ordinal() const { return m_ordinal; }
    int recordNumber() const { return m_recordNumber; }
    QString pageText() const;
    bool canGoBack() const { return m_mode != EntryMode::New && m_page > 1; }
    bool canGoForward() const { return m_mode != EntryMode::New && m_page < m_pageCount; }
    const CodeTable& codes() const { return m_codes; }
    int tagRows() const { return m_tagRows; }

    // Opening: reads the code table and shows the first record (or the
    // new-record screen). Returns false with message 3 shown when the code
    // table is empty. An empty data file outside mode 2 is a run-time failure.
    bool open();

    // Keeps the data file locked and the files open until the session ends.
    void holdFiles();
    // Reads the code table; false (nothing shown) when it is empty.
    bool loadCodes();

    // For a command that works through records of both kinds: the record of a
    // live record's keys (0 when none; held files, no scan), and the mode of
    // the next record.
    int findRecord(const QString& orderer, const QString& supplier, const QString& key);
    void switchMode(EntryMode mode);

    // A box gets the focus: its text is trimmed (right-trimmed for the codes)
    // and its value remembered for the amount calculation. A box the window
    // does not have is ignored, here and below.
    void focusBox(EntryBox box);
    // A box loses the focus: its text is reformatted and, for the boxes the
    // table marks (quantity, price, the two tax classes), the amounts are
    // calculated again.
    void leaveBox(EntryBox box);
    // Types `value` into a box as an operator would: focus, text, leave.
    // The class lists take a code (a code the list does not hold selects
    // nothing), the bar-code output class "1" (output), "0" (none) or else
    // neither option.
    void enterValue(EntryBox box, const QString& value);
    // Fills the tag grid from its first row; the other rows become zero.
    void enterTagRows(const QList<TagRow>& rows);
    // What a caller without a window checks before typing: a number with more
    // decimals than its box keeps (the box's message), a tag count longer than
    // its cell. Longer texts and characters the record cannot hold are refused
    // by the registration, for the window as well.
    std::optional<EntryRefusal> refusalOf(EntryBox box, const QString& value) const;
    std::optional<EntryRefusal> refusalOfTagRows(const QList<TagRow>& rows) const;
    // After showing a record the window puts the focus in the shipped quantity
    // and the operator moves on from there: the box's lost focus (the amounts
    // of an unprocessed record) runs as in the window.
    void passQuantityBox();
    // Types a row and registers it as an operator would in the window (EntryRow.cpp):
    // the record its keys name is shown (a listed record with its quantity box
    // passed, as the window opens it) or the new-record screen; the values are
    // typed in the window's tab order; then 登録 (issue false) or 登録印刷.
    // Questions are asked through `ask`.
    EntryRowOutcome registerRow(const EntryRow& row, bool issue, const std::function<bool(short)>& ask);
    // The Status the last registration wrote.
    const QString& lastWrittenStatus() const { return m_lastStatus; }

    EntryView& view() { return m_view; }
    EntryForm& form() { return m_view.form; }
    const std::optional<CustRecord>& company() const { return m_company; }
    const std::optional<DeliveryRecord>& shownRecord() const { return m_shown; }

    // Shows the record of a live-record ordinal, or (held files) of a record
    // number found by its keys.
    void showOrdinal(int ordinal);
    void showRecordNumber(int n);
    // The new-record screen (mode 2).
    void showNewScreen();

    void previousPage();
    void nextPage();
    // 受注ﾃﾞｰﾀ修正: order-data correction for the rest of the opening.
    void startCorrection();
    // Leaving the orderer or supplier code box of a new record: the company's
    // name, its default classes, the grid and the kanji labels.
    void showOrdererCompany();
    // Message 2 once per opening, when the shown record's company is missing.
    bool takeCompanyNotice();

    // 登録 (issue false) and 登録印刷 (issue true). Questions are asked through
    // `ask`. After a write the session moves on as the window does.
    EntryOutcome registerShown(bool issue, const std::function<bool(short)>& ask);
    // 削除 after the operator confirmed.
    EntryOutcome deleteShown();

    // The last remembered orderer of a new record.
    const RememberedOrderer& remembered() const { return m_remembered; }
    // Whether anything was written (the list reloads).
    bool changed() const { return m_changed; }

private:
    DeliveryStore& store();
    const CustStore& companies();
    std::optional<CustRecord> companyOf(const QString& orderer, const QString& supplier);
    void display(const DeliveryRecord& record, int n);
    EntryOutcome refuse(short message);
    // The currency box was left: the price and amount boxes follow a switch
    // between yen and a foreign currency.
    void leaveCurrencyBox();
    // The amounts after a control of the calculation changed from
    // `valueAtFocus` to `valueNow`.
    void recalculateAmounts(const QString& valueAtFocus, const QString& valueNow);
    // The tax, the amount before tax and the amount with tax, as shown.
    QStringList calculatedAmounts() const;
    // The position of a code in a class list (file order), -1 when not listed.
    int codePosition(EntryBox list, const QString& code) const;

    Environment& m_env;
    Protocol m_format;
    EntryMode m_mode;
    EntryOpening m_opening;
    int m_ordinal = 1;
    int m_page = 1;
    int m_pageCount = 1;
    int m_recordNumber = 0;
    int m_tagRows = 0;
    bool m_noticeShown = false;
    bool m_changed = false;
    CodeTable m_codes;
    EntryView m_view;
    std::optional<CustRecord> m_company;
    std::optional<DeliveryRecord> m_shown;
    std::optional<DeliveryRecord> m_copied; // the handed-over row of a new record
    RememberedOrderer m_remembered;
    QString m_valueAtFocus;
    // The classes the orderer display set from the shown company's defaults.
    std::map<EntryBox, QString> m_defaultClasses;
    // The amount boxes as the calculation last wrote them (calculatedAmounts).
    QStringList m_calculatedAmounts;
    QString m_lastStatus;

    std::unique_ptr<FileLock> m_heldLock;
    DeliveryStore m_store;
    CustStore m_companies;
    bool m_held = false;
};

} // namespace plx
