#pragma once

#include <QString>
#include <QtGlobal>

namespace plx {

// What a file looked like at one moment: a file written since (by any program)
// no longer has this stamp. A file replaced whole (an import renames its
// rebuilt file into place) gets a new inode even at the same size and time.
struct FileStamp
{
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    quint64 inode = 0;
    static FileStamp of(const QString& path);
    bool operator==(const FileStamp&) const = default;
};

// The writes this process makes to the files someone in it follows (the list
// window follows the two data files). Every routine that writes a file notes
// the write here, whichever window or command it serves: the stamp before it
// and the stamp it left. A follower can then tell a change this process made
// from one another program made, without each window having to report its
// writes.
namespace ownwrites {

// Starts noting the writes to `path`; unfollow ends it. Calls nest.
void follow(const QString& path);
void unfollow(const QString& path);

// Whether the file went from `from` to `to` through writes of this process
// alone (true when the two are the same). A write of another program in
// between breaks the chain.
bool leadsTo(const QString& path, const FileStamp& from, const FileStamp& to);

// One write to `path`: notes the file's stamp when it starts and, when it ends
// (also through an exception, for a write that failed half-way), the stamp it
// left. Costs nothing for a file nobody follows. The caller holds the file's
// lock where it has one, so that no other program writes between the two.
class Write
{
public:
    explicit Write(const QString& path);
    ~Write();
    Write(const Write&) = delete;
    Write& operator=(const Write&) = delete;

private:
    QString m_key; // empty when the file is not followed
    FileStamp m_before;
};

} // namespace ownwrites
} // namespace plx
