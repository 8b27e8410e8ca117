#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace plx {

// One print handed to the report engine: a layout file ("*.agr") and the data
// file whose lines are the documents to print.
struct PrintJob
{
    enum class Document { Slip, Tag };

    QString layoutPath;
    QString dataPath;
    Document document = Document::Slip;
    QString ordererCode; // the company the documents are for (file names)
    QString ordererName;
    // The PDF alone, even when the engine prints on a printer as well (the run
    // found the printer missing before its first question).
    bool pdfOnly = false;
    // Where the documents come from, for the PDF's name: the format ("EIAJ"),
    // the time the print run started (none: the time of the print) and the
    // company group within the run (from 1; 0: none).
    QString format{};
    QDateTime runStarted{};
    int group = 0;
    // A copy of documents issued before: the PDF's name begins with "再発行_"
    // and its title with "再発行" and the date of the copy; the documents are
    // printed as they were.
    bool reprint = false;
};

// The report engine as the output routines see it: it lays out every line of
// the data file with the layout and prints them. Implemented by the PDF and
// printer engine of the program and by recording fakes in tests.
class ReportControl
{
public:
    virtual ~ReportControl() = default;
    // Prints the job. Returns false with `error` set (a Japanese message naming
    // the file and what is wrong) when it could not; nothing is printed then.
    virtual bool print(const PrintJob& job, QString& error) = 0;
    // How many documents the layout puts on one sheet; 0 when the layout cannot
    // tell (a missing or unreadable file), and the caller assumes its default.
    virtual int documentsPerSheet(const QString& layoutPath) const
    {
        Q_UNUSED(layoutPath);
        return 0;
    }
    // The PDF the last successful print wrote; empty when the engine writes none.
    virtual QString writtenPdfPath() const { return QString(); }
    // The PDF `job` will be written to unless that name is taken by then;
    // empty when the engine cannot tell or writes none.
    virtual QString plannedPdfPath(const PrintJob& job) const
    {
        Q_UNUSED(job);
        return QString();
    }
    // The printer the engine prints on besides the PDF; empty: the PDF only.
    virtual QString printerName() const { return QString(); }
    virtual void setPrinterName(const QString& name) { Q_UNUSED(name); }
    // The printers of the system, and whether it has one of that name.
    virtual QStringList availablePrinters() const { return QStringList(); }
    virtual bool hasPrinter(const QString& name) const { return availablePrinters().contains(name.trimmed()); }
};

} // namespace plx
