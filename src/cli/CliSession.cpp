#include "CliSession.h"

#include "core/StartUp.h"

namespace plx::cli {

CliSession::CliSession(bool answerYes)
    : m_dialogs(answerYes), m_registry(Registry::defaultFilePath()), m_env(m_dialogs, m_clock, m_registry)
{
    // The command ends by unwinding to main(), not by leaving the process.
    m_env.shutdown = [](int) {};
}

void CliSession::start()
{
    // The command line may run beside the program's window (a list, say); the
    // one-instance rule is the window's.
    StartUp(m_env, {false});
}

} // namespace plx::cli
