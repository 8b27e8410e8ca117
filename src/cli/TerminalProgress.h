#pragma once

#include "output/PrintRun.h"

#include <QString>

namespace plx::cli {

// A progress line on standard error while it is a terminal: each new state
// overwrites the last, and the line is cleared when the work ends. Nothing is
// written when standard error goes to a file or a pipe, and never anything to
// standard output, which scripts read.
class TerminalProgress : public PrintProgress
{
public:
    TerminalProgress();
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // Shows `text` as the progress line.
    void show(const QString& text);
    // Clears the line.
    void clear();

    // A print run's group: "納品書 3/20 102851 北斗星電機".
    bool proceed(const PrintStep& step) override;
    void finished() override { clear(); }

private:
    bool m_terminal;
    bool m_shown = false;
};

} // namespace plx::cli
