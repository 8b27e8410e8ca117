// The history's export and reprint, and the `history` command that leads to
// them and to the look-up.

#include "HistoryCommand.h"

#include "CliSession.h"

#include "billing/BillingExport.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FsName.h"
#include "history/HistoryStore.h"
#include "output/PrintHistory.h"
#include "output/PrinterChoice.h"
#include "output/Reprint.h"
#include "report/PdfReportEngine.h"

#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QHash>

#include <cstdio>

namespace plx::cli {

namespace {

void printError(const QString& text)
{
    std::fprintf(stderr, "%s\n",
                 QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8().constData());
}

// The committed documents the query finds, or nothing after the message.
std::optional<QList<HistoryDocument>> findDocuments(Environment& env, const HistoryQuery& query)
{
    QList<HistoryDocument> found;
    const bool ran = runTrapped(env, QStringLiteral("発行履歴/"), [&] {
        std::unique_ptr<HistoryStore> history = openHistory(env);
        try {
            found = history->find(query);
        } catch (const HistoryError& e) {
            throw Refusal(QStringLiteral("発行履歴を読めません。(%1)").arg(e.description()));
        }
    });
    if (!ran)
        return std::nullopt;
    return found;
}

} // namespace

// --- export ---------------------------------------------------------------

std::optional<std::pair<QString, QString>> HistoryExportCommand::monthDays(const QString& text)
{
    const QString t = text.trimmed();
    QDate first = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    if (t.size() == 7)
        first = QDate::fromString(t + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    else if (t.size() == 6)
        first = QDate::fromString(t + QStringLiteral("01"), QStringLiteral("yyyyMMdd"));
    else
        return std::nullopt;
    if (!first.isValid())
        return std::nullopt;
    const QDate last = first.addMonths(1).addDays(-1);
    return std::pair{first.toString(QStringLiteral("yyyyMMdd")), last.toString(QStringLiteral("yyyyMMdd"))};
}

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
    if (!parser.isSet(m_month) || !monthDays(parser.value(m_month))) {
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
    env.logModule = QStringLiteral("発行履歴");
    env.logOperation = QStringLiteral("Excel出力");
    const auto [from, to] = *monthDays(parser.value(m_month));
    HistoryQuery query;
    query.protocol = format;
    query.fromShipDate = from;
    query.toShipDate = to;
    query.ordererCode = m_company.ordererCode(parser).trimmed();
    query.supplierCode = m_company.supplierCode(parser).trimmed();
    const std::optional<QList<HistoryDocument>> found = findDocuments(env, query);
    if (!found)
        return kExitFailed;
    const QList<CompanyBilling> companies = groupBilling(billingLinesOf(*found));
    const QString out = QDir::current().absoluteFilePath(parser.positionalArguments().first());
    QString why;
    const QString month = QDate::fromString(from, QStringLiteral("yyyyMMdd")).toString(QStringLiteral("yyyy-MM"));
    if (!writeBilling(
            companies, month, parser.value(m_format) == QLatin1String("csv") ? BillingFormat::Csv : BillingFormat::Xlsx,
            parser.value(m_encoding) == QLatin1String("utf-8") ? BillingEncoding::Utf8 : BillingEncoding::Cp932, out,
            why)) {
        printError(QStringLiteral("請求明細を書き込めません。(%1: %2)").arg(fsname::display(out), why));
        return kExitFailed;
    }
    int lines = 0;
    for (const CompanyBilling& company : companies)
        lines += int(company.lines.size());
    std::printf("%s\n", QStringLiteral("%1\t%2社 %3件")
                            .arg(fsname::display(out))
                            .arg(companies.size())
                            .arg(lines)
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
    bool usable = parser.parse(arguments) && !parser.positionalArguments().isEmpty();
    QString why = parser.errorText();
    for (const QString& text : parser.positionalArguments()) {
        bool number = false;
        const qint64 id = text.toLongLong(&number);
        if (!number || id <= 0) {
            usable = false;
            why = QStringLiteral("not a document ID: ") + text;
        } else if (!ids.contains(id)) {
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
    env.logModule = QStringLiteral("発行履歴");
    env.logOperation = QStringLiteral("再発行");
    HistoryQuery query;
    query.ids = ids;
    query.anyProtocol = true;
    std::optional<QList<HistoryDocument>> found = findDocuments(env, query);
    if (!found)
        return kExitFailed;
    QHash<qint64, const HistoryDocument*> byId;
    for (const HistoryDocument& d : *found)
        byId.insert(d.id, &d);
    QStringList missing;
    for (const qint64 id : ids) {
        if (!byId.contains(id))
            missing.append(QString::number(id));
    }
    if (!missing.isEmpty()) {
        printError(QStringLiteral("発行履歴にない帳票IDです: ") + missing.join(QStringLiteral(", ")));
        return kExitFailed;
    }

    // In the order given, each with the layout it was printed with.
    QList<ReprintDocument> documents;
    const bool ran = runTrapped(env, QStringLiteral("再発行/"), [&] {
        std::unique_ptr<HistoryStore> history = openHistory(env);
        QHash<QByteArray, QByteArray> layouts;
        for (const qint64 id : ids) {
            const HistoryDocument& d = *byId.value(id);
            if (!layouts.contains(d.layoutHash)) {
                try {
                    layouts.insert(d.layoutHash, history->layout(d.layoutHash));
                } catch (const HistoryError& e) {
                    throw Refusal(QStringLiteral("発行履歴を読めません。(%1)").arg(e.description()));
                }
            }
            documents.append({d.protocol, d.kind, d.layoutName, layouts.value(d.layoutHash), d.dataLines, d.ordererCode,
                              d.ordererName});
        }
    });
    if (!ran)
        return kExitFailed;
    PdfReportEngine engine(*env.clock, parser.isSet(printer) ? printerChoice::stored(env) : QString());
    QString error;
    const QStringList pdfs = reprintDocuments(env, engine, documents, parser.isSet(printer), error);
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
