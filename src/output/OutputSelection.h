#pragma once

#include "store/CustStore.h"
#include "store/DeliveryStore.h"
#include "store/StatusRules.h"

#include <QList>
#include <QString>

namespace plx {

struct Environment;

// One ordering company's share of a print run.
struct OutputGroup
{
    QByteArray ordererCode;  // as stored, 12 bytes
    QByteArray supplierCode; // as stored, 12 bytes
    QString ordererName;     // the company's, without trailing blanks
    QList<int> records;      // record numbers in the data file, in selection order
    int tags = 0;            // tags of the group's records (tag groups)
    // The group's extract: its records as selected, in selection order. It
    // belongs to this run alone and lives in memory, so no other program (a
    // start-up's clean-up, a run of the other format) can take it away.
    QByteArray extract;
    int extractCount() const { return int(extract.size() / DeliveryRecord::kLength); }
};

// A company whose records cannot be grouped: its output kind is none of
// slips, tags or both (a hand-edited company file).
struct RefusedCompany
{
    QString ordererCode;
    QString ordererName;
    QString outputKind; // as stored
};

// Selects the records due for one kind of document of the format in use,
// groups them per ordering company into extracts held in memory and, after
// each group was printed, writes the issue marks, status and time stamp back
// (連続更新).
class OutputSelection
{
public:
    static constexpr int kMaxGroups = 50;
    static constexpr int kMaxRecordsPerGroup = 200;

    OutputSelection(Environment& env, Protocol protocol, OutputDocument document);

    // Builds the groups and their extracts. `marked` selects the records
    // marked for issue ("8"); otherwise the registered, not yet issued ones,
    // optionally of one company (both codes empty: all). Stops at a group of
    // 200 records (message 230/240) or at a 51st company (a message), keeping
    // the groups built so far. The records of a company whose output kind is
    // none of 1/2/3 form no group and stay as they are; the company is listed
    // in refused(). Throws RuntimeFailure, or Refusal for a damaged data or
    // company file.
    void select(bool marked, const QString& filterOrderer = {}, const QString& filterSupplier = {});

    const QList<OutputGroup>& groups() const { return m_groups; }
    // The companies left out of the selection for their output kind, in order
    // of their first record.
    const QList<RefusedCompany>& refused() const { return m_refused; }

    // Writes the records of group n (1-based) back in `mode`. Throws
    // RuntimeFailure, or Refusal (message 10) when a record is no longer the one
    // selected.
    void update(int n, UpdateMode mode);
    // The two halves of update(): the records of group n as `mode` leaves
    // them (those it changes, with their numbers; not yet stamped), and their
    // writing. Between the two the print run records what it issued.
    QList<std::pair<int, DeliveryRecord>> planUpdate(int n, UpdateMode mode);
    void writeUpdate(QList<std::pair<int, DeliveryRecord>> records);

    // The lock the print run holds on the data file from the selection to the
    // last update (see RecordFile).
    void setLock(const FileLock* lock) { m_store.setLock(lock); }

    // Tags of a record as the selection counts them: the numbers of tags of its
    // tag lines up to the first line whose quantity or number is blank.
    static int countTags(const DeliveryRecord& record);

private:
    Environment& m_env;
    Protocol m_protocol;
    OutputDocument m_document;
    QList<OutputGroup> m_groups;
    QList<RefusedCompany> m_refused;
    // The data file and the companies, open from the selection to the last
    // update of the run.
    DeliveryStore m_store;
    CustStore m_companies;
};

} // namespace plx
