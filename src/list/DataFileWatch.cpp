#include "DataFileWatch.h"

#include <QFile>

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

DataFileWatch::DataFileWatch(const QString& eiajPath, const QString& korvanPath, int intervalMs, QObject* parent)
    : QObject(parent)
{
    m_paths[Protocol::Eiaj] = eiajPath;
    m_paths[Protocol::Korvan] = korvanPath;
    for (Protocol protocol : kProtocols)
        read(protocol);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &DataFileWatch::check);
    m_timer.start();
}

void DataFileWatch::read(Protocol protocol)
{
    m_read[protocol] = FileStamp::of(m_paths[protocol]);
    m_told[protocol] = false;
}

void DataFileWatch::check()
{
    for (Protocol protocol : kProtocols) {
        if (m_told[protocol] || FileStamp::of(m_paths[protocol]) == m_read[protocol])
            continue;
        m_told[protocol] = true;
        emit changed(protocol);
    }
}

} // namespace plx
