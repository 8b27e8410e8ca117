#pragma once

#include "core/OwnWrites.h"
#include "core/Protocol.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace plx {

// Watches the two delivery-slip data files (EIAJ and KORVAN) for changes that
// the list did not read yet: every `interval` it compares each file with the
// stamp it had when the list last read it, and tells of a difference once
// (until the list reads the file again). While it lives, this process notes
// its own writes to the two files (ownwrites), so that it can tell whose
// change a difference is.
class DataFileWatch : public QObject
{
    Q_OBJECT
public:
    DataFileWatch(const QString& eiajPath, const QString& korvanPath, int intervalMs = 500, QObject* parent = nullptr);
    ~DataFileWatch() override;

    // The list is about to read the file of `protocol`. Called before the
    // reading, so that a change made while the list reads is still told
    // afterwards.
    void read(Protocol protocol);
    // The list has read the file: what this process wrote to it while the
    // list read (the older layout converted, a missing file created) is part
    // of what the list shows, and no change to tell.
    void hasRead(Protocol protocol);
    // Whether the file differs from what the list read through a write of
    // another program; false when it is unchanged or only this process wrote it.
    bool changedByOther(Protocol protocol) const;
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
