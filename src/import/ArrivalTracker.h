#pragma once

#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace plx {

// What tells one version of a file from another: the file itself (device and
// inode), its length and its last write to the nanosecond. A file written
// again, replaced by another of the same name or renamed over has another
// identity.
struct FileIdentity
{
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;

    bool operator==(const FileIdentity&) const = default;

    // The identity of the regular file at `path`, or nothing when there is none.
    static std::optional<FileIdentity> of(const QString& path);

    QJsonObject toJson() const;
    static FileIdentity fromJson(const QJsonObject& json);
};

// Decides when an order file arriving in a folder is complete: once its
// identity has stayed the same for the settle time, or at once when it was
// renamed into the folder (a writer that renames into place has finished).
// Time is a steady count of milliseconds given by the caller.
class ArrivalTracker
{
public:
    explicit ArrivalTracker(qint64 settleMs) : m_settleMs(settleMs) {}

    // One look at the folder: `present` holds the candidate files with their
    // identities, `renamedIn` the names renamed into the folder since the last
    // look. Returns the names that are complete, in name order. A file that
    // is gone is forgotten; a file that changed starts its settle time again.
    QStringList look(const QHash<QString, FileIdentity>& present, const QSet<QString>& renamedIn, qint64 nowMs);

    // When the next waiting file may be complete, or nothing when none waits.
    std::optional<qint64> nextDueMs() const;

private:
    struct Seen
    {
        FileIdentity identity;
        qint64 sinceMs = 0;
        bool renamedIn = false;
    };

    qint64 m_settleMs;
    QHash<QString, Seen> m_seen;
};

} // namespace plx
