#pragma once

#include "core/Protocol.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

namespace plx {

// What a data file looked like when it was last read: a file written since
// (by any program) no longer has this stamp. A file replaced whole (an import
// renames its rebuilt file into place) gets a new inode even at the same size
// and time.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    static FileStamp of(const QString& path);
    bool operator==(const FileStamp&) const = default;
};

// Watches the two delivery-slip data files (EIAJ and KORVAN) for changes that
// the list did not read yet: every `interval` it compares each file with the
// stamp it had when the list last read it, and tells of a difference once
// (until the list reads the file again).
class DataFileWatch : public QObject
{
    Q_OBJECT
public:
    DataFileWatch(const QString& eiajPath, const QString& korvanPath, int intervalMs = 500, QObject* parent = nullptr);

    // The list is about to read the file of `protocol`. Called before the
    // reading, so that a change made while the list reads is still told
    // afterwards.
    void read(Protocol protocol);
    // Compares now (the timer does it every interval).
    void check();

signals:
    // The file of `protocol` differs from what the list read.
    void changed(plx::Protocol protocol);

private:
    PerProtocol<QString> m_paths;
    PerProtocol<FileStamp> m_read;
    PerProtocol<bool> m_told;
    QTimer m_timer;
};

} // namespace plx
