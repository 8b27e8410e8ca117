#include "PrintRun.h"

#include "DocumentData.h"
#include "PrintHistory.h"
#include "PrinterChoice.h"

#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/FileUtil.h"
#include "core/MessageCatalog.h"
#include "core/Protocol.h"
#include "core/RecordFile.h"
#include "core/ReportControl.h"
#include "store/CodeTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace plx {

DocumentOutput::DocumentOutput(Environment& env, Protocol protocol, ReportControl& report)
    : m_env(env), m_protocol(protocol), m_report(report), m_started(env.clock->now())
{
}

bool isWholePdf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return false;
    constexpr qint64 kTail = 1024;
    if (!file.seek(std::max<qint64>(0, file.size() - kTail)))
        return false;
    return file.read(kTail).trimmed().endsWith("%%EOF");
}

GroupPrint DocumentOutput::PrintSlips(const OutputSelection& selection, int n)
{
    return print(selection, n, OutputDocument::Slip);
}

GroupPrint DocumentOutput::PrintTags(const OutputSelection& selection, int n)
{
    return print(selection, n, OutputDocument::Tag);
}

GroupPrint DocumentOutput::print(const OutputSelection& selection, int n, OutputDocument document)
{
    GroupPrint done;
    PrintedGroup last;
    last.document = document;
    // The group as the clerk is told of it, once its question was asked.
    const auto told = [&](GroupPrint::Result result) {
        done.result = result;
        done.group = last;
        return done;
    };
    const bool slips = document == OutputDocument::Slip;

    const OutputGroup& group = selection.groups().at(n - 1);
    CustStore companies(m_env.paths.custPath);
    if (companies.open() == 0) {
        ShowMessage(m_env, 2);
        done.result = GroupPrint::Result::Stop;
        return done;
    }
    RecordFile codeFile(m_env.paths.codePath, CodeTable::kRecordLength, QStringLiteral("コードファイル"));
    codeFile.open();
    const CodeTable codes = CodeTable::fromBytes(codeFile.data());
    if (codes.isEmpty()) {
        ShowMessage(m_env, 3);
        done.result = GroupPrint::Result::Stop;
        return done;
    }

    if (!slips && group.tags == 0) {
        // No record of the group has a tag: nothing to print, nothing failed.
        done.result = GroupPrint::Result::NothingToPrint;
        return done;
    }

    QByteArray data;
    int lines = 0; // lines of `data`
    bool asked = false;
    CustRecord company;
    const int items = group.extractCount();
    for (int r = 0; r < items; ++r) {
        const DeliveryRecord record(group.extract.mid(qsizetype(r) * DeliveryRecord::kLength, DeliveryRecord::kLength));
        const int found = companies.lookupRaw(m_protocol, record.raw(DeliveryField::OrdererCode),
                                              record.raw(DeliveryField::SupplierCode));
        if (found == 0)
            continue;
        company = companies.read(found);
        if (!asked) {
            asked = true;
            OutputQuestion question;
            question.ordererCode = company.text(CustField::OrdererCode).trimmed();
            question.ordererName = company.text(CustField::OrdererName).trimmed();
            question.items = slips ? items : group.tags;
            question.formFile = company.text(slips ? CustField::SlipFormFile : CustField::TagFormFile);
            // Sheets as the company's layout fills them (two slips or six
            // tags to a sheet when the layout cannot tell).
            const QString formFile = question.formFile.trimmed();
            int perSheet = isPlainFileName(formFile) ? m_report.documentsPerSheet(m_env.paths.usrFolder + formFile) : 0;
            if (perSheet <= 0)
                perSheet = slips ? 2 : 6;
            question.sheets = (question.items + perSheet - 1) / perSheet;
            last.ordererCode = question.ordererCode;
            last.ordererName = question.ordererName;
            last.items = question.items;
            last.sheets = question.sheets;
            checkPrinterOnce();
            const Answer answer = ShowOutputQuestion(m_env, slips ? 200 : 210, question);
            if (answer != kAnswerYes) {
                done.stopsRun = answer == kAnswerStop;
                last.outcome = done.stopsRun ? PrintedGroup::Outcome::Interrupted : PrintedGroup::Outcome::Declined;
                return told(GroupPrint::Result::NotPrinted);
            }
        }
        PrintedRecord printedRecord{group.records.value(r), {}, lines};
        if (slips) {
            printedRecord.lines = csvLine(slipColumns(record, company, codes));
            ++lines;
        } else {
            // One line per tag; the tag number runs on across the record's lines.
            const int total = tagTotalOf(record);
            int running = 0;
            for (int line = 1; line <= DeliveryRecord::kTagLineCount; ++line) {
                const std::optional<int> count = record.tagLineTags(line);
                if (!count)
                    break;
                for (int i = 1; i <= *count; ++i) {
                    printedRecord.lines += csvLine(tagColumns(record, company, codes, line, ++running, total));
                    ++lines;
                }
            }
        }
        data += printedRecord.lines;
        if (!printedRecord.lines.isEmpty())
            done.records.append(std::move(printedRecord));
    }
    // The data file of the format printed, whatever list a window shows.
    const QString dataPath = slips ? Paths::dcsvPathFor(m_env.paths.usrFolder, m_protocol)
                                   : Paths::tcsvPathFor(m_env.paths.usrFolder, m_protocol);
    try {
        fileutil::writeAtomically(dataPath, data);
    } catch (const RuntimeFailure& failure) {
        throw RuntimeFailure(QStringLiteral("出力ﾃﾞｰﾀを書き込めません。") + failure.description());
    }
    if (!asked) {
        // No record of the group has a company any more: nothing was printed,
        // so nothing may be marked as issued.
        done.result = GroupPrint::Result::NotPrinted;
        return done;
    }

    const QString formFile = company.text(slips ? CustField::SlipFormFile : CustField::TagFormFile).trimmed();
    const QString layout = m_env.paths.usrFolder + formFile;
    if (!isPlainFileName(formFile) || !QFileInfo(layout).isFile()) {
        ShowMessage(m_env, 4);
        last.outcome = PrintedGroup::Outcome::Failed;
        return told(GroupPrint::Result::NotPrinted);
    }
    PrintJob job{layout,
                 dataPath,
                 slips ? PrintJob::Document::Slip : PrintJob::Document::Tag,
                 company.text(CustField::OrdererCode).trimmed(),
                 company.text(CustField::OrdererName).trimmed(),
                 !m_missingPrinter.isEmpty(),
                 protocolName(m_protocol),
                 m_started,
                 n};
    done.layoutPath = layout;
    done.plannedPdfPath = m_report.plannedPdfPath(job);
    done.documentsPerSheet = m_report.documentsPerSheet(layout);
    done.ordererName = company.text(CustField::OrdererName).trimmed();
    done.supplierName = company.text(CustField::SupplierName).trimmed();
    if (m_beforeEngine)
        m_beforeEngine(done);
    QString error;
    if (!m_report.print(job, error)) {
        m_env.dialogs->show(MessageIcon::Exclamation, error, MessageButtons::Ok, DefaultButton::First);
        last.outcome = PrintedGroup::Outcome::Failed;
        return told(GroupPrint::Result::NotPrinted);
    }
    // The records are marked issued only for a document that is there: a PDF
    // gone or cut short (another program, a full disk) leaves them waiting.
    const QString pdf = m_report.writtenPdfPath();
    if (!pdf.isEmpty() && !isWholePdf(pdf)) {
        m_env.dialogs->show(MessageIcon::Exclamation,
                            QStringLiteral("印刷ファイルがないか、途中で切れています。この%1は発行済にしません。(%2)")
                                .arg(documentName(document), QDir::toNativeSeparators(pdf)),
                            MessageButtons::Ok, DefaultButton::First);
        last.outcome = PrintedGroup::Outcome::Failed;
        return told(GroupPrint::Result::NotPrinted);
    }
    last.outcome = PrintedGroup::Outcome::Issued;
    last.pdfPath = pdf;
    return told(GroupPrint::Result::Printed);
}

