#pragma once

#include "CliSession.h"
#include "Command.h"
#include "CommonOptions.h"

#include "core/Protocol.h"

#include <QCommandLineParser>

#include <optional>

namespace plx::cli {

// A command that works on the records of one format of an installation. The
// base does what each of them does first: it parses --eiaj|--korvan with the
// command's own options, prints the usage and exits 2 on a usage error, starts
// the session (the program's start-up checks), checks that the installation
// handles the format and converts the format's data file when it is of the
// older layout, as the list window does when it loads; then the command's own
// part runs.
class FormatCommand : public Command
{
public:
    int execute(const QStringList& arguments) final;

protected:
    // `what` says what the format chooses ("records", "the list", …).
    explicit FormatCommand(const QString& what) : m_protocol(what) {}

    // The command's own options.
    virtual void addOptions(QCommandLineParser&) {}
    // Whether the parsed arguments are a valid call beyond the format (by
    // default: no positional argument); `why` is printed above the usage.
    virtual bool accepts(const QCommandLineParser& parser, QString& why);
    // What the command reads before anything else (its input file, say): an
    // exit code to stop with (kExitUsage prints the usage under `why`), or
    // nothing to go on and start the session.
    virtual std::optional<int> prepare(const QCommandLineParser&, Protocol, QString&) { return std::nullopt; }
    // Whether the questions are answered Yes (--yes).
    virtual bool answersYes(const QCommandLineParser&) const { return false; }
    // Whether the base converts an older-layout data file before run(); a
    // command that converts as it loads (the list, as its window does) says no.
    virtual bool convertsFirst() const { return true; }
    // The command's own part, in a started session of an installation that
    // handles `format`. Returns the exit code.
    virtual int run(const QCommandLineParser& parser, CliSession& session, Protocol format) = 0;

private:
    // Converts the format's data file from the older layout under its lock;
    // false, with the refusal on stderr, when it cannot be converted now.
    static bool convertDataFile(Environment& env, Protocol format);

    ProtocolOption m_protocol;
};

} // namespace plx::cli
