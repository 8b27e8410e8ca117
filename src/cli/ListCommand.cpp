#include "ListCommand.h"

#include "list/DeliveryList.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int ListCommand::run(const QCommandLineParser&, CliSession& session, Protocol format)
{
    DeliveryList list(session.env());
    // A list that misses part of its data (a file refused or not opened, told
    // on standard error) is not printed as if it were whole.
    if (!list.reload(format) || !list.complete(format))
        return kExitFailed;
    const DeliveryListModel& model = list.model(format);
    // Tabs and line breaks inside a value would break the columns.
    const auto clean = [](QString text) {
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text;
    };
    QString out;
    for (int c = 0; c < DeliveryListModel::kColumnCount; ++c)
        out += (c ? QStringLiteral("\t") : QString()) + DeliveryListModel::headerText(c);
    out += QLatin1Char('\n');
    std::fputs(out.toUtf8().constData(), stdout);
    for (int row = 0; row < model.listedCount(); ++row) {
        out.clear();
        for (int c = 0; c < DeliveryListModel::kColumnCount; ++c)
            out += (c ? QStringLiteral("\t") : QString()) + clean(model.cellText(row, c));
        out += QLatin1Char('\n');
        std::fputs(out.toUtf8().constData(), stdout);
    }
    return kExitOk;
}

} // namespace plx::cli
