#include "CliSession.h"

#include "core/ApUse.h"
#include "core/StartUp.h"

#include <cstdio>

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
    // one-instance rule is the window's. A refused setting is named, so that
    // the operator can mend it with `settings set`.
    StartUp(m_env, {false, true});
}

bool CliSession::handlesFormat(Protocol protocol) const
{
    const bool refused = !servesFormat(m_env, protocol);
    if (refused) {
        std::fprintf(stderr, "この環境では %s のデータを扱いません。(ApUse=%s)\n",
                     protocol == Protocol::Eiaj ? "EIAJ" : "KORVAN", m_env.apUse.toUtf8().constData());
    }
    return !refused;
}

} // namespace plx::cli
