#include "OwnWrites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>

#include <mutex>

#include <sys/stat.h>

namespace plx {

FileStamp FileStamp::of(const QString& path)
{
    FileStamp stamp;
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.inode = quint64(st.st_ino);
    return stamp;
}

namespace ownwrites {
namespace {

// The writes kept per file: enough for every write a window makes between two
// looks of the watch (an entry window registers page after page meanwhile).
constexpr qsizetype kKept = 256;

struct Change
{
    FileStamp before;
    FileStamp after;
};

struct Followed
{
    int followers = 0;
    QList<Change> changes; // oldest first
};

struct Ledger
{
    std::mutex mutex;
    QHash<QString, Followed> files;
};

Ledger& ledger()
{
    static Ledger instance;
    return instance;
}

// One name per file, however the caller spelt its path.
QString keyOf(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

void follow(const QString& path)
{
    Ledger& l = ledger();
    const std::lock_guard guard(l.mutex);
    ++l.files[keyOf(path)].followers;
}

void unfollow(const QString& path)
{
    Ledger& l = ledger();
    const std::lock_guard guard(l.mutex);
    const auto it = l.files.find(keyOf(path));
    if (it != l.files.end() && --it->followers <= 0)
        l.files.erase(it);
}

bool leadsTo(const QString& path, const FileStamp& from, const FileStamp& to)
{
    if (from == to)
        return true;
    Ledger& l = ledger();
    const std::lock_guard guard(l.mutex);
    const auto it = l.files.constFind(keyOf(path));
    if (it == l.files.constEnd())
        return false;
    const QList<Change>& changes = it->changes;
    // Follow the writes from `from` on; each step takes the latest write that
    // started where the last one ended.
    FileStamp at = from;
    for (qsizetype steps = 0; steps < changes.size(); ++steps) {
        qsizetype i = changes.size() - 1;
        while (i >= 0 && !(changes[i].before == at))
            --i;
        if (i < 0)
            return false;
        at = changes[i].after;
        if (at == to)
            return true;
    }
    return false;
}

Write::Write(const QString& path)
{
    Ledger& l = ledger();
    {
        const std::lock_guard guard(l.mutex);
        if (l.files.isEmpty())
            return;
        const QString key = keyOf(path);
        if (!l.files.contains(key))
            return;
        m_key = key;
    }
    m_before = FileStamp::of(path);
}

Write::~Write()
{
    if (m_key.isEmpty())
        return;
    const FileStamp after = FileStamp::of(m_key);
    if (after == m_before)
        return;
    Ledger& l = ledger();
    const std::lock_guard guard(l.mutex);
    const auto it = l.files.find(m_key);
    if (it == l.files.end())
        return;
    it->changes.append({m_before, after});
    if (it->changes.size() > kKept)
        it->changes.removeFirst();
}

} // namespace ownwrites
} // namespace plx
