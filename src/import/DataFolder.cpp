#include "DataFolder.h"

#include "core/Environment.h"
#include "core/Registry.h"

#include <QDir>
#include <QFileInfo>

namespace plx {

QString startFolder(const ImportSettings& settings, const QString& baseFolder)
{
    QString folder = settings.dataFolder;
    if (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    if (folder.trimmed().isEmpty() || !QFileInfo(folder).isDir())
        return baseFolder;
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

qint32 saveDataFolder(Environment& env, const QString& folder)
{
    return env.registry->regPutValue(kRegistryKey, QStringLiteral("DataFilePath"), folder);
}

} // namespace plx
