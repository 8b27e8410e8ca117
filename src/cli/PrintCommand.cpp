#include "PrintCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"
#include "RunSummary.h"
#include "TerminalProgress.h"

#include "core/LogLabelScope.h"
#include "core/MessageCatalog.h"
#include "core/Registry.h"
#include "output/PrintRun.h"
#include "output/PrinterChoice.h"
#include "report/PdfReportEngine.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int PrintCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("印刷指定"));
    logLabels.setOperation(QStringLiteral("OKﾎﾞﾀﾝ"));

    PdfReportEngine engine(*env.clock, printerChoice::stored(env));
    TerminalProgress progress;
    const PrintRunResult result =
        runNormalPrint(env, format, engine, company().ordererCode(parser), company().supplierCode(parser), &progress);
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
