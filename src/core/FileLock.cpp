#include "FileLock.h"

#include "ErrorReport.h"

#include "ProcessLock.h"
#include <QDir>
#include <QFileInfo>

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
    : m_dataPath(dataPath), m_lock(std::make_unique<ProcessLock>(lockPathOf(dataPath)))
{
    // A holder may keep the lock for minutes (a print run waits for the
    // operator's answers), so age never makes a lock stale; only a holder that
    // no longer runs does, and the system releases its lock then.
    switch (m_lock->tryLock(waitMilliseconds())) {
    case ProcessLock::Result::Locked:
        return;
    case ProcessLock::Result::Held:
        throw Refusal(busyText(fileLabel, dataPath));
    case ProcessLock::Result::CannotCreate:
        break;
    }
    throw RuntimeFailure(QStringLiteral("%1のﾛｯｸﾌｧｲﾙを作成できません。(%2: %3)")
                             .arg(fileLabel, QDir::toNativeSeparators(lockPathOf(dataPath)), m_lock->errorText()));
}

FileLock::~FileLock() = default;

} // namespace plx
