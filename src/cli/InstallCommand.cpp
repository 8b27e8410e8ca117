#include "InstallCommand.h"

#include "Installer.h"

#include "core/ApUse.h"
#include "core/Registry.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int InstallCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption base(QStringLiteral("base"), QStringLiteral("base folder"), QStringLiteral("DIR"));
    const QCommandLineOption apUse(QStringLiteral("ap-use"), QStringLiteral("EIAJ, KORVAN or ALL"),
                                   QStringLiteral("USE"), QStringLiteral("ALL"));
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("overwrite existing files and settings"));
    const QCommandLineOption demo(QStringLiteral("demo"), QStringLiteral("add demo companies and delivery records"));
    parser.addOptions({base, apUse, force, demo});
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty() || !parser.isSet(base)) {
        std::fprintf(stderr, "%s\nusage: plx90-cli %s\n", parser.errorText().toUtf8().constData(),
                     usage().toUtf8().constData());
        return kExitUsage;
    }
    const QString use = parser.value(apUse);
    if (!apUseOf(use)) {
        std::fprintf(stderr, "--ap-use must be EIAJ, KORVAN or ALL\n");
        return kExitUsage;
    }

    Registry registry(Registry::defaultFilePath());
    Installer installer(registry,
                        {parser.value(base), use, parser.isSet(apUse), parser.isSet(force), parser.isSet(demo)});
    if (!installer.run()) {
        std::fprintf(stderr, "%s\n", installer.error().toUtf8().constData());
        return kExitFailed;
    }
    for (const QString& line : installer.report())
        std::printf("%s\n", line.toUtf8().constData());
    std::printf("設定: %s\n", registry.filePath().toUtf8().constData());
    return kExitOk;
}

} // namespace plx::cli
