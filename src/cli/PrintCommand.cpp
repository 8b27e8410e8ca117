#include "PrintCommand.h"

#include "CliSession.h"
#include "CollectingEngine.h"
#include "CommonOptions.h"
#include "TerminalProgress.h"

#include "core/MessageCatalog.h"
#include "core/Registry.h"
#include "output/PrintRun.h"
#include "output/PrinterChoice.h"
#include "report/PdfReportEngine.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int PrintCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const ProtocolOption protocol(QStringLiteral("records"));
    const CompanyOptions company;
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("answer Yes to the confirmations"));
    protocol.addTo(parser);
    company.addTo(parser);
    parser.addOption(yes);
    if (!parser.parse(arguments) || !protocol.given(parser) || !company.valid(parser) ||
        !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "usage: plx90-cli print --eiaj|--korvan [--orderer CODE --supplier CODE] [--yes]\n");
        return kExitUsage;
    }
    const int kind = protocol.kind(parser);

    CliSession session(parser.isSet(yes));
    session.start();
    Environment& env = session.env();
    if (!session.handlesFormat(kind))
        return kExitFailed;
    env.logModule = QStringLiteral("印刷指定");
    env.logOperation = QStringLiteral("OKﾎﾞﾀﾝ");

    CollectingEngine engine(*env.clock, printerChoice::stored(env));
    TerminalProgress progress;
    const PrintRunResult result =
        runNormalPrint(env, kind, engine, company.ordererCode(parser), company.supplierCode(parser), &progress);
    printRunSummary(result);
    // A company left out for its output kind was not printed: the run did not
    // do all it was asked (its message is on stderr and in the summary).
    if (result.stopped || !result.refused.isEmpty())
        return kExitFailed; // its message is on stderr
    if (result.slipGroups == 0 && result.tagGroups == 0) {
        ShowMessage(env, 630);
        return kExitFailed;
    }
    return kExitOk;
}

} // namespace plx::cli
