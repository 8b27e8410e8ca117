#include "StartUp.h"

#include "Clock.h"
#include "Dialogs.h"
#include "Environment.h"
#include "MessageCatalog.h"
#include "Registry.h"
#include "text/NumericText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace plx {
namespace {

[[noreturn]] void refuse(Environment& env, MessageIcon icon, const QString& text)
{
    env.dialogs->show(icon, text, MessageButtons::Ok, DefaultButton::First);
    endProgram(env, 1);
}

// Reads one setting. The catalogue and the log are not known yet at this point
// (their place derives from InstallBasePath), so a failed read shows a fixed text
// of the value's log label and the settings store's explanation.
QString readSetting(Environment& env, const QString& name, const QString& label)
{
    QString value;
    const qint32 result = env.registry->regGetValue(kRegistryKey, name, value);
    if (result != RegOk)
        refuse(env, MessageIcon::Critical, label + Registry::regFailureText(result));
    return value;
}

short readNumber(Environment& env, const QString& name, const QString& label)
{
    const auto number = toInt16HalfEven(readSetting(env, name, label));
    if (!number)
        refuse(env, MessageIcon::Critical, kBadSettingsText);
    return *number;
}

} // namespace

QString instanceLockPath(const QString& registryPath)
{
    const QByteArray hash =
        QCryptographicHash::hash(QFileInfo(registryPath).absoluteFilePath().toUtf8(), QCryptographicHash::Sha1);
    return QDir::tempPath() + QStringLiteral("/plx90-") + QString::fromLatin1(hash.toHex().left(16)) +
           QStringLiteral(".lock");
}

void StartUp(Environment& env, const StartUpOptions& options)
{
    // 1. Labels and the values kept for the run.
    env.logModule = QStringLiteral("共通部");
    env.logOperation = QStringLiteral("ＡＰメイン処理");
    env.custNoticeShown = 0;
    env.searchOrdererIndex = 0;
    env.searchTerms.fill(QString());

    // 2. One instance per settings store.
    if (options.singleInstance) {
        auto lock = std::make_unique<QLockFile>(instanceLockPath(env.registry->filePath()));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            refuse(env, MessageIcon::Exclamation, kAlreadyRunningText);
        env.instanceLock = std::move(lock);
    }

    // 3, 4. The settings, in order; the first that fails its check ends the start.
    const QString apUse = readSetting(env, QStringLiteral("ApUse"), QStringLiteral("ApUse/"));
    if (apUse != QLatin1String("EIAJ") && apUse != QLatin1String("KORVAN") && apUse != QLatin1String("ALL"))
        refuse(env, MessageIcon::Critical, kBadSettingsText);
    env.apUse = apUse;
    env.logPointer = readNumber(env, QStringLiteral("LogPointer"), QStringLiteral("LogPointer/"));
    env.logCount = readNumber(env, QStringLiteral("LogCount"), QStringLiteral("LogCount/"));
    env.nifuda = readNumber(env, QStringLiteral("Nifuda"), QStringLiteral("Nifuda/"));
    env.baseYear = readNumber(env, QStringLiteral("BaseYear"), QStringLiteral("BaseYear/"));
    QString base = readSetting(env, QStringLiteral("InstallBasePath"), QStringLiteral("BasePath/"));
    if (base.endsWith(QLatin1Char('\\')) || base.endsWith(QLatin1Char('/')))
        base.chop(1);
    env.programBasePath = base;
    env.checkSpec = readNumber(env, QStringLiteral("CheckSpec"), QStringLiteral("CheckSpec/"));

    // 5. Output lists left by an earlier run.
    const Paths paths = Paths::build(base, env.apUse);
    for (int n = 1; n <= 50; ++n)
        QFile::remove(paths.slipListPath(n));
    for (int n = 1; n <= 50; ++n)
        QFile::remove(paths.tagListPath(n));

    // 6-10. Paths, catalogue, ordering-company file, code table.
    env.dataBasePath = env.programBasePath;
    env.paths = paths;
    if (!QFileInfo::exists(env.paths.msgPath))
        refuse(env, MessageIcon::Critical, kNoCatalogueText);
    env.custFileMissing = QFileInfo::exists(env.paths.custPath) ? 0 : 1;
    if (!QFileInfo::exists(env.paths.codePath)) {
        ShowMessage(env, 3);
        endProgram(env, 1);
    }
    env.startStamp = env.clock->now();
}

} // namespace plx
