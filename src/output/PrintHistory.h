#pragma once

#include "PrintRun.h"

#include "core/Protocol.h"
#include "core/TaskThread.h"
#include "history/HistoryStore.h"
#include "store/CodeTable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

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
// The writing is done by a thread of the run's own, so a group's documents go
// into the history while the report engine prints the group; the run waits
// for them only before it marks the group's records.
class RunHistory : public IssueRecorder
{
public:
    RunHistory(Environment& env, Protocol protocol, const QDateTime& started);
    ~RunHistory() override;

    // Opens the history and settles what an interrupted run left.
    void open() override;
    void beginGroup(const GroupPrint& ready, OutputDocument document, const QList<std::pair<int, DeliveryRecord>>& plan,
                    const QString& printer) override;
    void awaitGroup(const QString& pdfPath) override;
    // A failure of either is logged and left to the settlement, which finds
    // the records marked or not.
    void commitGroup() override;
    void discardGroup() override;
    void finish() override;

private:
    QList<HistoryDocument> documentsOf(const GroupPrint& ready, OutputDocument document,
                                       const QList<std::pair<int, DeliveryRecord>>& plan) const;
    // Hands the group's documents to the writer to commit (issued) or drop.
    void settleGroup(bool issued);
    // Logs what the writer could not do since the last call.
    void logWriterNotes();

    // A group being recorded, as the writer leaves it; the run reads it only
    // after waiting for the writer. Each group has its own, so a group begun
    // while the writer still drops the last one's documents touches nothing
    // the writer uses.
    struct Group
    {
        QList<qint64> ids;
        QString failure;       // why its documents could not be kept
        bool setAside = false; // the file was found damaged and begun anew
        QString pdfPath;       // the PDF its documents name
    };

    Environment& m_env;
    Protocol m_protocol;
    std::unique_ptr<HistoryStore> m_store;
    HistoryRun m_run;               // the writer's once it runs
    CodeTable m_codes;              // for the names and rate of the tax classes; read by the writer
    std::shared_ptr<Group> m_group; // none between groups
    QStringList m_writerNotes;
    std::unique_ptr<TaskThread> m_writer; // last: gone first, having written everything
};

} // namespace plx
