#pragma once

#include "output/PrintRun.h"

#include <cstdio>

namespace plx::cli {

// Writes what a print run issued to standard output: each summary line behind
// "# " (so no summary line reads as a path), then every PDF written, each path
// alone on its line, as scripts read them.
inline void printRunSummary(const PrintRunResult& result)
{
    for (const QString& line : result.summaryLines())
        std::printf("# %s\n", line.toUtf8().constData());
    for (const QString& pdf : result.pdfPaths())
        std::printf("%s\n", pdf.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace plx::cli
