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
    : QObject(parent), m_paths{eiajPath, korvanPath}
{
    read(0);
    read(1);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &DataFileWatch::check);
    m_timer.start();
}

void DataFileWatch::read(int kind)
{
    m_read[size_t(kind)] = FileStamp::of(m_paths[size_t(kind)]);
    m_told[size_t(kind)] = false;
}

void DataFileWatch::check()
{
    for (int kind = 0; kind < 2; ++kind) {
        if (m_told[size_t(kind)] || FileStamp::of(m_paths[size_t(kind)]) == m_read[size_t(kind)])
            continue;
        m_told[size_t(kind)] = true;
        emit changed(kind);
    }
}

} // namespace plx
