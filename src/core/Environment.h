#pragma once

#include "Paths.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <memory>

namespace plx {

class Clock;
class ProcessLock;
class Dialogs;
class Registry;

// The one process-wide set of values: settings read at start-up, every path of
// the installation, the log labels, what lives for the whole run, and the
// services every routine needs (dialogs, clock, settings store, shutdown).
// Windows do not talk through it: a question returns its answer and a window
// its result. Owned by main() and passed by reference; never saved as a whole.
struct Environment
{
    Environment(Dialogs& dialogs, Clock& clock, Registry& registry);
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    // Services.
    Dialogs* dialogs;
    Clock* clock;
    Registry* registry;
    // Ends the process. Tests replace it to catch the end instead; whatever it
    // does, endProgram() never returns to its caller.
    std::function<void(int exitCode)> shutdown;
    // Closes every file and window that holds data open (the windows add theirs).
    std::function<void()> closeAllFiles;
    // Closes every open file of the list window (nothing while it has none).
    void closeFiles() const
    {
        if (closeAllFiles)
            closeAllFiles();
    }
    // Told once the error report has shown and logged a run-time failure and
    // closed the files: a window puts away what it shows beside the failure
    // (the main window closes its help viewer). The report knows nothing of
    // what is done.
    std::function<void()> errorReported;

    // Log labels.
    QString logModule;
    QString logOperation;

    // Settings read at start-up.
    QString apUse;
    short logPointer = 0;
    short logCount = 0;
    short nifuda = 0;
    short baseYear = 0;
    short checkSpec = 0;
    QString programBasePath;
    QString dataBasePath;
    Paths paths;

    // What lives for the whole run: the company-file notice is shown once, the
    // search conditions are remembered, when the run started and where windows
    // centre.
    short custNoticeShown = 0;
    short searchOrdererIndex = 0;
    std::array<QString, 8> searchTerms;
    QDateTime startStamp;
    short centerLeft = 0;
    short centerTop = 0;

    // Held while this is the running instance; released by the system when
    // the process ends, however it ends.
    std::unique_ptr<ProcessLock> instanceLock;
};

// Thrown by endProgram() after the shutdown hook returned (tests, the command
// line): the process is over as far as the program is concerned.
struct ProgramEnded
{
    int exitCode;
};

// Closes what is open and ends the program through the shutdown hook.
[[noreturn]] void endProgram(Environment& env, int exitCode = 1);

} // namespace plx
