#include "ShipCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"
#include "CsvTable.h"
#include "RunSummary.h"
#include "TerminalProgress.h"

#include "core/ErrorReport.h"
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

// A CSV column: the record field it names and the control it is typed into.
struct Column
{
    const char* name;
    const char* control;
    bool orderData;
    bool eiaj;
    bool korvan;
};

// In the windows' tab order: what a column changes is typed in this order.
constexpr Column kColumns[] = {
    {"OrdererCode", "Text3", false, true, true},
    {"SupplierCode", "Text6", false, true, true},
    {"DeliveryKeyNo", "Text7", false, true, true},
    {"OrderNo", "Text8", true, true, true},
    {"ItemCode", "Text9", true, true, true},
    {"ItemName", "Text10", true, true, true},
    {"Unit", "Text11", true, true, true},
    {"BuyerName", "Text12", true, true, true},
    {"DeliveryPlace", "Text13", true, true, true},
    {"OrdererBarcodeInfo", "Text14", true, true, false},
    {"OrdererRemarks", "Text15", true, true, true},
    {"OrderQty", "Text16", true, true, true},
    {"InstructedQty", "Text17", true, true, true},
    {"DueDate", "Text18", true, true, true},
    {"InspectionClass", "Combo1", true, true, true},
    {"ConsumptionTaxClass", "Combo2", true, true, false},
    {"TaxationClass", "Combo3", true, true, false},
    {"PriceDisplayClass", "Combo4", true, true, false},
    {"Currency", "Combo5", true, true, false},
    {"UnitPrice", "Text22", true, true, false},
    {"BcOutputClass", "Option1", true, false, true},
    {"OrdererUse1", "Text22", true, false, true},
    {"OrdererUse2", "Text23", true, false, true},
    {"OrdererUse3", "Text24", true, false, true},
    {"ShipQty", "Text19", false, true, true},
    {"ShipDate", "Text20", false, true, true},
    {"PlannedDeliveryDate", "Text21", false, true, true},
    {"AmountExclTax", "Text24", false, true, false},
    {"TaxAmount", "Text23", false, true, false},
    {"AmountInclTax", "Text25", false, true, false},
    {"SupplierBarcodeInfo", "Text27", false, true, true},
    {"SupplierRemarks", "Text28", false, true, true},
    {"TagLines", "MSFlexGrid1", false, true, true},
};

bool offered(const Column& c, Protocol format)
{
    return format == Protocol::Eiaj ? c.eiaj : c.korvan;
}

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
        const auto known = std::find_if(std::begin(kColumns), std::end(kColumns), [&](const Column& c) {
            return QLatin1String(c.name) == name && offered(c, format);
        });
        if (known == std::end(kColumns))
            return refuse(QStringLiteral("unknown column: ") + name);
        if (m_columnOf.contains(name))
            return refuse(QStringLiteral("column given twice: ") + name);
        m_columnOf.insert(name, i);
    }
    for (const char* key : {"OrdererCode", "SupplierCode", "DeliveryKeyNo"}) {
        if (!m_columnOf.contains(QLatin1String(key)))
            return refuse(QStringLiteral("missing column: ") + QLatin1String(key));
    }
    return std::nullopt;
}

int ShipCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    Environment& env = session.env();
    const int kind = kindOf(format);
    const CsvTable* table = &*m_table;
    const QHash<QString, int>& columnOf = m_columnOf;
    env.logModule = format == Protocol::Eiaj ? QStringLiteral("EIAJ出荷入力") : QStringLiteral("KORVAN出荷入力");
    env.logOperation = parser.isSet(m_issue) ? QStringLiteral("登録発行ﾎﾞﾀﾝ") : QStringLiteral("登録ﾎﾞﾀﾝ");

    const bool issuing = parser.isSet(m_issue);
    const auto ask = [&env](short number) { return ShowMessage(env, number) == kAnswerYes; };
    int refused = 0;
    bool ran = runTrapped(env, issuing ? QStringLiteral("登録発行ﾎﾞﾀﾝﾒｲﾝ/") : QStringLiteral("登録ﾎﾞﾀﾝﾒｲﾝ/"), [&] {
        EntrySession entry(env, format, EntryOpening{EntryMode::New, 1, 1, false});
        entry.holdFiles();
        if (!entry.loadCodes())
            throw Refusal(MessageText(env, 3));
        for (const CsvTable::Row& row : table->rows) {
            const auto cell = [&](const char* name) {
                const int i = columnOf.value(QLatin1String(name), -1);
                return i >= 0 ? row.fields.value(i) : QString();
            };
            const QString lineNo = QString::number(row.line);
            // "N 拒否 (MESSAGE) TEXT CAPTION": the catalogue message the window
            // shows, or the program's own words where it has none, and the box
            // in error; where the window sends the focus elsewhere, that too.
            const auto refuse = [&](short message, const QString& text, const QString& box,
                                    const QString& focus = QString()) {
                ++refused;
                QStringList parts{
                    lineNo, QStringLiteral("拒否"),
                    message > 0
                        ? QStringLiteral("(%1) %2").arg(message, 3, 10, QLatin1Char('0')).arg(MessageText(env, message))
                        : text,
                    box.isEmpty() ? QString() : captionOf(box, format)};
                if (!focus.isEmpty() && focus != box)
                    parts << captionOf(focus, format);
                printLine(parts);
            };
            // The record the keys name, or a new one.
            bool orderData = false;
            for (const Column& c : kColumns) {
                if (c.orderData && offered(c, format) && !cell(c.name).isEmpty())
                    orderData = true;
            }
            const int n = entry.findRecord(cell("OrdererCode").trimmed(), cell("SupplierCode").trimmed(),
                                           cell("DeliveryKeyNo").trimmed());
            if (n > 0) {
                entry.switchMode(orderData ? EntryMode::Correction : EntryMode::Existing);
                entry.showRecordNumber(n);
                // The window shows the record with the focus in the shipped
                // quantity; the row's values are typed from there.
                entry.passQuantityBox();
                if (!issuing && !entry.view().registerEnabled) {
                    refuse(
                        0,
                        QStringLiteral(
                            "発行済の納品書は登録できません。再発行するときは --issue (登録印刷) で登録してください。"),
                        QStringLiteral("Command4"));
                    continue;
                }
                if (!cell("OrderNo").isEmpty() && cell("OrderNo").trimmed() != entry.form().text(8)) {
                    refuse(0, QStringLiteral("注文番号は新しい納品書にだけ入力できます。"), QStringLiteral("Text8"));
                    continue;
                }
            } else {
                entry.switchMode(EntryMode::New);
                entry.showNewScreen();
            }
            bool typed = true;
            for (const Column& c : kColumns) {
                const QString value = cell(c.name);
                if (!offered(c, format) || value.isEmpty() || !typed)
                    continue;
                // The keys of a listed record are shown, not typed.
                if (n > 0 && (c.control == QLatin1String("Text3") || c.control == QLatin1String("Text6") ||
                              c.control == QLatin1String("Text7")))
                    continue;
                const QString control = QLatin1String(c.control);
                if (control == kTagGrid) {
                    const auto rows = tagRowsOf(value);
                    if (!rows || rows->size() > entry.tagRows()) {
                        refuse(0,
                               QStringLiteral("荷札の指定が正しくありません。(入数x枚数 を空白で区切って%1行まで)")
                                   .arg(entry.tagRows()),
                               control);
                        typed = false;
                        continue;
                    }
                    if (const auto refusal = entry.refusalOfTagRows(*rows)) {
                        refuse(refusal->message, refusal->text, refusal->box);
                        typed = false;
                        continue;
                    }
                    entry.enterTagRows(*rows);
                } else if (const auto refusal = entry.refusalOf(control, value)) {
                    refuse(refusal->message, refusal->text, refusal->box);
                    typed = false;
                } else {
                    entry.enterValue(control, value);
                }
            }
            if (!typed)
                continue;
            const EntryOutcome outcome = entry.registerShown(issuing, ask);
            if (outcome.written) {
                printLine({lineNo, QStringLiteral("登録済"), entry.lastWrittenStatus()});
                continue;
            }
            // A question answered No refuses the row with that question.
            refuse(outcome.message > 0 ? outcome.message : outcome.question, outcome.text, outcome.box,
                   outcome.focus.control);
        }
    });
    if (!ran)
        return kExitFailed;

    // As when the window closes: the records marked for issue are issued.
    env.logOperation = QStringLiteral("戻りﾎﾞﾀﾝ");
    PdfReportEngine engine(*env.clock, printerChoice::stored(env));
    TerminalProgress progress;
    const PrintRunResult printed = runMarkedPrint(env, kind, engine, &progress);
    // The summary when documents were due or asked for; a plain registration
    // with nothing marked prints its rows alone.
    if (issuing || !printed.groups.isEmpty())
        printRunSummary(printed);
    return refused == 0 && !printed.stopped && printed.refused.isEmpty() ? kExitOk : kExitFailed;
}

} // namespace plx::cli
