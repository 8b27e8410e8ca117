#pragma once

#include "Paths.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class QLockFile;

namespace plx {

class Clock;
class Dialogs;
class Registry;

// The one process-wide set of values: settings read at start-up, every path of
// the installation, the log labels, the values windows hand to each other, and
// the services every routine needs (dialogs, clock, settings store, shutdown).
// Owned by main() and passed by reference; never saved as a whole.
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
    // Closes the help viewer of the main window.
    std::function<void()> closeHelpViewer;

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

    // Flags and hand-over values between windows.
    short custNoticeShown = 0;
    short entryMode = 0;
    short searchOrdererIndex = 0;
    std::array<QString, 8> searchTerms;
    short custNotFound = 1;
    short custFileMissing = 0;
    QDateTime startStamp;
    short msgAnswer = 0;
    short changedFlag = 0;
    short selFirstRow = 0;
    short selLastRow = 0;
    short selRangeFlag = 0;
    short searchStartRow = 0;
    short searchFoundRow = 0;
    short importDone = 0;
    short importErrors = 0;
    QString chosenFormFile;
    short currentKind = 0;
    QString currentDelivPath;
    short centerLeft = 0;
    short centerTop = 0;

    // Values the slip and tag output set before asking for confirmation: the
    // number of items, of sheets and the layout file of the current company.
    short outputItemCount = 0;
    short outputSheetCount = 0;
    QString outputFormFile;

    // Scratch values of the settings and message routines.
    QString workText;
    QString regValue;
    qint32 regResult = 0;

    // Held while this is the running instance.
    std::unique_ptr<QLockFile> instanceLock;
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
