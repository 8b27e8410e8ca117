#pragma once

#include "PrintRun.h"

#include "core/Protocol.h"
#include "history/HistoryStore.h"
#include "store/CodeTable.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <utility>

namespace plx {

struct Environment;

// The message of a history that cannot record a group: the run stops and
// nothing of the group is marked issued.
QString historyUnwritableText(const QString& path, const QString& why);

// Opens the installation's history of issued documents (Usr/History.db). A
// missing one is begun anew and the log says so; a damaged one is set aside,
// named in a message and in the log, and a new one begun. Throws Refusal when
// it cannot be opened at all.
std::unique_ptr<HistoryStore> openHistory(Environment& env);

// Settles the pending documents of `protocol`'s interrupted runs by its data
// file: one whose record the file shows as that run marked it is kept, any
// other removed. The caller holds the data file's lock.
void settleHistory(Environment& env, HistoryStore& history, Protocol protocol);

// At a program's start: settles the history for each format the installation
// serves whose data file no other program holds (one that does is in a run,
// which settles it itself). A missing history is left for the first print
// run to begin; one that cannot be opened for the next print run to tell.
void settleHistoryAtStart(Environment& env);

// The history of one print run, written around the marking of each group.
class RunHistory
{
public:
    RunHistory(Environment& env, Protocol protocol, const QDateTime& started);
    ~RunHistory();

    // Opens the history and settles what an interrupted run left; the caller
    // holds the data file's lock. Throws Refusal.
    void open();
    // Writes the documents of a printed group as pending, before any of its
    // records is marked: `plan` holds the records as marking leaves them.
    // Throws Refusal (the run stops, nothing of the group is marked).
    QList<qint64> addPending(const GroupPrint& printed, OutputDocument document,
                             const QList<std::pair<int, DeliveryRecord>>& plan, const QString& printer);
    // The group's records are marked: its documents are committed. A failure
    // here is logged and left to the settlement, which finds them marked.
    void commit(const QList<qint64>& ids);
    // The group's records were not marked: its documents go.
    void discard(const QList<qint64>& ids);

private:
    Environment& m_env;
    Protocol m_protocol;
    std::unique_ptr<HistoryStore> m_store;
    HistoryRun m_run;
    CodeTable m_codes; // for the names and rate of the tax classes
};

} // namespace plx
