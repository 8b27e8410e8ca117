#include "ProgramVersion.h"

namespace plx {

QString programVersion()
{
    // Defined for this file alone by the build, from the project's version.
    return QStringLiteral(PLX90_VERSION);
}

QString programVersionLine()
{
    return QStringLiteral("plx90 ") + programVersion();
}

} // namespace plx
