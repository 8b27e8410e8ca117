#pragma once

#include <QSet>
#include <QString>

namespace plx {

// Tells a program that waits for files when something happens in a folder,
// and which names were renamed into it. Where the system cannot report on a
// folder (another system, a network folder it does not watch), wait() simply
// waits its time, and the caller looks at the folder then.
class FolderEvents
{
public:
    explicit FolderEvents(const QString& folder);
    ~FolderEvents();
    FolderEvents(const FolderEvents&) = delete;
    FolderEvents& operator=(const FolderEvents&) = delete;

    // Whether the system reports the folder's changes.
    bool reports() const { return m_fd >= 0; }

    // Waits until something changes in the folder, `wakeFd` (when not -1)
    // becomes readable, or `timeoutMs` have passed.
    void wait(int timeoutMs, int wakeFd);

    // The names renamed into the folder since the last call.
    QSet<QString> takeRenamedIn();

private:
    void drain();

    int m_fd = -1;
    QSet<QString> m_renamedIn;
};

} // namespace plx
