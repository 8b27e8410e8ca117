#include "FolderEvents.h"

#include "FsName.h"

#include <QFile>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

namespace plx {

#ifdef Q_OS_LINUX

FolderEvents::FolderEvents(const QString& folder)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    const uint32_t mask = IN_CREATE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_DELETE;
    if (::inotify_add_watch(m_fd, fsname::encode(folder).constData(), mask) < 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

FolderEvents::~FolderEvents()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void FolderEvents::wait(int timeoutMs, int wakeFd)
{
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const int n = ::poll(fds, 2, std::max(0, timeoutMs));
    if (n > 0 && (fds[0].revents & POLLIN))
        drain();
}

void FolderEvents::drain()
{
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            return;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_MOVED_TO) && event->len > 0)
                m_renamedIn.insert(fsname::decode(QByteArray(event->name))); // as listed: exact
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}

#else

FolderEvents::FolderEvents(const QString&) {}

FolderEvents::~FolderEvents() = default;

void FolderEvents::wait(int timeoutMs, int)
{
    QThread::msleep(ulong(std::max(0, timeoutMs)));
}

void FolderEvents::drain() {}

#endif

QSet<QString> FolderEvents::takeRenamedIn()
{
    QSet<QString> names;
    names.swap(m_renamedIn);
    return names;
}

} // namespace plx
