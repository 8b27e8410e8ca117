#include "DataFileWatch.h"

namespace plx {

DataFileWatch::DataFileWatch(const QString& eiajPath, const QString& korvanPath, int intervalMs, QObject* parent)
    : QObject(parent)
{
    m_paths[Protocol::Eiaj] = eiajPath;
    m_paths[Protocol::Korvan] = korvanPath;
    for (Protocol protocol : kProtocols) {
        ownwrites::follow(m_paths[protocol]);
        read(protocol);
    }
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &DataFileWatch::check);
    m_timer.start();
}

void DataFileWatch::read(Protocol protocol)
{
    m_read[protocol] = FileStamp::of(m_paths[protocol]);
    m_told[protocol] = false;
}

DataFileWatch::~DataFileWatch()
{
    for (Protocol protocol : kProtocols)
        ownwrites::unfollow(m_paths[protocol]);
}

void DataFileWatch::hasRead(Protocol protocol)
{
    const FileStamp now = FileStamp::of(m_paths[protocol]);
    if (ownwrites::leadsTo(m_paths[protocol], m_read[protocol], now))
        m_read[protocol] = now;
}

bool DataFileWatch::changedByOther(Protocol protocol) const
{
    return !ownwrites::leadsTo(m_paths[protocol], m_read[protocol], FileStamp::of(m_paths[protocol]));
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