void DocumentOutput::checkPrinterOnce()
{
    if (m_printerChecked)
        return;
    m_printerChecked = true;
    const QString printer = m_report.printerName().trimmed();
    if (!printerChoice::missing(m_report, printer))
        return;
    m_missingPrinter = printer;
    m_env.dialogs->show(MessageIcon::Exclamation, printerChoice::missingText(printer), MessageButtons::Ok,
                        DefaultButton::First);
}

QString documentName(OutputDocument document)
{
    return document == OutputDocument::Tag ? QStringLiteral("荷札") : QStringLiteral("納品書");
}

QString outcomeName(PrintedGroup::Outcome outcome)
{
    switch (outcome) {
    case PrintedGroup::Outcome::Issued:
        return QStringLiteral("発行");
    case PrintedGroup::Outcome::Declined:
        return QStringLiteral("取消");
    case PrintedGroup::Outcome::Interrupted:
        return QStringLiteral("中止");
    case PrintedGroup::Outcome::Failed:
        break;
    }
    return QStringLiteral("失敗");
}

QString refusedCompanyText(const RefusedCompany& company)
{
    return QStringLiteral("発注企業 %1 %2 の出力区分「%3」が正しくありません(1:納品書 2:荷札 3:両方)。"
                          "この発注企業の納品書と荷札は出力しません。")
        .arg(company.ordererCode, company.ordererName, company.outputKind);
}

