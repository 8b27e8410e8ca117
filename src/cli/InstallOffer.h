#pragma once

#include <QString>

#include <functional>

namespace plx {

class Dialogs;
class Registry;

inline const QString kOfferInstallationText = QStringLiteral(
    "PLX-90のインストールがありません。\r\nインストール先のフォルダを選んで、いまインストールしますか？");

// The first start of the window on a settings store that names no installation:
// asks the clerk whether to create one; on Yes `chooseBaseFolder` asks for the
// base folder (empty: cancelled) and the installer sets it up there with the
// settings of `plx90-cli install --base DIR` (a folder that already holds an
// installation keeps its files). A failure is shown with the installer's text.
// Returns true when the installation is in place and the start may go on.
bool offerInstallation(Registry& registry, Dialogs& dialogs, const std::function<QString()>& chooseBaseFolder);

} // namespace plx
