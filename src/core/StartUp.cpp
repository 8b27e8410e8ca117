#include "StartUp.h"

#include "Clock.h"
#include "Dialogs.h"
#include "Environment.h"
#include "ErrorReport.h"
#include "MessageCatalog.h"
#include "ProcessLock.h"
#include "Registry.h"
#include "SettingRules.h"
#include "text/NumericText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

// A setting's value as a number, for the log's ring position when the setting
// itself may be the one refused: 0 when it does not pass its check.
short lenientNumber(Environment& env, const char* name)
{
    QString value;
    env.registry->regGetValue(kRegistryKey, QLatin1String(name), value);
    return toInt16HalfEven(value).value_or(0);
}

// Leaves the refusal of a setting in the error log. The log's place derives
// from InstallBasePath and its ring position from LogPointer and LogCount,
// any of which may not have been read yet or may be the refused value itself:
// they are read here as far as they are usable. Without a usable base folder
// (or its log folder) nothing is written. A refused LogPointer is not written
// back, so that the next start tells the same.
void logRefusedSetting(Environment& env, const StartUpSetting& refused, const QString& detail)
{
    QString baseValue;
    if (env.registry->regGetValue(kRegistryKey, QStringLiteral("InstallBasePath"), baseValue) != RegOk ||
        baseValue.trimmed().isEmpty())
        return;
    const QString logPath = Paths::build(baseFolderOf(baseValue), QStringLiteral("ALL")).logPath;
    if (!QFileInfo(QFileInfo(logPath).absolutePath()).isDir())
        return;
    const bool pointerRefused = QLatin1String(refused.name) == QLatin1String("LogPointer");
    const short pointer = pointerRefused ? 0 : lenientNumber(env, "LogPointer");
    const short written = appendLogRecord(env, logPath, pointer, lenientNumber(env, "LogCount"), detail);
    if (written > 0 && !pointerRefused)
        env.registry->regPutValue(kRegistryKey, QStringLiteral("LogPointer"), QString::number(written));
}

// A value as it is named in a message and the log line: a control character
// is written as \xNN, so that it cannot break the line it stands in.
QString shownValue(const QString& value)
{
    QString shown;
    for (const QChar c : value) {
        if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x") + QStringLiteral("%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            shown += c;
    }
    return shown;
}

// Reads the start-up setting `name` and ends the start when its value fails
// its check.
QString readChecked(Environment& env, const StartUpOptions& options, const char* name)
{
    const StartUpSetting& setting = *findStartUpSetting(QString::fromLatin1(name));
    const QString value = readSetting(env, QLatin1String(setting.name), QLatin1String(setting.label));
    // The base folder's own check is made by the steps that need the files.
    if (setting.check == SettingCheck::Installation)
        return value;
    if (const auto why = valueRefusal(setting, value)) {
        const QString detail =
            QLatin1String(setting.label) + *why + QStringLiteral("（値「%1」）").arg(shownValue(value));
        logRefusedSetting(env, setting, detail);
        refuse(env, MessageIcon::Critical,
               options.nameRefusedSetting ? kBadSettingsText + QStringLiteral("\r\n") + detail : kBadSettingsText);
    }
    return value;
}

short readNumber(Environment& env, const StartUpOptions& options, const char* name)
{
    return *toInt16HalfEven(readChecked(env, options, name));
}

} // namespace

bool noInstallationNamed(const Registry& registry)
{
    for (const StartUpSetting& setting : startUpSettings()) {
        QString value;
        if (registry.regGetValue(kRegistryKey, QLatin1String(setting.name), value) != RegOk ||
            !value.trimmed().isEmpty())
            return false;
    }
    return true;
}

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
        auto lock = std::make_unique<ProcessLock>(instanceLockPath(env.registry->filePath()));
        if (lock->tryLock(0) != ProcessLock::Result::Locked)
            refuse(env, MessageIcon::Exclamation, kAlreadyRunningText);
        env.instanceLock = std::move(lock);
    }
    if (options.createInstallation && noInstallationNamed(*env.registry) && !options.createInstallation())
        endProgram(env, 1);

    // 3, 4. The settings, in order; the first that fails its check ends the start.
    env.apUse = readChecked(env, options, "ApUse");
    env.logPointer = readNumber(env, options, "LogPointer");
    env.logCount = readNumber(env, options, "LogCount");
    env.nifuda = readNumber(env, options, "Nifuda");
    env.baseYear = readNumber(env, options, "BaseYear");
    const QString base = baseFolderOf(readChecked(env, options, "InstallBasePath"));
    env.programBasePath = base;
    env.checkSpec = readNumber(env, options, "CheckSpec");

    // 5. Output lists left by an earlier run.
    const Paths paths = Paths::build(base, env.apUse);
    for (int n = 1; n <= 50; ++n)
        QFile::remove(paths.slipListPath(n));
    for (int n = 1; n <= 50; ++n)
        QFile::remove(paths.tagListPath(n));

    // 6-10. Paths, catalogue, ordering-company file, code table.
    env.dataBasePath = env.programBasePath;
    env.paths = paths;
    const auto missing = missingInstallationFile(env.paths);
    if (missing == InstallationFile::Catalogue)
        refuse(env, MessageIcon::Critical, kNoCatalogueText);
    if (missing == InstallationFile::CodeTable) {
        ShowMessage(env, 3);
        endProgram(env, 1);
    }
    env.startStamp = env.clock->now();
}

} // namespace plx
