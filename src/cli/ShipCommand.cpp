#include "ShipCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"
#include "CsvTable.h"
#include "RunSummary.h"
#include "TerminalProgress.h"

#include "core/ErrorReport.h"
#include "core/LogLabelScope.h"
#include "core/MessageCatalog.h"
#include "core/Registry.h"
#include "output/PrintRun.h"
#include "output/PrinterChoice.h"
#include "report/PdfReportEngine.h"
#include "shipment/EntryBoxes.h"
#include "shipment/EntrySession.h"

#include <QCommandLineParser>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <cstdio>

namespace plx::cli {

namespace {

// "10x3 5x2": the grid rows of a TagLines cell, each cell as typed; the
// grid's checks judge the numbers (121, 122), as in the window.
std::optional<QList<TagRow>> tagRowsOf(const QString& cell)
{
    QList<TagRow> rows;
    static const QRegularExpression row(QStringLiteral("^([^xX×]+)[xX×]([^xX×]+)$"));
    for (const QString& part : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = row.match(part);
        if (!m.hasMatch())
            return std::nullopt;
        rows.append({m.captured(1), m.captured(2)});
    }
    return rows;
}

// The values of a CSV row by the boxes its columns name.
EntryRow entryRowOf(const CsvTable::Row& row, const QHash<QString, int>& columnOf, Protocol format)
{
    EntryRow typed;
    for (auto it = columnOf.cbegin(); it != columnOf.cend(); ++it) {
        const EntryBoxInfo* box = boxOfColumn(it.key(), format);
        const QString value = row.fields.value(it.value());
        if (box->box != EntryBox::TagLines) {
            typed.values[box->box] = value;
        } else if (!value.isEmpty()) {
            typed.tags = tagRowsOf(value);
            typed.unreadableTags = !typed.tags;
        }
    }
    return typed;
}

// "N 拒否 (MESSAGE) TEXT CAPTION": the catalogue message the window shows, or
// the program's own words where it has none, and the box in error; where the
// window sends the focus elsewhere, that too.
QStringList refusalLine(const QString& lineNo, const EntryRowOutcome& outcome, Environment& env, int tagRows)
{
    QString text = outcome.text;
    switch (outcome.refusal) {
    case RowRefusal::IssuedRecord:
        text =
            QStringLiteral("発行済の納品書は登録できません。再発行するときは --issue (登録印刷) で登録してください。");
        break;
    case RowRefusal::ListedOrder:
        text = QStringLiteral("注文番号は新しい納品書にだけ入力できます。");
        break;
    case RowRefusal::TagRows:
        text = QStringLiteral("荷札の指定が正しくありません。(入数x枚数 を空白で区切って%1行まで)").arg(tagRows);
        break;
    case RowRefusal::None:
    case RowRefusal::Window:
        break;
    }
    if (outcome.message > 0) {
        // The facts the window shows above its message follow it here.
        text = QStringLiteral("(%1) %2")
                   .arg(outcome.message, 3, 10, QLatin1Char('0'))
                   .arg(MessageText(env, outcome.message));
        if (!outcome.lead.isEmpty())
            text += QStringLiteral(" [") + outcome.lead.join(QStringLiteral("、")) + QLatin1Char(']');
    }
    QStringList parts{lineNo, QStringLiteral("拒否"), text, captionOf(outcome.inError)};
    if (!outcome.focus.isNone() && !outcome.focus.sameControl(outcome.inError))
        parts << captionOf(outcome.focus);
    return parts;
}

void printLine(const QStringList& parts)
{
    std::printf("%s\n", parts.join(QLatin1Char('\t')).toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

std::optional<int> ShipCommand::prepare(const QCommandLineParser& parser, Protocol format, QString& why)
{
    const QString source = parser.positionalArguments().first();
    QFile file;
    const bool opened = source == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                     : (file.setFileName(source), file.open(QIODevice::ReadOnly));
    if (!opened) {
        std::fprintf(stderr, "%s: %s\n", source.toUtf8().constData(), file.errorString().toUtf8().constData());
        return kExitFailed;
    }
    QString parseError;
    m_table = CsvTable::parseUtf8(file.readAll(), parseError);
    const auto refuse = [&](const QString& text) {
        why = text;
        return kExitUsage;
    };
    if (!m_table)
        return refuse(source + QStringLiteral(": ") + parseError);
    m_columnOf.clear();
    for (int i = 0; i < m_table->header.size(); ++i) {
        const QString name = m_table->header[i].trimmed();
        if (!boxOfColumn(name, format))
            return refuse(QStringLiteral("unknown column: ") + name);
        if (m_columnOf.contains(name))
            return refuse(QStringLiteral("column given twice: ") + name);
        m_columnOf.insert(name, i);
    }
    // The record's keys.
    for (const EntryBox key : {EntryBox::OrdererCode, EntryBox::SupplierCode, EntryBox::DeliveryKeyNo}) {
        const QString column = entryBox(key).column();
        if (!m_columnOf.contains(column))
            return refuse(QStringLiteral("missing column: ") + column);
    }
    return std::nullopt;
}

int ShipCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    Environment& env = session.env();
    const CsvTable* table = &*m_table;
    const QHash<QString, int>& columnOf = m_columnOf;
    // The entry window's labels: its registration, then its closing.
    LogLabelScope logLabels(env, format == Protocol::Eiaj ? QStringLiteral("EIAJ出荷入力")
                                                          : QStringLiteral("KORVAN出荷入力"));
    logLabels.setOperation(parser.isSet(m_issue) ? QStringLiteral("登録発行ﾎﾞﾀﾝ") : QStringLiteral("登録ﾎﾞﾀﾝ"));

    const bool issuing = parser.isSet(m_issue);
    const auto ask = [&env](short number) { return ShowMessage(env, number) == kAnswerYes; };
    int refused = 0;
    bool ran = runTrapped(env, issuing ? QStringLiteral("登録発行ﾎﾞﾀﾝﾒｲﾝ/") : QStringLiteral("登録ﾎﾞﾀﾝﾒｲﾝ/"), [&] {
        EntrySession entry(env, format, EntryOpening{EntryMode::New, 1, 1, false});
        entry.holdFiles();
        if (!entry.loadCodes())
            throw Refusal(MessageText(env, 3));
        for (const CsvTable::Row& row : table->rows) {
            const EntryRowOutcome outcome = entry.registerRow(entryRowOf(row, columnOf, format), issuing, ask);
            const QString lineNo = QString::number(row.line);
            if (outcome.written) {
                printLine({lineNo, QStringLiteral("登録済"), outcome.status});
                continue;
            }
            ++refused;
            printLine(refusalLine(lineNo, outcome, env, entry.tagRows()));
        }
    });
    if (!ran)
        return kExitFailed;

    // As when the window closes: the records marked for issue are issued.
    logLabels.setOperation(QStringLiteral("戻りﾎﾞﾀﾝ"));
    PdfReportEngine engine(*env.clock, printerChoice::stored(env));
    TerminalProgress progress;
    const PrintRunResult printed = runMarkedPrint(env, format, engine, &progress);
    // The summary when documents were due or asked for; a plain registration
    // with nothing marked prints its rows alone.
    if (issuing || !printed.groups.isEmpty())
        printRunSummary(printed);
    return refused == 0 && !printed.stopped && printed.refused.isEmpty() ? kExitOk : kExitFailed;
}

} // namespace plx::cli
