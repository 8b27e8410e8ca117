#include "CompanyCommand.h"
#include "DeleteCommand.h"
#include "HistoryCommand.h"
#include "ImportCommand.h"
#include "InstallCommand.h"
#include "ListCommand.h"
#include "PrintCommand.h"
#include "SearchCommand.h"
#include "SettingsCommand.h"
#include "ShipCommand.h"
#include "WatchCommand.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FsName.h"
#include "core/ProcessSettings.h"
#include "core/ProgramVersion.h"
#include "report/ReportApplication.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char* argv[])
{
    plx::applyProcessSettings();
    // Printing lays out documents, which needs the GUI application (offscreen).
    const auto app = plx::report::makePrintingApplication(argc, argv);

    std::vector<std::unique_ptr<plx::cli::Command>> commands;
    commands.push_back(std::make_unique<plx::cli::InstallCommand>());
    commands.push_back(std::make_unique<plx::cli::SettingsCommand>());
    commands.push_back(std::make_unique<plx::cli::ListCommand>());
    commands.push_back(std::make_unique<plx::cli::ImportCommand>());
    commands.push_back(std::make_unique<plx::cli::PrintCommand>());
    commands.push_back(std::make_unique<plx::cli::ShipCommand>());
    commands.push_back(std::make_unique<plx::cli::CompanyCommand>());
    commands.push_back(std::make_unique<plx::cli::DeleteCommand>());
    commands.push_back(std::make_unique<plx::cli::SearchCommand>());
    commands.push_back(std::make_unique<plx::cli::HistoryCommand>());
    commands.push_back(std::make_unique<plx::cli::WatchCommand>());

    // The arguments as the bytes they are: a file name need not be UTF-8, and
    // Qt's own conversion would lose such bytes. The application has taken
    // its own options out of argv by now.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(plx::fsname::decode(QByteArray(argv[i])));
    const auto write = [](FILE* stream, const QString& text) { std::fputs(text.toUtf8().constData(), stream); };
    const auto overview = [&] {
        QString text = QStringLiteral("usage: plx90-cli COMMAND [OPTIONS]\n"
                                      "       plx90-cli COMMAND --help | help [COMMAND] | --help | --version\n\n"
                                      "commands:\n");
        for (const auto& command : commands)
            text += QStringLiteral("  %1 %2\n").arg(command->name(), -10).arg(command->description());
        return text + QStringLiteral("\nSettings: $PLX90_REGISTRY, else $XDG_CONFIG_HOME/plx90/registry.ini "
                                     "(~/.config/plx90/registry.ini). See plx90-cli(1).\n");
    };
    const auto commandHelp = [](const plx::cli::Command& command) {
        return QStringLiteral("usage: plx90-cli %1\n\n%2. See plx90-cli(1).\n")
            .arg(command.usage(), command.description());
    };
    const auto find = [&](const QString& name) -> plx::cli::Command* {
        for (const auto& command : commands) {
            if (command->name() == name)
                return command.get();
        }
        return nullptr;
    };
    const auto usageError = [&](const QString& why) {
        write(stderr, why + QLatin1Char('\n') + overview());
        return plx::cli::kExitUsage;
    };

    if (args.size() < 2)
        return usageError(QStringLiteral("no command given"));
    const QString& first = args[1];
    if (first == QLatin1String("--version")) {
        write(stdout, plx::programVersionLine() + QLatin1Char('\n'));
        return plx::cli::kExitOk;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        if (first != QLatin1String("help") || args.size() == 2) {
            write(stdout, overview());
            return plx::cli::kExitOk;
        }
        const plx::cli::Command* command = find(args[2]);
        if (!command || args.size() > 3)
            return usageError(QStringLiteral("unknown command: ") + args.mid(2).join(QLatin1Char(' ')));
        write(stdout, commandHelp(*command));
        return plx::cli::kExitOk;
    }
    plx::cli::Command* command = find(first);
    if (!command)
        return usageError(QStringLiteral("unknown command: ") + first);
    // COMMAND --help asks for the command's usage, wherever it stands among
    // the options; after "--" it is an argument like any other.
    for (const QString& arg : args.mid(2)) {
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            write(stdout, commandHelp(*command));
            return plx::cli::kExitOk;
        }
    }
    try {
        return command->execute(args.mid(1));
    } catch (const plx::ProgramEnded&) {
        // The start-up checks or the error report ended the program; the
        // reason is on stderr already.
        return plx::cli::kExitFailed;
    } catch (const plx::Refusal& refusal) {
        // A locked or damaged data file met outside a trap: nothing
        // was changed.
        std::fprintf(
            stderr, "%s\n",
            QString(refusal.message()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8().constData());
        return plx::cli::kExitFailed;
    }
}
