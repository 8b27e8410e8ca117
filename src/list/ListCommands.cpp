#include "ListCommands.h"

#include "core/Environment.h"
#include "output/OutputSelection.h"

#include <QDir>

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
    // The extract files of a print run are these lists; the format does not
    // change their names.
    OutputSelection(env, 0, OutputDocument::Slip).deleteExtractFiles();
    OutputSelection(env, 0, OutputDocument::Tag).deleteExtractFiles();
}

void switchCurrentList(Environment& env, int kind)
{
    const int current = kind == 1 ? 1 : 0;
    env.currentKind = short(current);
    env.currentDelivPath = env.paths.delivPathFor(current);
    env.paths.dcsvPath = Paths::dcsvPathFor(env.paths.usrFolder, current);
    env.paths.tcsvPath = Paths::tcsvPathFor(env.paths.usrFolder, current);
}

} // namespace plx
