#include "ListCommands.h"

#include "core/Environment.h"
#include "output/OutputSelection.h"

#include <QDir>
#include <QFile>

namespace plx {

EmptiedFolder emptyProcessedFolder(const Environment& env)
{
    EmptiedFolder result;
    QDir dust(env.paths.dustFolder);
    for (const QString& name : dust.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dust.filePath(name);
        if (!dust.remove(name)) {
            result.failed = path;
            break;
        }
        result.removed.append(path);
    }
    return result;
}

void deleteOutputLists(Environment& env)
{
    // Print runs keep their extracts in memory now; files of these names are
    // leftovers of an older version's runs. Each series up to its first gap.
    for (int n = 1; n <= OutputSelection::kMaxGroups && QFile::exists(env.paths.slipListPath(n)); ++n)
        QFile::remove(env.paths.slipListPath(n));
    for (int n = 1; n <= OutputSelection::kMaxGroups && QFile::exists(env.paths.tagListPath(n)); ++n)
        QFile::remove(env.paths.tagListPath(n));
}

} // namespace plx
