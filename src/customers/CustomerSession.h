#pragma once

#include "core/Protocol.h"
#include "store/CodeTable.h"
#include "store/CustRecord.h"
#include "store/CustStore.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace plx {

struct Environment;

// The refusal of a comment that its field cannot hold as typed (a control
// character, a character outside CP932, more than 16 bytes).
constexpr short kMsgCommentNotStorable = 587;

// The ordering-company window's modes.
enum class CustomerMode { Browse = 0, New = 1, Delete = 2, Change = 3 };

// What the window shows for a mode: "新規", "変更", "削除", or nothing while
// browsing.
QString modeCaption(CustomerMode mode);

// The company's fields as the window holds them, by record field ("" =
// nothing chosen): the typed texts, the chosen values of the choices, the
// chosen codes. The company field table (CompanyFields.h) says for each how it
// is shown, typed, checked and written; the fields it does not list stay empty.
struct CustomerForm
{
    std::array<QString, CustRecord::kFieldCount> texts;

    QString& operator[](CustField field) { return texts[size_t(field)]; }
    const QString& operator[](CustField field) const { return texts[size_t(field)]; }
    bool operator==(const CustomerForm&) const = default;
};

// One listed company: its record number and its name as listed.
struct CustomerRow
{
    int recordNumber = 0;
    QString name;
};

// Where the focus goes after an operation: where it is, a field of the company
// (CustField::Protocol: the protocol choice), or the list of companies. The
// window maps it to its widget.
struct CustomerFocus
{
    enum class Place { Unchanged, Field, CompanyList };
    Place place = Place::Unchanged;
    CustField field = CustField::Protocol;

    static CustomerFocus on(CustField field) { return {Place::Field, field}; }
    static CustomerFocus companyList() { return {Place::CompanyList, CustField::Protocol}; }
    // The field that takes the focus; nothing for the list or no move.
    std::optional<CustField> fieldTaken() const
    {
        return place == Place::Field ? std::optional<CustField>(field) : std::nullopt;
    }
    bool operator==(const CustomerFocus&) const = default;
};

// What starting a change or a deletion, saving or a deletion did: a message to
// show (0 none), or the program's own words where the catalogue has no message
// for it, and where the focus goes.
struct CustomerOutcome
{
    bool written = false;
    short message = 0;
    QString text;
    CustomerFocus focus;
    bool refused() const { return message != 0 || !text.isEmpty(); }
    // A refusal with catalogue message `number`; the focus stays.
    static CustomerOutcome refusal(short number)
    {
        CustomerOutcome outcome;
        outcome.message = number;
        return outcome;
    }
};

// The rules of the ordering-company window without the window: the protocols
// offered, the list, the modes, the defaults of a new company, the checks of
// ＯＫ, the reference check against the delivery-slip data, building the
// record and the compaction when the window closes. Every write holds the
// company file's lock and goes only over the record that was listed.
class CustomerSession
{
public:
    explicit CustomerSession(Environment& env);

    // Whether the installation's ApUse offers the protocol, and the protocol
    // the window starts with.
    static bool offers(const QString& apUse, Protocol protocol);
    static Protocol initialProtocol(const QString& apUse);

    // Opening: the sample folder, the code table (false when it is empty: the
    // caller shows message 3), the company file, the list of the protocol.
    bool open();

    Protocol protocol() const { return m_protocol; }
    void setProtocol(Protocol protocol);
    CustomerMode mode() const { return m_mode; }
    const QList<CustomerRow>& rows() const { return m_rows; }
    // The selected row (from 0), -1 for none.
    int selectedRow() const { return m_selected; }
    void selectRow(int row);

    CustomerForm& form() { return m_form; }
    const CodeTable& codes() const { return m_codes; }
    // The code-table entries a code field lists (kind "02", "03" or "04").
    QList<CodeEntry> codeList(const char* kind) const;

    // What the window unlocks.
    bool browsing() const { return m_mode == CustomerMode::Browse; }
    bool editing() const { return m_mode == CustomerMode::New || m_mode == CustomerMode::Change; }
    bool codesEditable() const { return m_mode == CustomerMode::New; }
    bool eiajSettingsEnabled() const { return m_protocol == Protocol::Eiaj; }
    // The bytes a company's codes may take: 12 for EIAJ, 9 for KORVAN.
    int codeMaxLength() const;
    // Whether `text` fits the typed field in CP932 bytes, its ends' blanks
    // trimmed as saving trims them. The window stops the typing here; saving
    // refuses a longer text naming the field and what it holds.
    bool fits(CustField field, QStringView text) const;
    // What the window offers: another protocol only while browsing and only
    // one the installation offers; 新規作成 while browsing; 変更 and 削除
    // while browsing a list with a company in it.
    bool protocolChoosable(Protocol protocol) const;
    bool newOffered() const { return browsing(); }
    bool changeOrDeleteOffered() const { return browsing() && !m_rows.isEmpty(); }
    // The field that gets the focus when editing starts: the orderer's code
    // of a new company, the orderer's name of a change (its codes stay).
    CustField editFocus() const;

    // 新規作成: the settings of the sample file's first company of the protocol
    // and the default choices.
    void startNew();
    // 変更: refused with message 505 when no company is selected.
    CustomerOutcome startChange();
    // 削除: refused with message 500 when no company is selected; else the
    // caller asks message 503 and calls confirmDelete.
    CustomerOutcome startDelete();
    // What the deletion question names above its text: the selected company's
    // orderer and supplier, each with its code and name, as the window labels
    // them ("発注者 ：A001  北斗星電機"). Empty when no company is selected.
    QStringList deletionLead() const;
    CustomerOutcome confirmDelete(bool yes);
    // Saving (ＯＫ): the checks in their order, then the record written and the
    // list read again with the written company selected. A field whose text
    // the record cannot hold as typed is refused naming the field, right after
    // its own blank and single-byte checks: more bytes than the field with
    // what it holds ("発注者名称は全角25文字（半角50文字）以内で入力してください。"), a
    // control character or a character outside CP932 with the character; the
    // comment with its message 587.
    CustomerOutcome save();
    // ｷｬﾝｾﾙ: back to browsing without writing. The focus goes back to the
    // protocol after a new company, else to the list.
    CustomerOutcome cancel();
    // Closing: the company file rewritten without its deleted records.
    void close();

    // Whether anything was written (the list window reloads).
    bool changed() const { return m_changed; }

    // The record the form describes, as ＯＫ writes it.
    CustRecord buildRecord() const;

private:
    void relist();
    void showSelected();
    CustomerOutcome check();
    // Why the typed text of a field cannot go into the record as typed;
    // nothing when it can.
    std::optional<QString> unstorable(CustField field) const;
    // Whether the delivery-slip data holds a record of the company that stops
    // the operation: any live record of it for a deletion (message 590), one
    // waiting for issue for a change of the output kind (message 595).
    bool heldByRecords(bool deleting) const;
    bool formFileExists(const QString& name) const;

    Environment& m_env;
    Protocol m_protocol = Protocol::Eiaj;
    CustomerMode m_mode = CustomerMode::Browse;
    CodeTable m_codes;
    CustStore m_store;
    QList<CustomerRow> m_rows;
    int m_selected = -1;
    CustomerForm m_form;
    QString m_outputKindBefore;
    bool m_changed = false;
};

} // namespace plx
