#pragma once

#include <QByteArray>
#include <QString>

namespace plx {

// The records of a delivery-slip data file that still wait for their slip:
// live records (Kind not blank) whose Status is "1" (waiting for issue) or
// "8" (marked for issue). Starting anew (processing mode 3) removes them with
// every other record, so the window asks before it does.
class PendingRecords
{
public:
    // Counts them in a data file's bytes; bytes after the last whole record
    // are not counted.
    static int count(const QByteArray& records);
    // Counts them in the data file at `path`; a missing or unreadable file has none.
    static int countInFile(const QString& path);
};

} // namespace plx
