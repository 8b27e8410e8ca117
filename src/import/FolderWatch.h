#pragma once

#include "ArrivalTracker.h"
#include "InputFileList.h"
#include "WatchJournal.h"

#include "core/LogLabelScope.h"
#include "store/DeliveryMaintenance.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace plx {

struct Environment;

// How a folder watch works.
struct WatchSettings
{
    QString folder; // the folder watched, absolute
    QString masks;  // the format's file masks (EiajFileName / KoRFileName)
    RebuildMode mode = RebuildMode::Add;
    bool moveFiles = true;  // FileMove "1"
    qint64 settleMs = 2000; // how long a file must stay as it is
    // The formats the installation serves (ApUse): a file of another served
    // format is left for that format's watch; one of no served format is
    // refused (002) and set aside.
    QList<Protocol> served;
};

// What one batch did.
struct BatchReport
{
    QDateTime at;              // when it started
    QList<BatchEntry> entries; // its files, in the order taken
    bool committed = false;    // its records are in the data file
    QString refusal;           // why it could not be done (the files wait); empty when it was
    int errorLines = 0;        // entries written to the error list
};

// Imports the order files of one format (0 EIAJ, 1 KORVAN) as they arrive in
// a folder: the files that the format's masks let through and that are
// complete (ArrivalTracker) are taken together as one batch, which goes
// through the import driver as the input-file window's ＯＫ does: the
// pre-check and sort, one all-or-nothing run, the error list. The batch's
// journal (WatchJournal) makes sure that its files leave the folder (to the
// Dust folder as FileMove says, a refused file to the Rejected folder with its
// error list) exactly when its records are in the data file, even when the
// watch is killed between the two.
//
// No lock is held between batches: the driver takes the locks of a batch and
// gives them back at its end.
class FolderWatch
{
public:
    FolderWatch(Environment& env, Protocol protocol, WatchSettings settings);

    const WatchSettings& settings() const { return m_settings; }
    WatchJournal& journal() { return m_journal; }

    // One look at the folder: the names of the files complete and not yet
    // handled. `renamedIn` names the files renamed into the folder since the
    // last look; `nowMs` is a steady clock in milliseconds.
    QStringList look(const QSet<QString>& renamedIn, qint64 nowMs);
    // When a file still settling may be complete.
    std::optional<qint64> nextDueMs() const { return m_tracker.nextDueMs(); }

    // Imports the named files of the folder as one batch. A file that cannot
    // be read is not taken: it is reported (once while it stays as it is)
    // and tried again on the next pass. A file of the other served format is
    // left where it is and not looked at again while it stays as it is. A data file or work
    // file held by another program, a damaged data file or an empty code
    // table refuse the batch (BatchReport::refusal); nothing is changed and
    // the accepted files wait for the next try. A run-time failure is
    // reported and ends the program (ProgramEnded), as in the window.
    BatchReport runBatch(const QStringList& names);

    // The desk's texts: the line of one file (standard output), the summary
    // of a batch (run log).
    static QString fileLine(const BatchEntry& entry);
    static QString summary(const BatchReport& report);

    // Appends "yyyy/MM/dd hh:mm:ss [EIAJ] text" to the run log Log/Watch.log
    // (CP932, CR LF). A log that cannot be written is reported on standard
    // error; the watch goes on.
    void log(const QString& text) const;
    QString runLogPath() const;

private:
    // Whether `path` is left where it is for the other format's watch: a file
    // of that format when the installation serves it, and a file of no format
    // when that format comes first among those served (EIAJ, with ApUse ALL).
    bool belongsToOtherWatch(const QString& path) const;

    Environment& m_env;
    // A batch is the operation a failure is logged with; the command's labels
    // go back when the watch goes.
    LogLabelScope m_logLabels;
    Protocol m_protocol;
    WatchSettings m_settings;
    InputFileList m_files;
    ArrivalTracker m_tracker;
    WatchJournal m_journal;
    // Files left for the other format's watch, and unreadable files already
    // reported, each as it was then.
    QHash<QString, FileIdentity> m_leftAlone;
    QHash<QString, FileIdentity> m_toldUnreadable;
};

} // namespace plx
