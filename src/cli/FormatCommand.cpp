#include "FormatCommand.h"

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
    return run(parser, session, format);
}

} // namespace plx::cli
