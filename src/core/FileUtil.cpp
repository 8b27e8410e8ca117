#include "FileUtil.h"

#include "ErrorReport.h"
#include "FsName.h"
#include "OwnWrites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace plx::fileutil {
namespace {

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The path's exact bytes (a name need not be UTF-8).
QByteArray encoded(const QString& path)
{
    return fsname::encode(path);
}

// Makes a rename or a new name in `folder` durable.
void syncFolder(const QString& folder)
{
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes all of `bytes` to `fd` and flushes them to disk; false with errno set
// when it cannot.
bool writeWhole(int fd, const QByteArray& bytes)
{
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        left -= n;
    }
    return ::fsync(fd) == 0;
}

} // namespace

QByteArray readAll(const QString& path)
{
    // By the exact name: an order file's name need not be UTF-8.
    struct stat st
    {
    };
    if (!fsname::statPath(path, st))
        return {};
    QString why;
    const int fd = fsname::openRead(path, why);
    if (fd < 0)
        throw RuntimeFailure(QStringLiteral("ファイルを開けません。(%1: %2)").arg(fsname::display(path), why));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw RuntimeFailure(QStringLiteral("ファイルを開けません。(%1: %2)").arg(path, file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeFailure(QStringLiteral("ファイルを読み込めません。(%1: %2)").arg(path, file.errorString()));
    return bytes;
}

namespace {

// What sharing with `folder` asks of a file of this account: the folder's
// group, and read and write for it. Nothing for another's file or a folder
// its group may not write.
struct Sharing
{
    bool wanted = false;
    gid_t group = gid_t(-1); // -1: keep
    mode_t mode = 0;         // 0: keep
};

Sharing sharingOf(const struct stat& file, const QString& folder)
{
    struct stat dir
    {
    };
    if (::stat(encoded(folder).constData(), &dir) != 0 || !(dir.st_mode & S_IWGRP) || file.st_uid != ::geteuid())
        return {};
    Sharing out;
    out.wanted = true;
    // A folder without the set-group-ID bit does not hand its group down: take
    // it where this account may (it is one of the group's); elsewhere the file
    // keeps this account's.
    if (file.st_gid != dir.st_gid)
        out.group = dir.st_gid;
    constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
    // 07777: a folder keeps its set-group-ID bit.
    if ((file.st_mode & kGroupReadWrite) != kGroupReadWrite)
        out.mode = (file.st_mode & 07777) | kGroupReadWrite;
    return out;
}

} // namespace

void shareWithFolder(int fd, const QString& folder)
{
    struct stat file
    {
    };
    if (::fstat(fd, &file) != 0)
        return;
    const Sharing sharing = sharingOf(file, folder);
    if (!sharing.wanted)
        return;
    if (sharing.group != gid_t(-1) && ::fchown(fd, uid_t(-1), sharing.group) != 0) {
        // Kept as made.
    }
    if (sharing.mode != 0 && ::fchmod(fd, sharing.mode) != 0) {
        // Kept as made.
    }
}

void shareWithFolder(const QString& path)
{
    // By the name, never opening the file: closing a descriptor of a file
    // drops every POSIX lock this process holds on it, and SQLite keeps its
    // database and its shared memory so while they are open.
    const QByteArray name = encoded(path);
    struct stat file
    {
    };
    if (::lstat(name.constData(), &file) != 0 || !(S_ISREG(file.st_mode) || S_ISDIR(file.st_mode)))
        return;
    const Sharing sharing = sharingOf(file, QFileInfo(path).absolutePath());
    if (!sharing.wanted)
        return;
    if (sharing.group != gid_t(-1) && ::lchown(name.constData(), uid_t(-1), sharing.group) != 0) {
        // Kept as made.
    }
    if (sharing.mode != 0 && ::chmod(name.constData(), sharing.mode) != 0) {
        // Kept as made.
    }
}

bool makeFolder(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.isDir();
    const QString parent = info.absolutePath();
    if (parent == info.absoluteFilePath() || !makeFolder(parent))
        return false;
    if (::mkdir(encoded(path).constData(), 0777) != 0)
        return errno == EEXIST && QFileInfo(path).isDir();
    shareWithFolder(path);
    return true;
}

int createUniqueFile(const QString& folder, const QString& prefix, QString& path, QString& error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = QDir(folder).filePath(
            prefix + QString::number(QRandomGenerator::global()->generate64(), 36) + QStringLiteral(".tmp"));
        // 0666 less the umask, as any new file of this program.
        const int fd = ::open(encoded(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            shareWithFolder(fd, folder);
            path = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            error = systemError();
            return -1;
        }
    }
    error = systemError(EEXIST);
    return -1;
}

namespace {

enum class WriteStage { Create, Write, Rename };

// Writes `bytes` as the whole of `path` through a work file beside it; on a
// failure, the step that failed and the system's reason (the work file gone).
std::optional<std::pair<WriteStage, QString>> writeThroughWorkFile(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    QString work;
    QString why;
    const int fd = createUniqueFile(info.absolutePath(), u'.' + info.fileName() + u'.', work, why);
    if (fd < 0)
        return std::pair{WriteStage::Create, why};
    bool written = writeWhole(fd, bytes);
    int error = written ? 0 : errno;
    if (::close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written || !renameKeepingMode(work, path, why)) {
        if (!written)
            why = systemError(error);
        ::unlink(encoded(work).constData());
        return std::pair{written ? WriteStage::Rename : WriteStage::Write, why};
    }
    return std::nullopt;
}

} // namespace

void writeAtomically(const QString& path, const QByteArray& bytes)
{
    const auto failed = writeThroughWorkFile(path, bytes);
    if (!failed)
        return;
    switch (failed->first) {
    case WriteStage::Create:
        throw RuntimeFailure(QStringLiteral("ファイルを作成できません。(%1: %2)").arg(path, failed->second));
    case WriteStage::Write:
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, failed->second));
    case WriteStage::Rename:
        break;
    }
    throw RuntimeFailure(QStringLiteral("ファイル名を変更できません。(%1: %2)").arg(path, failed->second));
}

