#include "FileLock.h"

#include "ErrorReport.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace plx {

namespace {
constexpr int kDefaultWaitMs = 5000;
}

int FileLock::waitMilliseconds()
{
    bool ok = false;
    const int wait = qEnvironmentVariableIntValue("PLX90_LOCK_WAIT_MS", &ok);
    return ok && wait >= 0 ? wait : kDefaultWaitMs;
}

QString FileLock::lockPathOf(const QString& dataPath)
{
    return dataPath + QStringLiteral(".lock");
}

QString FileLock::busyText(const QString& fileLabel, const QString& dataPath)
{
    return QStringLiteral("%1は他のﾌﾟﾛｸﾞﾗﾑが使用中です。しばらくしてからやり直してください。\r\n(%2)")
        .arg(fileLabel, QDir::toNativeSeparators(dataPath));
}

FileLock::FileLock(const QString& dataPath, const QString& fileLabel)
    : m_dataPath(dataPath), m_lock(std::make_unique<QLockFile>(lockPathOf(dataPath)))
{
    // A holder may keep the lock for minutes (a print run waits for the
    // operator's answers), so age alone never makes a lock stale; only a holder
    // that no longer runs does.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(waitMilliseconds()))
        return;
    if (m_lock->error() == QLockFile::LockFailedError)
        throw Refusal(busyText(fileLabel, dataPath));
    throw RuntimeFailure(QStringLiteral("%1のﾛｯｸﾌｧｲﾙを作成できません。(%2)")
                             .arg(fileLabel, QDir::toNativeSeparators(lockPathOf(dataPath))));
}

FileLock::~FileLock() = default;

} // namespace plx
