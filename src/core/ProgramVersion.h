#pragma once

#include <QString>

namespace plx {

// The version of this build of the programs (the build's project version,
// "1.0.0"), the one source of what --version prints and the version window
// shows beside the installation's own version setting.
QString programVersion();

// What `plx90 --version` and `plx90-cli --version` print: "plx90 1.0.0".
QString programVersionLine();

} // namespace plx
