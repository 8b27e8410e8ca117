#pragma once

class QCoreApplication;

namespace plx {

// Makes Qt's own dialogs and standard buttons speak Japanese, as the rest of
// the program does (the folder and file choosers, the print dialog, the
// standard buttons): loads Qt's Japanese translations (Debian's
// qt6-translations-l10n) from the folder Qt keeps its translations in.
// False, changing nothing, where they are not installed.
bool installQtJapanese(QCoreApplication& app);

} // namespace plx
