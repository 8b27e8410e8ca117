#pragma once

#include "ConsoleDialogs.h"

#include "core/Clock.h"
#include "core/Environment.h"
#include "core/Registry.h"

namespace plx::cli {

// What a command that works on an installation needs: the settings store, the
// console dialogs, the clock and an Environment that went through the start-up
// checks of the program. A failure of those checks (or any later end of the
// program) surfaces as ProgramEnded, which main() turns into exit code 1.
class CliSession
{
public:
    explicit CliSession(bool answerYes = false);
    // Runs the start-up checks; throws ProgramEnded when they refuse.
    void start();

    Environment& env() { return m_env; }

    // False, with a message on stderr, when the installation does not handle
    // the format (0 EIAJ, 1 KORVAN).
    bool handlesFormat(Protocol protocol) const;

private:
    ConsoleDialogs m_dialogs;
    SystemClock m_clock;
    Registry m_registry;
    Environment m_env;
};

} // namespace plx::cli
