#pragma once

#include <QString>

#include <memory>

namespace plx {

class ProcessLock;

// The lock of one data file, held by the one program (the window or a command)
// that reads, changes and writes it back. It is an operating-system lock on a
// lock file beside the data file ("E_Deliv.dat.lock"), which dies with the
// program that holds it: a program killed at any moment leaves nothing that
// keeps the next one waiting. A second program waits for the lock a few
// seconds and then gives up with a Refusal that names the file, having
// changed nothing.
class FileLock
{
public:
    // Takes the lock of `dataPath`; `fileLabel` names the file in the message
    // ("納品書ﾌｧｲﾙ"). Waits up to waitMilliseconds(). Throws Refusal.
    FileLock(const QString& dataPath, const QString& fileLabel);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    const QString& dataPath() const { return m_dataPath; }

    // How long a program waits for a lock another one holds: 5 s, or the
    // milliseconds of the environment variable PLX90_LOCK_WAIT_MS.
    static int waitMilliseconds();
    // The lock file of a data file.
    static QString lockPathOf(const QString& dataPath);
    // The message of a lock that could not be had.
    static QString busyText(const QString& fileLabel, const QString& dataPath);

private:
    QString m_dataPath;
    std::unique_ptr<ProcessLock> m_lock;
};

} // namespace plx
