#include "InstallCommand.h"
#include "SettingsCommand.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <vector>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plx90-cli"));

    std::vector<std::unique_ptr<plx::cli::Command>> commands;
    commands.push_back(std::make_unique<plx::cli::InstallCommand>());
    commands.push_back(std::make_unique<plx::cli::SettingsCommand>());

    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 2) {
        for (const auto& command : commands) {
            if (command->name() == args[1])
                return command->execute(args.mid(1));
        }
    }
    std::fprintf(stderr, "usage: plx90-cli COMMAND [OPTIONS]\n\ncommands:\n");
    for (const auto& command : commands)
        std::fprintf(stderr, "  %-10s %s\n", command->name().toUtf8().constData(),
                     command->description().toUtf8().constData());
    return plx::cli::kExitUsage;
}
