#pragma once

#include <QString>
#include <QStringList>

namespace plx::cli {

// Exit codes of plx90-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// One subcommand of plx90-cli.
class Command
{
public:
    virtual ~Command() = default;
    virtual QString name() const = 0;
    virtual QString description() const = 0;
    // The usage line after "usage: plx90-cli ", printed by `COMMAND --help`
    // and above a usage error.
    virtual QString usage() const = 0;
    // `arguments` starts with the program name, then the subcommand's own
    // arguments. Returns the exit code.
    virtual int execute(const QStringList& arguments) = 0;
};

} // namespace plx::cli
