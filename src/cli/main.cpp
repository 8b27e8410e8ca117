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
    if (args.size() >= 2) {
        for (const auto& command : commands) {
            if (command->name() != args[1])
                continue;
            try {
                return command->execute(args.mid(1));
            } catch (const plx::ProgramEnded&) {
                // The start-up checks or the error report ended the program; the
                // reason is on stderr already.
                return plx::cli::kExitFailed;
            } catch (const plx::Refusal& refusal) {
                // A locked or damaged data file met outside a trap: nothing
                // was changed.
                std::fprintf(stderr, "%s\n",
                             QString(refusal.message())
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                 .toUtf8()
                                 .constData());
                return plx::cli::kExitFailed;
            }
        }
    }
    std::fprintf(stderr, "usage: plx90-cli COMMAND [OPTIONS]\n\ncommands:\n");
    for (const auto& command : commands)
        std::fprintf(stderr, "  %-10s %s\n", command->name().toUtf8().constData(),
                     command->description().toUtf8().constData());
    return plx::cli::kExitUsage;
}
