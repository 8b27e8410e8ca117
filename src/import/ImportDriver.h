#pragma once

#include "core/Protocol.h"
#include "store/DeliveryMaintenance.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace plx {

struct Environment;
class ErrorList;
class FileLock;

// One file accepted by the pre-check.
struct AcceptedFile
{
    QString path;      // full path
    QString name;      // file name in its folder
    QString infoClass; // information class, trimmed ("0502" ... / "D10")
    QString date;      // last write, "yyyyMMdd"
    QString time;      // last write, "hhmmss"
};

// The import settings of one format, with their defaults.
struct ImportSettings
{
    QString masks = QStringLiteral("*.*"); // masks separated by ";"
    bool moveFiles = true;                 // FileMove "1"
    int makeMode = 1;                      // MakeMode 1, 2 or 3
    QString dataFolder;                    // DataFilePath, or empty
    qint32 dataFolderResult = 0;           // the RegResult of reading DataFilePath
};

// What the pre-check found.
struct PrecheckResult
{
    int selected = 0;
    int accepted = 0;
    int errors = 0; // lines written to the error list
};

// Runs an import of one format (0 EIAJ, 1 KORVAN): the pre-check of the
// selected files, the sort, and the run, which is all or nothing. The run works
// on a copy of the data file in memory, writes the result to W_Deliv.dat and
// puts it in place of the data file with one atomic rename; processed order
// files are moved to the Dust folder only after that. A failure or a crash at
// any moment leaves the data file as it was and every order file where it was.
//
// From the pre-check to the end of the run the driver holds two locks: the
// import's own (its work file, backup and error list are shared by both
// formats) and the data file's. Another import, a print run or a deletion
// waits for them or is refused; a lock that cannot be had is a Refusal.
class ImportDriver
{
public:
    ImportDriver(Environment& env, Protocol protocol);
    ~ImportDriver();

    // The largest order file taken; a larger one is refused with 013 and not
    // read at all. Order files are a few megabytes at most: a data file holds
    // at most 32,767 records, which an EIAJ file carries in about 1 MB and a
    // KORVAN file (one key a line) in 2 to 3 MB. The limit is some forty
    // times that, so no real order is refused, while a runaway export or a
    // file that is no order file is set aside before anything is read
    // instead of holding the import (and its locks) for as long as it takes
    // to go through it.
    static constexpr qint64 kMaxOrderFileBytes = 128LL * 1024 * 1024;
    // "ｻｲｽﾞ[N],上限[M]" of a refusal 013.
    static QString sizeText(qint64 size);

    Protocol protocol() const { return m_protocol; }

    // The settings of this format from the settings store.
    static ImportSettings readSettings(Environment& env, Protocol protocol);

    // Empties the error list and checks the selected files of `folder`, in the
    // order given: refusals 001 (missing), 013 (larger than
    // kMaxOrderFileBytes), 002 (not an order file of this format) and 003
    // (unsupported class) go to the error list; the others are accepted. Takes the locks (Refusal when another
    // program holds them) and keeps them for the run when a file was accepted.
    PrecheckResult precheck(const QString& folder, const QStringList& names);
    // The same for files given by their full paths (the command line).
    PrecheckResult precheckPaths(const QStringList& paths);

    // Processing mode 3 (StartAnew) removes every record of the data file,
    // those still waiting for their slip (発行待) too: when the data file holds
    // any, the clerk is asked first (Yes/No, default No) and true means go on.
    // The other modes remove none of them and ask nothing. Asked before the
    // pre-check, when no lock is held yet; run() counts again under the data
    // file's lock and refuses when more records wait than were confirmed.
    bool confirmMode(RebuildMode mode);
    // The question of confirmMode for `waiting` records.
    static QString startAnewQuestion(int waiting);

    // Per-file outcome for reports: the file's path and its file-level refusal
    // code (isFileRefusal), 0 when it was imported (or, before the run, accepted), -1
    // when the run stopped before reaching it.
    struct FileOutcome
    {
        QString path;
        int refusal = 0;
    };
    const QList<FileOutcome>& outcomes() const { return m_outcomes; }
    // A file-level refusal as the command line reports it: "拒否 (002 …)".
    static QString refusalText(int code);
    const QList<AcceptedFile>& accepted() const { return m_accepted; }

    // What the pre-check and the run wrote to the error list (nothing before
    // the pre-check).
    const ErrorList* errorList() const { return m_errors.get(); }

    // The protocol whose class item the file's first record holds, as the
    // pre-check reads it; nothing when it holds neither (or cannot be read).
    static std::optional<Protocol> fileProtocol(const QString& path);

    // Whether run() committed its result.
    bool finished() const { return m_finished; }

    // What the pre-check and the run took and refused: files taken are the
    // ones imported without a file-level refusal; records are the order
    // records read from them (a refused record is counted once, however many
    // entries it has in the error list).
    struct Counts
    {
        int filesTaken = 0;
        int filesRefused = 0;
        int recordsTaken = 0;
        int recordsRefused = 0;
    };
    Counts counts() const;
    // The counts as the end of an import tells them, two lines without a line
    // end: "取込：ﾌｧｲﾙ N件、ﾚｺｰﾄﾞ N件" and "拒否：ﾌｧｲﾙ N件、ﾚｺｰﾄﾞ N件".
    static QStringList countsText(const Counts& counts);
    // Entries written to the error list by the pre-check and the run.
    int errorCount() const;

    // Called with (progress, selected) as each file begins.
    using Progress = std::function<void(int progress, int selected)>;

    // Sorts the accepted files (class, date, time), backs up the data file,
    // rebuilds it by `mode`, imports the files and commits the result; moves
    // the processed files when `moveFiles`; finished() tells it was committed.
    // Throws RuntimeFailure when the run cannot be completed, and Refusal when
    // the data file or the company file is damaged or locked, the code table
    // holds no record (message 3), or mode 3 would remove more records waiting
    // for their slip than confirmMode() confirmed; nothing is changed either way.
    // Releases the locks.
    void run(RebuildMode mode, bool moveFiles, const Progress& progress = {});

    // The sort of the run: class, then date, then time, as numbers.
    static void sortAccepted(QList<AcceptedFile>& files);

    // How the run puts its result in place. By default it writes the shared
    // work file and renames it over the data file. A caller that must be able
    // to finish a run after a kill (the folder watch) gives a work file of its
    // own and is told when the result is written and flushed, just before the
    // rename (`prepared`), and when the rename then failed (`abandoned`): the
    // work file is there until the rename and gone after it.
    struct CommitSteps
    {
        QString workPath;
        std::function<void()> prepared;
        std::function<void()> abandoned;
    };
    void setCommitSteps(CommitSteps steps) { m_commitSteps = std::move(steps); }

    // Moves a processed order file into `dustFolder` (created when missing),
    // replacing a file of the same name there. False when it could not, with
    // the system's reason in `why` when given.
    static bool moveToDust(const QString& dustFolder, const QString& path, QString* why = nullptr);

private:
    void lock();
    void unlock();

    Environment& m_env;
    Protocol m_protocol;
    PrecheckResult m_result;
    QList<AcceptedFile> m_accepted;
    QList<FileOutcome> m_outcomes;
    std::unique_ptr<ErrorList> m_errors;
    std::unique_ptr<FileLock> m_importLock;
    std::unique_ptr<FileLock> m_dataLock;
    CommitSteps m_commitSteps;
    int m_confirmedWaiting = 0; // waiting records mode 3 may remove
    int m_recordsRead = 0;
    int m_recordsRefused = 0;
    bool m_finished = false;
};

} // namespace plx
