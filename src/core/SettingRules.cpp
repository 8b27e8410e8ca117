#include "SettingRules.h"

#include "ApUse.h"
#include "text/NumericText.h"

#include <QFileInfo>

namespace plx {

const std::array<StartUpSetting, 7>& startUpSettings()
{
    static const std::array<StartUpSetting, 7> settings = {{
        {"ApUse", "ApUse/", SettingCheck::ApUse},
        {"LogPointer", "LogPointer/", SettingCheck::Number},
        {"LogCount", "LogCount/", SettingCheck::Number},
        {"Nifuda", "Nifuda/", SettingCheck::Number},
        {"BaseYear", "BaseYear/", SettingCheck::Number},
        {"InstallBasePath", "BasePath/", SettingCheck::Installation},
        {"CheckSpec", "CheckSpec/", SettingCheck::Number},
    }};
    return settings;
}

const StartUpSetting* findStartUpSetting(QStringView name)
{
    for (const StartUpSetting& setting : startUpSettings()) {
        if (name.compare(QLatin1String(setting.name), Qt::CaseInsensitive) == 0)
            return &setting;
    }
    return nullptr;
}

QString baseFolderOf(QString value)
{
    if (value.endsWith(QLatin1Char('\\')) || value.endsWith(QLatin1Char('/')))
        value.chop(1);
    return value;
}

std::optional<InstallationFile> missingInstallationFile(const Paths& paths)
{
    if (!QFileInfo::exists(paths.msgPath))
        return InstallationFile::Catalogue;
    if (!QFileInfo::exists(paths.codePath))
        return InstallationFile::CodeTable;
    return std::nullopt;
}

QString ruleText(SettingCheck check)
{
    switch (check) {
    case SettingCheck::ApUse:
        return QStringLiteral("EIAJ、KORVAN または ALL を指定してください。");
    case SettingCheck::Number:
        return QStringLiteral("-32768～32767 の数値を指定してください。");
    case SettingCheck::Installation:
        return QStringLiteral("メッセージファイルとコードファイルのあるフォルダを指定してください。");
    }
    return QString();
}

std::optional<QString> valueRefusal(const StartUpSetting& setting, const QString& value)
{
    switch (setting.check) {
    case SettingCheck::ApUse:
        if (apUseOf(value))
            return std::nullopt;
        break;
    case SettingCheck::Number:
        if (toInt16HalfEven(value))
            return std::nullopt;
        break;
    case SettingCheck::Installation: {
        // The output data files do not matter here: any ApUse builds the same
        // catalogue and code table paths.
        const Paths paths = Paths::build(baseFolderOf(value), QStringLiteral("ALL"));
        const auto missing = missingInstallationFile(paths);
        if (!missing)
            return std::nullopt;
        const QString& path = *missing == InstallationFile::Catalogue ? paths.msgPath : paths.codePath;
        return ruleText(setting.check) + QStringLiteral("（%1 がありません）").arg(path);
    }
    }
    return ruleText(setting.check);
}

} // namespace plx
