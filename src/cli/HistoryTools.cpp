// The history's export and reprint, and the `history` command that leads to
// them and to the look-up.

#include "HistoryCommand.h"

#include "CliSession.h"

#include "billing/HistoryDesk.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FsName.h"
#include "core/LogLabelScope.h"
#include "output/PrinterChoice.h"
#include "report/PdfReportEngine.h"

#include <QCommandLineParser>
#include <QDir>
#include <QSet>

#include <cstdio>

namespace plx::cli {

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "%s\n",
                 QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8().constData());
}

} // namespace

// --- export ---------------------------------------------------------------

QString HistoryExportCommand::usage() const
{
    return QStringLiteral("history export --eiaj|--korvan --month YYYY-MM [--orderer CODE --supplier CODE] "
                          "--format xlsx|csv [--encoding cp932|utf-8] OUT");
}

void HistoryExportCommand::addOptions(QCommandLineParser& parser)
{
    m_company.addTo(parser);
    parser.addOptions({m_month, m_format, m_encoding});
}

bool HistoryExportCommand::accepts(const QCommandLineParser& parser, QString& why)
{
    if (parser.positionalArguments().size() != 1) {
        why = QStringLiteral("give one output file");
        return false;
    }
    if (!parser.isSet(m_month) || !HistoryDesk::monthDays(parser.value(m_month))) {
        why = QStringLiteral("--month: not a month (YYYY-MM): ") + parser.value(m_month);
        return false;
    }
    const QString format = parser.value(m_format);
    if (format != QLatin1String("xlsx") && format != QLatin1String("csv")) {
        why = QStringLiteral("--format: xlsx or csv: ") + format;
        return false;
    }
    const QString encoding = parser.value(m_encoding);
    if (parser.isSet(m_encoding) && (format != QLatin1String("csv") ||
                                     (encoding != QLatin1String("cp932") && encoding != QLatin1String("utf-8")))) {
        why = QStringLiteral("--encoding: cp932 or utf-8, for a CSV: ") + encoding;
        return false;
    }
    return m_company.valid(parser);
}

int HistoryExportCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("発行履歴"));
    logLabels.setOperation(QStringLiteral("Excel出力"));
    const QString out = QDir::current().absoluteFilePath(parser.positionalArguments().first());
    QString why;
    std::optional<HistoryDesk::Exported> exported;
    const bool ran = runTrapped(env, QStringLiteral("発行履歴/"), [&] {
        exported = HistoryDesk(env).exportMonth(
            format, parser.value(m_month), m_company.ordererCode(parser), m_company.supplierCode(parser),
            parser.value(m_format) == QLatin1String("csv") ? BillingFormat::Csv : BillingFormat::Xlsx,
            parser.value(m_encoding) == QLatin1String("utf-8") ? BillingEncoding::Utf8 : BillingEncoding::Cp932, out,
            why);
    });
    if (!ran)
        return kExitFailed;
    if (!exported) {
        printError(QStringLiteral("請求明細を書き込めません。(%1: %2)").arg(fsname::display(out), why));
        return kExitFailed;
    }
    std::printf("%s\n", QStringLiteral("%1\t%2社 %3件")
                            .arg(fsname::display(out))
                            .arg(exported->companies)
                            .arg(exported->lines)
                            .toUtf8()
                            .constData());
    return kExitOk;
}

// --- reprint --------------------------------------------------------------

QString HistoryReprintCommand::usage() const
{
    return QStringLiteral("history reprint [--printer] ID...");
}

int HistoryReprintCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption printer(QStringLiteral("printer"),
                                     QStringLiteral("print on the printer of the settings as well as to the PDF"));
    parser.addOption(printer);
    QList<qint64> ids;
    QSet<qint64> given;
    bool usable = parser.parse(arguments) && !parser.positionalArguments().isEmpty();
    QString why = parser.errorText();
    for (const QString& text : parser.positionalArguments()) {
        bool number = false;
        const qint64 id = text.toLongLong(&number);
        if (!number || id <= 0) {
            usable = false;
            why = QStringLiteral("not a document ID: ") + text;
        } else if (!given.contains(id)) {
            given.insert(id);
            ids.append(id);
        }
    }
    if (!usable) {
        if (!why.isEmpty())
            printError(why);
        std::fprintf(stderr, "usage: plx90-cli %s\n", usage().toUtf8().constData());
        return kExitUsage;
    }

    CliSession session;
    session.start();
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("発行履歴"));
    logLabels.setOperation(QStringLiteral("再発行"));
    PdfReportEngine engine(*env.clock, parser.isSet(printer) ? printerChoice::stored(env) : QString());
    QStringList missing;
    QString error;
    QStringList pdfs;
    if (!runTrapped(env, QStringLiteral("再発行/"),
                    [&] { pdfs = HistoryDesk(env).reprint(engine, ids, parser.isSet(printer), missing, error); }))
        return kExitFailed;
    if (!missing.isEmpty()) {
        printError(QStringLiteral("発行履歴にない帳票IDです: ") + missing.join(QStringLiteral(", ")));
        return kExitFailed;
    }
    for (const QString& pdf : pdfs)
        std::printf("%s\n", fsname::display(pdf).toUtf8().constData());
    if (!error.isEmpty()) {
        printError(error);
        return kExitFailed;
    }
    return kExitOk;
}

// --- history --------------------------------------------------------------

QString HistoryCommand::usage() const
{
    return m_lookup.usage() + QStringLiteral("\n       plx90-cli ") + m_export.usage() +
           QStringLiteral("\n       plx90-cli ") + m_reprint.usage();
}

int HistoryCommand::execute(const QStringList& arguments)
{
    // "history export …" and "history reprint …" are commands of their own;
    // anything else is the look-up.
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("export"))
        return m_export.execute(QStringList{arguments.first()} + arguments.mid(2));
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("reprint"))
        return m_reprint.execute(QStringList{arguments.first()} + arguments.mid(2));
    return m_lookup.execute(arguments);
}

} // namespace plx::cli
