#pragma once

#include <QString>

namespace plx {

// How many documents the layout file at `layoutPath` prints to a sheet: the number of
// entries of its "slots". Needs QtCore only, so that the output side can count the
// sheets of a print before it starts. Returns 0 with a Japanese `error` naming the file
// (as LayoutReader words it) when the file is missing, unreadable, not a JSON object,
// or has no slots; the rest of the layout is checked when it is printed.
int slotsPerSheet(const QString& layoutPath, QString& error);

} // namespace plx
