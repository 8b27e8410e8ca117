#include "FormatCommand.h"

#include "core/ErrorReport.h"
#include "output/PrintHistory.h"
#include "store/DeliveryMaintenance.h"

#include <cstdio>

namespace plx::cli {

bool FormatCommand::accepts(const QCommandLineParser& parser, QString&)
{
    return parser.positionalArguments().isEmpty();
}

int FormatCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    m_protocol.addTo(parser);
    addOptions(parser);
    QString why;
    const auto usageError = [&] {
        if (!why.isEmpty())
            std::fprintf(stderr, "%s\n", why.toUtf8().constData());
        std::fprintf(stderr, "usage: plx90-cli %s\n", usage().toUtf8().constData());
        return kExitUsage;
    };
    if (!parser.parse(arguments)) {
        why = parser.errorText();
        return usageError();
    }
    if (!m_protocol.given(parser) || !accepts(parser, why))
        return usageError();
    const Protocol format = m_protocol.protocol(parser);
    if (const std::optional<int> stop = prepare(parser, format, why))
        return *stop == kExitUsage ? usageError() : *stop;
    CliSession session(answersYes(parser));
    session.start();
    if (!session.handlesFormat(format))
        return kExitFailed;
    if (convertsFirst() && !convertDataFile(session.env(), format))
        return kExitFailed;
    // What a print run ended by a crash left pending in the history is
    // settled by the data files before the command reads or changes them.
    settleHistoryAtStart(session.env());
    return run(parser, session, format);
}

bool FormatCommand::convertDataFile(Environment& env, Protocol format)
{
    // As the list window does when it loads. A file of neither layout is left
    // alone here: the command's own reading refuses it as damaged. One that
    // cannot be converted now (another program holds its lock) stops the
    // command with that message rather than let it call the file damaged.
    return runTrapped(env, QStringLiteral("納品書ﾌｧｲﾙ変換/"),
                      [&] { convertOlderLayout(env.paths.delivPathFor(format), env.paths.delivWorkPathFor(format)); });
}

} // namespace plx::cli
