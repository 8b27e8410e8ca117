#pragma once

#include "OutputSelection.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace plx {

class ReportControl;
struct Environment;

// One company group of a print run as the clerk is told of it afterwards.
struct PrintedGroup
{
    enum class Outcome {
        Issued,      // printed, and the records are marked as issued
        Declined,    // the operator answered No
        Failed,      // no layout, or the report engine could not print
        Interrupted, // the run was stopped before or at this group's question: not printed
    };
    OutputDocument document = OutputDocument::Slip;
    QString ordererCode;
    QString ordererName;
    int items = 0;  // slips, or tags
    int sheets = 0; // as the confirmation counted them
    Outcome outcome = Outcome::Failed;
    QString pdfPath; // the PDF the engine wrote; empty when none was written
};

// The documents issued to one ordering company in a run.
struct CompanyIssue
{
    QString ordererCode;
    QString ordererName;
    int slips = 0;
    int tags = 0;
    int sheets = 0;
    QStringList pdfPaths;
};

// Whether the file at `path` is a PDF written to its end: not empty, and its
// last line (trailing blanks aside) is the end-of-file mark "%%EOF".
bool isWholePdf(const QString& path);

// One record's document in a printed group: its slip, or its tags.
struct PrintedRecord
{
    int number = 0;    // the record's number in the data file
    QByteArray lines;  // its lines of the slip or tag data file, as written
    int firstLine = 0; // 0-based line of the data file where they begin
};

// What printing one company group did.
struct GroupPrint
{
    enum class Result {
        Printed,        // handed to the report engine: its records are marked issued
        NothingToPrint, // a tag group whose records have no tag: nothing failed either
        NotPrinted,     // declined, no layout, the engine failed, or no company any more
        Stop,           // the company or code file is empty (messages 2, 3): the run stops
    };
    Result result = Result::NotPrinted;
    // The operator answered the group's question with 中止: this group and
    // every later one of the run count as declined.
    bool stopsRun = false;
    // The group as the clerk is told of it, once its question was asked.
    std::optional<PrintedGroup> group;
    // What a printed group printed, for the history of issued documents.
    QList<PrintedRecord> records;
    QString layoutPath;
    QString plannedPdfPath;    // the PDF the engine was to write; empty: unknown
    int documentsPerSheet = 0; // 0: the layout did not tell
    QString ordererName;       // the company's names as its record holds them
    QString supplierName;

    bool marksIssued() const { return result == Result::Printed || result == Result::NothingToPrint; }
};

// The print of one company group: the slip or tag data file written from the
// group's extract, the operator's confirmation (messages 200/210 with items
// and sheets), and the hand-over to the report engine.
class DocumentOutput
{
public:
    DocumentOutput(Environment& env, Protocol protocol, ReportControl& report);

    // PrintSlips / PrintTags: prints group n of `selection` into the format's
    // slip or tag data file and hands it to the report engine. A layout file
    // that is missing or names a place outside the user folder (message 4), a
    // declined question, an engine that could not print, or a PDF the engine
    // names that is not there whole when it is done (missing, empty, or not
    // ending with its end-of-file mark) leave the group unprinted, and its
    // records keep their status.
    GroupPrint PrintSlips(const OutputSelection& selection, int n);
    GroupPrint PrintTags(const OutputSelection& selection, int n);

    // The printer the report engine names but this system does not have; the
    // check runs once, before the first question, and the prints go to PDF only.
    const QString& missingPrinter() const { return m_missingPrinter; }
    // When the run started (in its PDFs' names).
    const QDateTime& started() const { return m_started; }
    // Called with a group's records, lines and layout once its question is
    // answered and its data file written, just before the report engine
    // prints it.
    void setBeforeEngine(std::function<void(const GroupPrint& ready)> hook) { m_beforeEngine = std::move(hook); }

private:
    GroupPrint print(const OutputSelection& selection, int n, OutputDocument document);
    void checkPrinterOnce();

    Environment& m_env;
    Protocol m_protocol;
    ReportControl& m_report;
    QDateTime m_started; // the run's start, in the name of each of its PDFs
    bool m_printerChecked = false;
    QString m_missingPrinter;
    std::function<void(const GroupPrint&)> m_beforeEngine;
};

