#include "PrintCommand.h"

#include "CliSession.h"
#include "CollectingEngine.h"

#include "core/MessageCatalog.h"
#include "core/Registry.h"
#include "output/PrintRun.h"
#include "report/PdfReportEngine.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int PrintCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption eiaj(QStringLiteral("eiaj"), QStringLiteral("EIAJ records"));
    const QCommandLineOption korvan(QStringLiteral("korvan"), QStringLiteral("KORVAN records"));
    const QCommandLineOption orderer(QStringLiteral("orderer"), QStringLiteral("orderer code"), QStringLiteral("CODE"));
    const QCommandLineOption supplier(QStringLiteral("supplier"), QStringLiteral("supplier code"),
                                      QStringLiteral("CODE"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("answer Yes to the confirmations"));
    parser.addOptions({eiaj, korvan, orderer, supplier, yes});
    if (!parser.parse(arguments) || parser.isSet(eiaj) == parser.isSet(korvan) ||
        parser.isSet(orderer) != parser.isSet(supplier) || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "usage: plx90-cli print --eiaj|--korvan [--orderer CODE --supplier CODE] [--yes]\n");
        return kExitUsage;
    }
    const int kind = parser.isSet(eiaj) ? 0 : 1;

    CliSession session(parser.isSet(yes));
    session.start();
    Environment& env = session.env();
    if (!session.handlesFormat(kind))
        return kExitFailed;
    // The output data files of the format printed.
    env.paths.dcsvPath = Paths::dcsvPathFor(env.paths.usrFolder, kind);
    env.paths.tcsvPath = Paths::tcsvPathFor(env.paths.usrFolder, kind);
    env.logModule = QStringLiteral("印刷指定");
    env.logOperation = QStringLiteral("OKﾎﾞﾀﾝ");

    QString printer;
    env.registry->regGetValue(kRegistryKey, QStringLiteral("PrinterName"), printer);
    CollectingEngine engine(*env.clock, printer.trimmed());
    const PrintRunResult result = runNormalPrint(env, kind, engine, parser.value(orderer), parser.value(supplier));
    printRunSummary(result);
    if (result.stopped)
        return kExitFailed; // its message is on stderr
    if (result.slipGroups == 0 && result.tagGroups == 0) {
        ShowMessage(env, 630);
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace plx::cli
