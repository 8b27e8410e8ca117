#pragma once

#include "ArrivalTracker.h"

#include "core/Protocol.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace plx {

struct Paths;

// One order file of a watch batch and what becomes of it.
struct BatchEntry
{
    enum class Destination {
        Dust,     // imported, moved to the Dust folder (FileMove "1")
        Keep,     // imported, left where it is (FileMove "2") and remembered
        Rejected, // refused, moved aside with its error list
        Stay,     // not taken (not reached, gone, or the run was not done)
    };

    QString path;
    FileIdentity identity;  // as it was when the batch took it
    int outcome = -1;       // 0 imported, 1-3 its file-level refusal, -1 not taken
    QStringList errorLines; // its lines of the error list
    QString unreadable;     // the system's reason when it could not be read (not taken)
    Destination to = Destination::Stay;

    // Set by WatchJournal::complete().
    QString movedTo;         // where the file went
    bool moveFailed = false; // it could not be moved and stays remembered
    QString moveError;       // why, in the system's words
};

// What the folder watch of one format (0 EIAJ, 1 KORVAN) keeps so that a
// batch is never imported twice nor lost, however the watch ends:
//
// - the journal of the batch in hand (E_Watch.jnl / K_Watch.jnl in Prg/),
//   written with the new data file complete in the watch's own work file
//   (E_Watch.wrk), just before the rename that commits it. At start, a journal
//   whose work file is still there belongs to a batch that was never
//   committed: both go and the files are taken again. A journal without its
//   work file belongs to a committed batch whose files must still be moved:
//   the moves are done then. No other program touches these files.
// - the files handled but still in the folder (E_Watch.done): those imported
//   while FileMove is "2", and those that could not be moved. They are not
//   taken again while they stay as they were.
//
// Every move checks first that the file is still the one the batch took.
class WatchJournal
{
public:
    WatchJournal(const Paths& paths, Protocol protocol);

    QString workPath() const { return m_workPath; }
    // The lock one watch of the format holds all its life.
    QString instanceLockPath() const { return m_instanceLockPath; }

    // The Rejected folder beside the Dust folder.
    static QString rejectedFolderOf(const Paths& paths);
    // The installation's own folder (Plx90We, holding Prg, Usr, Log, Dust...).
    static QString installationFolderOf(const Paths& paths);
    // Whether `folder` is the installation's folder or one below it (symbolic
    // links resolved): its files are the installation's, never order files.
    bool isInstallationFolder(const QString& folder) const;

    // The folder watched: only its files are ever moved, whatever a journal
    // names.
    void setWatchedFolder(const QString& folder);

    // Writes the journal of a batch about to be committed, flushed to disk.
    // `heading` is the error list's heading. Throws RuntimeFailure.
    void write(const QList<BatchEntry>& entries, const QStringList& heading);
    // Removes the journal (the batch is settled or was never committed).
    void discard();

    struct Recovery
    {
        enum class State {
            Clean,      // nothing was left
            RolledBack, // a batch was never committed: its files are taken again
            Completed,  // a committed batch's moves were done now
            Damaged,    // a committed batch's journal could not be read: set aside
        };
        State state = State::Clean;
        QList<BatchEntry> entries;
        QString damage; // Damaged: why, and where the journal was put
    };
    // Settles what a watch that ended in a batch left. A committed batch
    // whose journal cannot be read (Damaged) moves nothing: the journal is
    // renamed aside and the files stay in the folder, to be taken again; the
    // import refuses each delivery key already in the data file (005), so a
    // file the batch imported adds nothing twice, and one it did not is
    // imported.
    Recovery recover();

    // Moves each entry's file where it goes (when it is still the file the
    // batch took), writes the error list beside a rejected one, and remembers
    // the files that stay handled. Then the journal, if any, goes.
    void complete(QList<BatchEntry>& entries, const QStringList& heading);

    // Whether `path` is a handled file that stays as it was.
    bool handled(const QString& path, const FileIdentity& identity) const;
    // Forgets the handled files of `folder` that are gone or changed.
    void forgetChanged(const QString& folder);

private:
    void loadHandled();
    void saveHandled();
    bool moveToRejected(BatchEntry& entry, const QStringList& heading);

    bool movable(const BatchEntry& entry) const;

    QString m_installFolder;
    QString m_watchedFolder;
    QString m_dustFolder;
    QString m_rejectedFolder;
    QString m_journalPath;
    QString m_workPath;
    QString m_handledPath;
    QString m_instanceLockPath;
    QHash<QString, FileIdentity> m_handled;
};

// The steps of a watch batch: "prepared" (the journal is written and the new
// data file complete in the work file, not yet renamed into place),
// "committed" (the data file replaced, no file moved yet) and "moved" (after
// each file moved). A test build observes them to end the watch at a chosen
// step, as a kill would; the program itself observes nothing.
using WatchStepObserver = void (*)(const char* step);
void setWatchStepObserver(WatchStepObserver observer);
// Tells the observer, if any, that the batch has reached `step`.
void watchStepReached(const char* step);

} // namespace plx
