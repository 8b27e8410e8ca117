#pragma once

#include <QStringList>

namespace plx {

struct Environment;

// What emptying the processed-files folder did: the files removed, in the
// order they went, and the file that could not be removed (empty when every
// file went). Emptying stops at the first file that cannot be removed.
struct EmptiedFolder
{
    QStringList removed;
    QString failed;
    bool complete() const { return failed.isEmpty(); }
};

// Empties the Dust folder, where an import moves the order files it has
// processed: removes its files, hidden and system ones included; folders in it
// stay. A missing folder counts as empty.
EmptiedFolder emptyProcessedFolder(const Environment& env);

// Deletes the output lists a print run leaves behind, the slip lists
// (1NoOutFile.txt ...) and the tag lists (1NiOutFile.txt ...), each series up
// to its first missing number.
void deleteOutputLists(Environment& env);

} // namespace plx
