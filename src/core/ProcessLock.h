#pragma once

#include <QString>

#include <optional>

namespace plx {

// An exclusive lock on a lock file that the operating system holds for this
// process: it is released when the process ends, however it ends (a kill -9
// included), so no program is ever kept waiting by a holder that is gone.
// Whatever the file holds (nothing, an older program's process id) does not
// matter; only a living holder does.
//
// While held, the file names the holder (process id and host) for whoever
// looks; releasing removes it. The file is made writable for the group where
// its folder is, and a file this account may only read is locked all the same,
// so the accounts that share an installation never shut one another out.
class ProcessLock
{
public:
    enum class Result {
        Locked,
        Held,         // another living program holds it
        CannotCreate, // the lock file cannot be created or opened
    };

    explicit ProcessLock(QString lockPath);
    ~ProcessLock();
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    const QString& path() const { return m_path; }

    // Tries for up to `waitMilliseconds` (0: once).
    Result tryLock(int waitMilliseconds);
    bool isLocked() const { return m_handle >= 0; }
    void unlock();
    // The system's description of the last failure to create or lock the file.
    const QString& errorText() const { return m_errorText; }

private:
    // One attempt: Locked, Held or CannotCreate; nothing when the file was
    // replaced while it was being locked (try again at once).
    std::optional<Result> attempt();

    QString m_path;
    QString m_errorText;
    long long m_handle = -1; // a file descriptor (or a Windows handle)
};

} // namespace plx
