// Built into plx90-cli-crashpoints only, never into the program the package
// ships: ends a watch at the step of a batch that PLX90_WATCH_CRASH_AT names
// ("prepared", "committed", "moved"), at once, as kill -9 would. The tests of
// a watch killed at a chosen step run this program.
#include "import/WatchJournal.h"

#include <QString>

#include <csignal>

namespace {

void crashAt(const char* step)
{
    if (qEnvironmentVariable("PLX90_WATCH_CRASH_AT") == QLatin1String(step))
        std::raise(SIGKILL);
}

const bool installed = [] {
    plx::setWatchStepObserver(&crashAt);
    return true;
}();

} // namespace