bool writeAtomically(const QString& path, const QByteArray& bytes, QString& why)
{
    const auto failed = writeThroughWorkFile(path, bytes);
    if (failed)
        why = failed->second;
    return !failed;
}

void writeAndSync(const QString& path, const QByteArray& bytes)
{
    const ownwrites::Write noted(path);
    // A work file left behind may be another account's, which this one could
    // not open for writing; the folder lets it be removed.
    if (::unlink(encoded(path).constData()) != 0 && errno != ENOENT)
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, systemError()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, file.errorString()));
    file.close();
    syncFile(path);
}

void syncFile(const QString& path)
{
    const int fd = ::open(encoded(path).constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString why = systemError();
        if (fd >= 0)
            ::close(fd);
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, why));
    }
    ::close(fd);
}

bool renameKeepingMode(const QString& from, const QString& to, QString& why)
{
    const ownwrites::Write noted(to);
    const QByteArray source = encoded(from);
    // The new file takes the place of the old one in every respect the other
    // accounts of the installation depend on: its permissions and its group.
    // Only this account's own work file can be changed; a failure leaves it as
    // it was made.
    struct stat old
    {
    };
    if (::stat(encoded(to).constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        struct stat mine
        {
        };
        if (::stat(source.constData(), &mine) == 0 && mine.st_uid == ::geteuid()) {
            if (mine.st_gid != old.st_gid && ::chown(source.constData(), uid_t(-1), old.st_gid) != 0) {
                // Not one of that group: the file keeps this account's.
            }
            if ((mine.st_mode & 07777) != (old.st_mode & 0777) &&
                ::chmod(source.constData(), old.st_mode & 0777) != 0) {
                // Kept as made.
            }
        }
    } else {
        shareWithFolder(from);
    }
    if (std::rename(source.constData(), encoded(to).constData()) != 0) {
        why = systemError();
        return false;
    }
    // Make the rename itself durable.
    syncFolder(QFileInfo(to).absolutePath());
    return true;
}

void replaceFile(const QString& from, const QString& to)
{
    QString why;
    if (!renameKeepingMode(from, to, why))
        throw RuntimeFailure(QStringLiteral("ファイル名を変更できません。(%1 → %2: %3)").arg(from, to, why));
}

QString publishExclusively(const QString& from, const QString& folder, const QString& stem, const QString& suffix)
{
    const QByteArray source = encoded(from);
    for (int n = 1; n <= 9999; ++n) {
        const QString path = QDir(folder).filePath(stem + (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + suffix);
        const QByteArray target = encoded(path);
        // A second name for the finished file: refused, never replacing, when
        // the name is taken.
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            syncFolder(folder);
            return path;
        }
        if (errno == EEXIST)
            continue;
        if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS && errno != EMLINK)
            break;
        // A file system without hard links: the name is taken by creating it
        // exclusively, then the finished file is renamed over it.
        const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        ::close(fd);
        if (std::rename(source.constData(), target.constData()) != 0) {
            const int error = errno;
            ::unlink(target.constData());
            errno = error;
            break;
        }
        syncFolder(folder);
        return path;
    }
    const QString why = systemError();
    ::unlink(source.constData());
    throw RuntimeFailure(QStringLiteral("ファイルを作成できません。(%1: %2)")
                             .arg(QDir::toNativeSeparators(QDir(folder).filePath(stem + suffix)), why));
}

} // namespace plx::fileutil
