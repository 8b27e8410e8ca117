#include "ProcessLock.h"

#include "FileUtil.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

#include <algorithm>
#include <optional>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace plx {

ProcessLock::ProcessLock(QString lockPath) : m_path(std::move(lockPath)) {}

ProcessLock::~ProcessLock()
{
    unlock();
}

ProcessLock::Result ProcessLock::tryLock(int waitMilliseconds)
{
    if (isLocked())
        return Result::Locked;
    const QDeadlineTimer deadline(std::max(0, waitMilliseconds));
    int pause = 5;
    for (;;) {
        std::optional<Result> result = attempt();
        if (!result)
            continue; // the file went away under us: try the new one at once
        if (*result != Result::Held || deadline.hasExpired())
            return *result;
        QThread::msleep(ulong(std::min<qint64>(pause, std::max<qint64>(1, deadline.remainingTime()))));
        pause = std::min(pause * 2, 100);
    }
}

#ifdef Q_OS_WIN

std::optional<ProcessLock::Result> ProcessLock::attempt()
{
    // Windows removes a file opened with delete-on-close when its last handle
    // closes, also when the process is killed; no second program can open it
    // while it is held, as it is opened without sharing.
    const std::wstring path = m_path.toStdWString();
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED)
            return Result::Held;
        m_errorText = QStringLiteral("error %1").arg(error);
        return Result::CannotCreate;
    }
    const QByteArray holder =
        QByteArray::number(GetCurrentProcessId()) + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    DWORD written = 0;
    WriteFile(h, holder.constData(), DWORD(holder.size()), &written, nullptr);
    m_handle = reinterpret_cast<long long>(h);
    return Result::Locked;
}

void ProcessLock::unlock()
{
    if (m_handle < 0)
        return;
    CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}

#else

std::optional<ProcessLock::Result> ProcessLock::attempt()
{
    const QByteArray path = QFile::encodeName(m_path);
    // Close-on-exec: a program this one starts must not keep the lock alive.
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    bool writable = fd >= 0;
    if (fd >= 0) {
        // Another account of the group must be able to open it too, whatever
        // this program's umask.
        fileutil::shareWithFolder(fd, QFileInfo(m_path).absolutePath());
    } else if (errno == EACCES) {
        // A lock file another account made that this one may not write (made
        // by an older program under its umask): flock works on a descriptor
        // opened for reading as well, so the lock is still had.
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            errno = EACCES; // the folder's refusal, not the missing file's
    }
    if (fd < 0) {
        m_errorText = QString::fromLocal8Bit(std::strerror(errno));
        return Result::CannotCreate;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK || error == EINTR)
            return Result::Held;
        m_errorText = QString::fromLocal8Bit(std::strerror(error));
        return Result::CannotCreate;
    }
    // The holder before us removes the file when it releases; the file we
    // opened may be that removed one, while a third program already locks a
    // new file of the name. Only the file that stands at the path counts.
    struct stat opened
    {
    };
    struct stat standing
    {
    };
    if (::fstat(fd, &opened) != 0 || ::stat(path.constData(), &standing) != 0 || opened.st_dev != standing.st_dev ||
        opened.st_ino != standing.st_ino) {
        ::close(fd);
        return std::nullopt;
    }
    const QByteArray holder =
        QByteArray::number(qint64(::getpid())) + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    if (writable && ::ftruncate(fd, 0) == 0) {
        // For whoever looks; the lock does not depend on it.
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, holder.constData(), size_t(holder.size()), 0);
    }
    m_handle = fd;
    return Result::Locked;
}

void ProcessLock::unlock()
{
    if (m_handle < 0)
        return;
    // Removed while still locked, so that no program takes a file that is
    // about to go (see attempt()).
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(int(m_handle));
    m_handle = -1;
}

#endif

} // namespace plx