QList<CompanyIssue> PrintRunResult::companies() const
{
    QList<CompanyIssue> out;
    for (const PrintedGroup& g : groups) {
        if (g.outcome != PrintedGroup::Outcome::Issued)
            continue;
        auto it = std::find_if(out.begin(), out.end(), [&](const CompanyIssue& c) {
            return c.ordererCode == g.ordererCode && c.ordererName == g.ordererName;
        });
        if (it == out.end()) {
            out.append({g.ordererCode, g.ordererName, 0, 0, 0, {}});
            it = out.end() - 1;
        }
        (g.document == OutputDocument::Slip ? it->slips : it->tags) += g.items;
        it->sheets += g.sheets;
        if (!g.pdfPath.isEmpty())
            it->pdfPaths.append(g.pdfPath);
    }
    return out;
}

QStringList PrintRunResult::pdfPaths() const
{
    QStringList out;
    for (const PrintedGroup& g : groups) {
        if (!g.pdfPath.isEmpty())
            out.append(g.pdfPath);
    }
    return out;
}

QStringList PrintRunResult::summaryLines() const
{
    QStringList lines;
    for (const PrintedGroup& g : groups) {
        lines.append(QStringLiteral("%1 %2 %3 %4件 用紙%5枚 %6")
                         .arg(documentName(g.document), g.ordererCode, g.ordererName)
                         .arg(g.items)
                         .arg(g.sheets)
                         .arg(outcomeName(g.outcome)));
    }
    for (const RefusedCompany& c : refused)
        lines.append(refusedCompanyText(c));
    const QList<CompanyIssue> issued = companies();
    for (const CompanyIssue& c : issued) {
        lines.append(QStringLiteral("計 %1 %2 納品書%3件 荷札%4件 用紙%5枚 PDF%6件")
                         .arg(c.ordererCode, c.ordererName)
                         .arg(c.slips)
                         .arg(c.tags)
                         .arg(c.sheets)
                         .arg(c.pdfPaths.size()));
    }
    if (issued.isEmpty())
        lines.append(QStringLiteral("発行した帳票はありません。"));
    else if (!missingPrinter.isEmpty())
        lines.append(
            QStringLiteral("プリンタ「%1」が見つからないため、PDFファイルだけに出力しました。").arg(missingPrinter));
    else if (!printer.isEmpty())
        lines.append(QStringLiteral("プリンタ: %1").arg(printer));
    else
        lines.append(QStringLiteral("プリンタ: PDFのみ"));
    return lines;
}