// What a print run did.
struct PrintRunResult
{
    int slipGroups = 0;
    int tagGroups = 0;
    bool issued = false;      // at least one group's records were updated
    bool stopped = false;     // a step returned an error status or was refused
    bool interrupted = false; // stopped through the progress before a group, or by 中止 on a question
    // Every group whose question was asked, in the order of the run.
    QList<PrintedGroup> groups;
    // The printer the documents went to besides the PDFs; empty: PDF only.
    QString printer;
    // A printer named but missing on this system: the run wrote PDFs only.
    QString missingPrinter;
    // Companies left out because their output kind is none of 1/2/3.
    QList<RefusedCompany> refused;

    // What was issued, company by company in order of first appearance.
    QList<CompanyIssue> companies() const;
    // Every PDF written, in the order of the run.
    QStringList pdfPaths() const;
    // The summary as lines of text: one per group, one total per company, and
    // "発行した帳票はありません。" when nothing was issued. No line is a path.
    QStringList summaryLines() const;
};

// The message of a company left out of a run for its output kind.
QString refusedCompanyText(const RefusedCompany& company);

// Where a print run stands, told before each company group is printed.
struct PrintStep
{
    OutputDocument document = OutputDocument::Slip;
    int group = 1;  // 1-based, among the groups of the document
    int groups = 1; // groups of the document in this run
    QString ordererCode;
    QString ordererName;
};

// Follows a print run (a progress dialog, a line on a terminal) and may stop
// it between groups: the groups not yet printed then count as declined, so
// their records keep waiting for issue.
class PrintProgress
{
public:
    virtual ~PrintProgress() = default;
    // Before each group; false stops the run here.
    virtual bool proceed(const PrintStep& step) = 0;
    // After the last group (or the stop).
    virtual void finished() {}
};

// What a print run keeps of the documents it issues, written group by group
// around the marking of their records (the history of issued documents).
class IssueRecorder
{
public:
    virtual ~IssueRecorder() = default;
    // Before the first group; the caller holds the data file's lock. Throws
    // Refusal: the run does not start.
    virtual void open() = 0;
    // A group is about to go to the report engine: `ready` holds what it
    // prints and `plan` its records as marking will leave them. Its documents
    // may be written while the engine prints.
    virtual void beginGroup(const GroupPrint& ready, OutputDocument document,
                            const QList<std::pair<int, DeliveryRecord>>& plan, const QString& printer) = 0;
    // The group was printed into `pdfPath` (empty: none): returns once its
    // documents are kept, before any of its records is marked. Throws Refusal:
    // the run stops and nothing of the group is marked.
    virtual void awaitGroup(const QString& pdfPath) = 0;
    // The group's records are marked, or were not: its documents are kept as
    // issued, or dropped.
    virtual void commitGroup() = 0;
    virtual void discardGroup() = 0;
    // After the last group: everything given is written.
    virtual void finish() = 0;
};

// "納品書" or "荷札"; the outcome as the summary words it.
QString documentName(OutputDocument document);
QString outcomeName(PrintedGroup::Outcome outcome);

// The normal run of the print-selection window: every due slip and tag of the
// format in use, optionally of one company (both codes empty: all), group by
// group. `issued` tells whether records
// were updated. The data file's lock is held from the selection to the
// last update, so no other program rewrites the records in between; a lock that
// cannot be had, a damaged file or a changed record stops the run (`stopped`)
// after its message. Run-time failures are reported by the failing step's trap.
// `progress`, when given, follows the run and may stop it between groups.
// What it issued goes into the installation's history, or to `recorder` when
// one is given.
PrintRunResult runNormalPrint(Environment& env, Protocol protocol, ReportControl& report,
                              const QString& ordererCode = {}, const QString& supplierCode = {},
                              PrintProgress* progress = nullptr, IssueRecorder* recorder = nullptr);

// The marked run of the shipment-entry windows: the records marked for issue
// ("8"), updated as printed or as cancelled (declined, or stopped through
// `progress` before their group).
PrintRunResult runMarkedPrint(Environment& env, Protocol protocol, ReportControl& report,
                              PrintProgress* progress = nullptr, IssueRecorder* recorder = nullptr);

} // namespace plx
