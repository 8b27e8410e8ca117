#include "ArrivalTracker.h"

#include "core/FsName.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace plx {

std::optional<FileIdentity> FileIdentity::of(const QString& path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return FileIdentity{0, 0, info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
#else
    struct stat st
    {
    };
    if (!fsname::statPath(path, st) || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size),
                        qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
#endif
}

QJsonObject FileIdentity::toJson() const
{
    // As text: a JSON number does not keep 64 bits.
    return {{QStringLiteral("device"), QString::number(device)},
            {QStringLiteral("inode"), QString::number(inode)},
            {QStringLiteral("size"), QString::number(size)},
            {QStringLiteral("modified"), QString::number(modifiedNs)}};
}

FileIdentity FileIdentity::fromJson(const QJsonObject& json)
{
    const auto number = [&](const char* name) { return json.value(QLatin1String(name)).toString().toLongLong(); };
    return {number("device"), number("inode"), number("size"), number("modified")};
}

QStringList ArrivalTracker::look(const QHash<QString, FileIdentity>& present, const QSet<QString>& renamedIn,
                                 qint64 nowMs)
{
    for (auto it = m_seen.begin(); it != m_seen.end();) {
        if (present.contains(it.key()))
            ++it;
        else
            it = m_seen.erase(it);
    }
    QStringList ready;
    for (auto it = present.begin(); it != present.end(); ++it) {
        const bool renamed = renamedIn.contains(it.key());
        auto seen = m_seen.find(it.key());
        if (seen == m_seen.end() || seen->identity != it.value())
            seen = m_seen.insert(it.key(), Seen{it.value(), nowMs, renamed});
        else if (renamed)
            seen->renamedIn = true;
        if (seen->renamedIn || nowMs - seen->sinceMs >= m_settleMs)
            ready.append(it.key());
    }
    std::sort(ready.begin(), ready.end());
    return ready;
}

std::optional<qint64> ArrivalTracker::nextDueMs() const
{
    std::optional<qint64> next;
    for (const Seen& seen : m_seen) {
        if (seen.renamedIn)
            continue;
        const qint64 due = seen.sinceMs + m_settleMs;
        if (!next || due < *next)
            next = due;
    }
    return next;
}

} // namespace plx
