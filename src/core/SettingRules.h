#pragma once

#include "Paths.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace plx {

// How start-up checks the value of a setting it reads.
enum class SettingCheck {
    ApUse,        // exactly "EIAJ", "KORVAN" or "ALL"
    Number,       // numeric text that rounds into a signed 16-bit value
    Installation, // the base folder: it must hold the message catalogue and the code table
};

// One of the settings start-up reads, with the label that names it in reports.
struct StartUpSetting
{
    const char* name;  // "Nifuda"
    const char* label; // "Nifuda/"
    SettingCheck check;
};

// The settings start-up reads, in the order it reads them.
const std::array<StartUpSetting, 7>& startUpSettings();

// The start-up setting called `name`, letter case ignored as the settings
// store ignores it; nothing for any other name.
const StartUpSetting* findStartUpSetting(QStringView name);

// The base folder an InstallBasePath names: the value less one trailing
// separator.
QString baseFolderOf(QString value);

// The files an installation must hold for the program to start, in the
// order start-up looks for them.
enum class InstallationFile { Catalogue, CodeTable };

// The first file of an installation that is not there, or nothing.
std::optional<InstallationFile> missingInstallationFile(const Paths& paths);

// Nothing when start-up takes `value` for `setting`; otherwise what the value
// must be, to tell the operator. For InstallBasePath this looks for the files
// of missingInstallationFile below the folder it names.
std::optional<QString> valueRefusal(const StartUpSetting& setting, const QString& value);

// The rule of a value check, as told when a value fails it.
QString ruleText(SettingCheck check);

} // namespace plx
