#pragma once

#include <QString>

#include <functional>

namespace plx {

struct Environment;
class Registry;

inline const QString kAlreadyRunningText = QStringLiteral("既に起動しています。");
inline const QString kBadSettingsText = QStringLiteral("レジストリの情報に誤りがあります。");
inline const QString kNoCatalogueText = QStringLiteral("メッセージ情報が確認できません。");

struct StartUpOptions
{
    // Refuse to run beside another instance using the same settings store.
    bool singleInstance = true;
    // A refused setting is named under the fixed text, with its value and
    // what it must be (the command line); the window shows the fixed text alone.
    bool nameRefusedSetting = false;
    // Called after the instance check when the settings store names no
    // installation at all (noInstallationNamed): the first start for it. It may
    // create one and returns true to go on with the start, false to end it.
    // Without it such a store is refused like any other bad setting.
    std::function<bool()> createInstallation = {};
};

// The start-up steps before the main window: the instance check, the seven
// settings read and checked in order (the rules of SettingRules), every path
// derived from the base folder, removal of the output lists left by an
// earlier run, and the presence of the message catalogue and the code table.
// Returns when the program may go on; otherwise it tells the operator and ends
// the program (endProgram). A refused setting is also named in the error log
// when the log can be found.
void StartUp(Environment& env, const StartUpOptions& options = {});

// Whether the settings store holds none of the settings start-up reads, so that
// no installation was ever made for it. A store that cannot be read is not
// taken for an empty one: start-up reports it.
bool noInstallationNamed(const Registry& registry);

// The instance lock's file for a settings store.
QString instanceLockPath(const QString& registryPath);

} // namespace plx
