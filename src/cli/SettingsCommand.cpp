#include "SettingsCommand.h"

#include "ConsoleDialogs.h"

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/MessageCatalog.h"
#include "core/Registry.h"
#include "core/SettingRules.h"
#include "import/ImportSettingsModel.h"

#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace plx::cli {
namespace {

bool isNamed(const QString& name, const char* value)
{
    // Value names of the settings store do not depend on letter case.
    return name.compare(QLatin1String(value), Qt::CaseInsensitive) == 0;
}

// The texts of the installed catalogue, for a settings store whose catalogue
// cannot be found (the settings may be written before the installation is).
QString fixedText(short number)
{
    switch (number) {
    case kMsgNameTaken:
        return QStringLiteral("既に登録されているため、追加できません。");
    case kMsgNoName:
        return QStringLiteral("ファイル名を入力または選択してください。");
    case kMsgSystemExtension:
        return QStringLiteral("システムファイルの拡張子（SYS・DLL・VXD・386・DRV・EXE・INI）は指定できません。");
    case kMsgBadCharacter:
        return QStringLiteral("ファイル名に次の文字は使用できません。 ? < > | \\ / : , ; ");
    default:
        return kUnknownMessageText;
    }
}

// The settings window's text of message `number`: from the catalogue of the
// installation the settings name when it is there, else the installed text.
QString refusalText(Registry& registry, short number)
{
    QString text = fixedText(number);
    QString base;
    // Reading a key creates it: a store that is not there stays so.
    if (QFileInfo::exists(registry.filePath()) &&
        registry.regGetValue(kRegistryKey, QStringLiteral("InstallBasePath"), base) == RegOk && !base.isEmpty()) {
        if (base.endsWith(QLatin1Char('/')) || base.endsWith(QLatin1Char('\\')))
            base.chop(1);
        const Paths paths = Paths::build(base, QStringLiteral("ALL"));
        if (QFileInfo(paths.msgPath).isFile()) {
            ConsoleDialogs dialogs;
            SystemClock clock;
            Environment env(dialogs, clock, registry);
            env.shutdown = [](int) {};
            env.programBasePath = env.dataBasePath = base;
            env.paths = paths;
            try {
                text = MessageText(env, number);
            } catch (const ProgramEnded&) {
                // The catalogue could not be read (told on stderr): the installed text.
            }
        }
    }
    // The window adds a double quote to 650 so that it lists that character too.
    if (number == kMsgBadCharacter)
        text += QLatin1Char('"');
    return text;
}

// The message with which the settings window would refuse `value` for `name`.
std::optional<short> refusalFor(const QString& name, const QString& value)
{
    if (isNamed(name, "EiajFileName") || isNamed(name, "KoRFileName"))
        return ImportSettingsModel::refusalForNames(value);
    return std::nullopt;
}

} // namespace

int SettingsCommand::execute(const QStringList& arguments)
{
    const QStringList args = arguments.mid(1);
    const bool get = args.size() == 2 && args[0] == QLatin1String("get");
    const bool set = args.size() == 3 && args[0] == QLatin1String("set");
    if (!get && !set) {
        std::fprintf(stderr, "usage: plx90-cli %s\n", usage().toUtf8().constData());
        return kExitUsage;
    }
    Registry registry(Registry::defaultFilePath());
    qint32 rc = RegOk;
    if (get) {
        QString value;
        rc = registry.regGetValue(kRegistryKey, args[1], value);
        if (rc == RegOk)
            std::printf("%s\n", value.toUtf8().constData());
    } else {
        const QString& name = args[1];
        const QString& value = args[2];
        // What start-up would refuse is not stored: every command would stop on it.
        if (const StartUpSetting* setting = findStartUpSetting(name)) {
            if (const auto why = valueRefusal(*setting, value)) {
                std::fprintf(stderr, "%s: %s\n", name.toUtf8().constData(), why->toUtf8().constData());
                return kExitFailed;
            }
        }
        if ((isNamed(name, "FileMove") && !ImportSettingsModel::isValidFileMove(value)) ||
            (isNamed(name, "MakeMode") && !ImportSettingsModel::isValidMakeMode(value))) {
            std::fprintf(stderr, "%s: %s\n", name.toUtf8().constData(),
                         isNamed(name, "FileMove") ? "\"1\" (移動する) または \"2\" (移動しない) を指定してください。"
                                                   : "\"1\"、\"2\" または \"3\" を指定してください。");
            return kExitFailed;
        }
        if (const auto refusal = refusalFor(name, value)) {
            std::fprintf(stderr, "(%03d) %s\n", int(*refusal), refusalText(registry, *refusal).toUtf8().constData());
            return kExitFailed;
        }
        rc = registry.regPutValue(kRegistryKey, name, value);
    }
    if (rc != RegOk) {
        std::fprintf(stderr, "%s/%s (%d)\n", args[1].toUtf8().constData(),
                     Registry::regErrorText(rc).toUtf8().constData(), int(rc));
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace plx::cli
