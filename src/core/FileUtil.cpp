#include "FileUtil.h"

#include "ErrorReport.h"
#include "FsName.h"
#include "OwnWrites.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plx::fileutil {
namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
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

void writeAtomically(const QString& path, const QByteArray& bytes)
{
    const ownwrites::Write noted(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeFailure(QStringLiteral("ファイルを作成できません。(%1: %2)").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        // The system's reason, before cancelling replaces it with its own.
        const QString why = file.errorString();
        file.cancelWriting();
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, why));
    }
    // QSaveFile syncs the data to disk before it renames the temporary file.
    if (!file.commit())
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, file.errorString()));
}

void writeAndSync(const QString& path, const QByteArray& bytes)
{
    const ownwrites::Write noted(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, file.errorString()));
    file.close();
    syncFile(path);
}

void syncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        const QString why = systemError();
        if (fd >= 0)
            ::close(fd);
        throw RuntimeFailure(QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(path, why));
    }
    ::close(fd);
}

void replaceFile(const QString& from, const QString& to)
{
    const ownwrites::Write noted(to);
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw RuntimeFailure(QStringLiteral("ファイル名を変更できません。(%1 → %2: %3)").arg(from, to, systemError()));
    // Make the rename itself durable.
    const QString folder = QFileInfo(to).absolutePath();
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace plx::fileutil
