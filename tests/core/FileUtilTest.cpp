#include "core/FileUtil.h"
#include "core/ProcessLock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace plx {
namespace {

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

// Sets the umask for the scope (the usual 022 of a desktop account).
struct Umask
{
    explicit Umask(mode_t mask) : old(::umask(mask)) {}
    ~Umask() { ::umask(old); }
    mode_t old;
};

} // namespace

// A file rewritten whole keeps the permissions of the one it replaces; a file
// or lock file made new in a group-writable folder is writable by the group.
TEST(FileUtil, RewrittenFilesKeepTheirModeAndNewOnesFollowTheFolder)
{
    const Umask usual(022);
    enum class Write { Atomically, WorkFileRenamed, Lock };
    const struct
    {
        const char* name;
        mode_t folder;
        mode_t before; // 0: no file before
        Write write;
        mode_t after;
    } cases[] = {
        {"rewritten in place of a group's file", 0755, 0664, Write::Atomically, 0664},
        {"work file renamed over a group's file", 0755, 0664, Write::WorkFileRenamed, 0664},
        {"rewritten in place of a private file", 0755, 0600, Write::Atomically, 0600},
        {"work file renamed over a private file", 02775, 0600, Write::WorkFileRenamed, 0600},
        {"new in a group-writable folder", 02775, 0, Write::Atomically, 0664},
        {"new through a work file in a group-writable folder", 02775, 0, Write::WorkFileRenamed, 0664},
        {"new in a private folder", 0755, 0, Write::Atomically, 0644},
        {"lock file in a group-writable folder", 02775, 0, Write::Lock, 0664},
        {"lock file in a private folder", 0755, 0, Write::Lock, 0644},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("f"));
        ASSERT_TRUE(QDir().mkdir(folder));
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), c.folder), 0);
        const QString path = folder + QStringLiteral("/E_Deliv.dat");
        if (c.before != 0) {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old");
            old.close();
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.before), 0);
        }
        switch (c.write) {
        case Write::Atomically:
            fileutil::writeAtomically(path, "new");
            break;
        case Write::WorkFileRenamed:
            fileutil::writeAndSync(folder + QStringLiteral("/W_Deliv.dat"), "new");
            fileutil::replaceFile(folder + QStringLiteral("/W_Deliv.dat"), path);
            break;
        case Write::Lock: {
            ProcessLock lock(path);
            ASSERT_EQ(lock.tryLock(0), ProcessLock::Result::Locked);
            EXPECT_EQ(modeOf(path), c.after) << std::oct << modeOf(path);
            continue;
        }
        }
        EXPECT_EQ(modeOf(path), c.after) << std::oct << modeOf(path);
        QFile now(path);
        ASSERT_TRUE(now.open(QIODevice::ReadOnly));
        EXPECT_EQ(now.readAll(), QByteArray("new"));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no work file is left";
    }
}

// Sharing a file by its name keeps the POSIX locks this process holds on it:
// SQLite holds its database and shared memory so, and a lock dropped behind
// its back let another program take the shared memory for unused and cut it
// (the holder then died of SIGBUS).
TEST(FileUtil, SharingAFileKeepsTheLocksThisProcessHoldsOnIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup));
    const QString path = dir.path() + QStringLiteral("/History.db-shm");
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    struct flock held
    {
    };
    held.l_type = F_WRLCK;
    held.l_whence = SEEK_SET;
    held.l_start = 120;
    held.l_len = 1;
    ASSERT_EQ(::fcntl(fd, F_SETLK, &held), 0);

    fileutil::shareWithFolder(path);
    struct stat st
    {
    };
    ASSERT_EQ(::stat(name.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & (S_IRGRP | S_IWGRP), mode_t(S_IRGRP | S_IWGRP)); // shared as before

    // Another process asks whether the byte is locked.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int other = ::open(name.constData(), O_RDWR);
        struct flock probe
        {
        };
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        probe.l_start = 120;
        probe.l_len = 1;
        const bool locked = other >= 0 && ::fcntl(other, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
        ::_exit(locked ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the lock was dropped";
    ::close(fd);
}

} // namespace plx
