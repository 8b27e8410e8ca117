#pragma once

#include "EntryForm.h"

#include "store/CustRecord.h"
#include "store/DeliveryRecord.h"

#include <QDate>

#include <optional>

namespace plx {

class CodeTable;

// What an entry window shows of one record besides its boxes.
struct EntryView
{
    EntryForm form;
    QString kindAndStatus;       // kind text and status text ("(確定注文)発行待")
    bool registerEnabled = true; // 登録: not for an issued record
    bool kanjiLabels = false;    // the "(漢字可)" labels of the kanji pairs
    bool gridEnabled = true;     // false for a company that issues slips only
    bool foreign = false;        // prices and amounts in a foreign currency
    bool companyFound = false;
};

// The company's settings as the entry rules read them; a company that was not
// found has blank settings.
inline bool kanjiAllowed(const std::optional<CustRecord>& company)
{
    return !company || company->text(CustField::KanjiUse) != QLatin1String("0");
}
inline bool slipsOnly(const std::optional<CustRecord>& company)
{
    return company && hasOutputKind(company->text(CustField::OutputKind), OutputKind::Slips);
}
// The status text of a record ("未処理", "発行待", "発行済").
QString statusLabel(const QString& status);

// The boxes and labels of an entry window showing `record` of `format`, whose
// ordering company is `company` (nothing when none matches). The grid has
// `tagRows` rows.
EntryView displayRecord(const DeliveryRecord& record, Protocol format, const std::optional<CustRecord>& company,
                        const CodeTable& codes, int tagRows);

// What the remembered orderer of the last new record fills in.
struct RememberedOrderer
{
    QString ordererCode;
    QString ordererName;
    QString supplierCode;
};

// The new-record screen: empty boxes, the remembered orderer, today's date in
// the update, shipping and delivery dates, zero grid rows.
EntryView newRecordScreen(Protocol format, const RememberedOrderer& remembered, const QDate& today, int tagRows);

// The status rules of a registration, from the status read: "2" becomes "8"
// with both issue marks; "8" becomes "1" unless `issue`; any other becomes "8"
// (issue) or "1" with both marks cleared.
void applyRegistrationStatus(DeliveryRecord& record, bool issue);

// Writes the checked boxes into `record` (the shipment fields in every mode,
// the order data in modes 1 and 2, the keys and kind of a new record). The
// status and the time stamp are not touched here.
void writeEntry(DeliveryRecord& record, const EntryForm& form, Protocol format, EntryMode mode,
                const std::optional<CustRecord>& company);

// The record a new entry starts from: EIAJ always from a blank record; KORVAN
// from the copied row's record when one was handed over, else blank.
DeliveryRecord newRecordBase(Protocol format, const std::optional<DeliveryRecord>& copied);

} // namespace plx
