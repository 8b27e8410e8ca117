#include "Environment.h"

#include "ProcessLock.h"

#include <cstdlib>

namespace plx {

Environment::Environment(Dialogs& d, Clock& c, Registry& r)
    : dialogs(&d), clock(&c), registry(&r), shutdown([](int code) { std::exit(code); })
{
}

Environment::~Environment() = default;

void endProgram(Environment& env, int exitCode)
{
    env.closeFiles();
    if (env.shutdown)
        env.shutdown(exitCode);
    throw ProgramEnded{exitCode};
}

} // namespace plx