namespace {

// A company whose output kind is none of the three is told of once per run,
// whichever document found it first.
void refuseCompanyOnce(Environment& env, PrintRunResult& result, const RefusedCompany& company)
{
    for (const RefusedCompany& known : result.refused) {
        if (known.ordererCode == company.ordererCode && known.ordererName == company.ordererName)
            return;
    }
    result.refused.append(company);
    env.dialogs->show(MessageIcon::Exclamation, refusedCompanyText(company), MessageButtons::Ok, DefaultButton::First);
}

PrintRunResult run(Environment& env, Protocol protocol, ReportControl& report, bool marked, const QString& orderer,
                   const QString& supplier, PrintProgress* progress, IssueRecorder* recorder)
{
    PrintRunResult result;
    const QString dataPath = env.paths.delivPathFor(protocol);
    std::unique_ptr<FileLock> lock;
    if (!runTrapped(env, QStringLiteral("納品書ﾃﾞｰﾀ出力/"),
                    [&] { lock = std::make_unique<FileLock>(dataPath, DeliveryStore::label()); })) {
        result.stopped = true;
        return result;
    }
    DocumentOutput output(env, protocol, report);
    // The history is taken after the data file (the lock order), and what an
    // interrupted run left in it is settled before anything is printed.
    std::unique_ptr<RunHistory> ownHistory;
    if (!recorder) {
        ownHistory = std::make_unique<RunHistory>(env, protocol, output.started());
        recorder = ownHistory.get();
    }
    IssueRecorder& history = *recorder;
    if (!runTrapped(env, QStringLiteral("発行履歴/"), [&] { history.open(); })) {
        result.stopped = true;
        if (progress)
            progress->finished();
        return result;
    }
    // The printer the documents go to besides the PDF, in the history and the result.
    const auto printerUsed = [&] {
        return output.missingPrinter().isEmpty() ? report.printerName().trimmed() : QString();
    };
    const auto finish = [&] {
        history.finish();
        result.missingPrinter = output.missingPrinter();
        result.printer = printerUsed();
        if (progress)
            progress->finished();
    };
    const UpdateMode printedMode = marked ? UpdateMode::MarkedPrinted : UpdateMode::Normal;
    for (OutputDocument document : {OutputDocument::Slip, OutputDocument::Tag}) {
        const bool slips = document == OutputDocument::Slip;
        OutputSelection selection(env, protocol, document);
        selection.setLock(lock.get());
        bool stop = !runTrapped(env, slips ? QStringLiteral("納品書ﾃﾞｰﾀ出力/") : QStringLiteral("荷札ﾃﾞｰﾀ出力/"),
                                [&] { selection.select(marked, orderer, supplier); });
        (slips ? result.slipGroups : result.tagGroups) = int(selection.groups().size());
        for (const RefusedCompany& company : selection.refused())
            refuseCompanyOnce(env, result, company);
        const int groups = int(selection.groups().size());
        for (int n = 1; n <= groups && !stop; ++n) {
            const OutputGroup& current = selection.groups().at(n - 1);
            if (!result.interrupted && progress &&
                !progress->proceed(
                    {document, n, groups, QString::fromLatin1(current.ordererCode).trimmed(), current.ordererName}))
                result.interrupted = true;
            GroupPrint printed;
            // The group's records as printing marks them, and its documents
            // begun in the history while the engine prints. A plan that cannot
            // be made here is made again after the print, where its failure
            // is told under the update's name.
            std::optional<QList<std::pair<int, DeliveryRecord>>> plan;
            const auto beginRecording = [&](const GroupPrint& ready) {
                try {
                    plan = selection.planUpdate(n, printedMode);
                } catch (const std::exception&) {
                    return;
                }
                history.beginGroup(ready, document, *plan, printerUsed());
            };
            output.setBeforeEngine(beginRecording);
            if (result.interrupted) {
                // Stopped before this group: it counts as declined, unprinted.
                PrintedGroup skipped;
                skipped.document = document;
                skipped.ordererCode = QString::fromLatin1(current.ordererCode).trimmed();
                skipped.ordererName = current.ordererName;
                skipped.items = slips ? current.extractCount() : current.tags;
                skipped.outcome = PrintedGroup::Outcome::Interrupted;
                printed.group = skipped;
            } else {
                stop = !runTrapped(env, slips ? QStringLiteral("納品書出力/") : QStringLiteral("荷札出力/"), [&] {
                    printed = slips ? output.PrintSlips(selection, n) : output.PrintTags(selection, n);
                });
            }
            output.setBeforeEngine(nullptr);
            const bool cancelled = !printed.marksIssued();
            if (plan && (stop || cancelled))
                history.discardGroup(); // begun, but not printed
            if (printed.group)
                result.groups.append(*printed.group);
            // 中止 on the question: the later groups are skipped as after a
            // stop through the progress.
            if (printed.stopsRun)
                result.interrupted = true;
            if (stop || printed.result == GroupPrint::Result::Stop) {
                stop = true;
                break;
            }
            UpdateMode mode = UpdateMode::Normal;
            if (marked)
                mode = cancelled ? UpdateMode::MarkedCancelled : UpdateMode::MarkedPrinted;
            else if (cancelled)
                continue;
            // Two steps, as the data file and the history cannot commit
            // together: the documents are in the history as pending before
            // any record is marked, and are committed once the records are.
            // A run ended in between is settled by the data file at the next
            // start (settleHistory).
            bool historyRefused = false;
            stop = !runTrapped(env, slips ? QStringLiteral("納品書ﾃﾞｰﾀ連続更新/") : QStringLiteral("荷札ﾃﾞｰﾀ連続更新/"),
                               [&] {
                                   if (cancelled || !plan) {
                                       plan = selection.planUpdate(n, mode);
                                       if (!cancelled)
                                           history.beginGroup(printed, document, *plan, printerUsed());
                                   }
                                   if (!cancelled) {
                                       historyRefused = true;
                                       history.awaitGroup(printed.group ? printed.group->pdfPath : QString());
                                       historyRefused = false;
                                   }
                                   try {
                                       selection.writeUpdate(std::move(*plan));
                                   } catch (const Refusal&) {
                                       history.discardGroup();
                                       throw;
                                   }
                                   history.commitGroup();
                               });
            if (stop && historyRefused && printed.group)
                result.groups.last().outcome = PrintedGroup::Outcome::Failed;
            if (!stop && !cancelled)
                result.issued = true;
            if (stop && !cancelled && printed.group)
                result.groups.last().outcome = PrintedGroup::Outcome::Failed; // printed, but not marked
        }
        if (stop) {
            result.stopped = true;
            break;
        }
    }
    finish();
    return result;
}

} // namespace

PrintRunResult runNormalPrint(Environment& env, Protocol protocol, ReportControl& report, const QString& ordererCode,
                              const QString& supplierCode, PrintProgress* progress, IssueRecorder* recorder)
{
    return run(env, protocol, report, false, ordererCode, supplierCode, progress, recorder);
}

PrintRunResult runMarkedPrint(Environment& env, Protocol protocol, ReportControl& report, PrintProgress* progress,
                              IssueRecorder* recorder)
{
    return run(env, protocol, report, true, QString(), QString(), progress, recorder);
}

} // namespace plx
