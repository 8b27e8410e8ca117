#pragma once

#include "ImportDriver.h"

#include <QString>

namespace plx {

struct Environment;

// The folder the input-file window shows first, from the last input folder of
// `settings` (DataFilePath): that folder without a trailing separator when it
// is not blank and exists, `baseFolder` otherwise. Only for a DataFilePath that
// was read (dataFolderResult RegOk).
QString startFolder(const ImportSettings& settings, const QString& baseFolder);

// Remembers `folder` as the last input folder (DataFilePath). Returns the
// RegResult of the write.
qint32 saveDataFolder(Environment& env, const QString& folder);

} // namespace plx
