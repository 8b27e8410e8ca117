#pragma once

#include "LineShaper.h"

#include "core/ReportControl.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QPagedPaintDevice;

namespace plx {

class Clock;
struct ReportLayout;

// The program's report engine: lays out every line of the data file with the
// layout file and writes the documents to one PDF in the installation's print
// folder (the folder "Print" beside the data file), and, when a printer is named,
// prints them on that printer as well.
//
// The PDF is named after the document, the format, the company, the time the
// run started and the group within the run:
// "納品書_EIAJ_102851_20261207-094130_1.pdf", "荷札_KORVAN_102851_20261207-094130_2.pdf";
// a reprint by "再発行_" and the time of the copy:
// "再発行_納品書_EIAJ_102851_20261215-101500.pdf".
// It is never written over another file: it is written whole under a hidden
// work name and then given its name only if no file has it, else the name
// with "-2", "-3", ... before the extension, so two programs printing at the
// same moment each keep their own.
class PdfReportEngine : public ReportControl
{
public:
    // `clock` must outlive the engine. An empty `printerName` writes the PDF only.
    explicit PdfReportEngine(const Clock& clock, QString printerName = QString());

    bool print(const PrintJob& job, QString& error) override;
    // The slots of the layout file; 0 when it cannot be read.
    int documentsPerSheet(const QString& layoutPath) const override;
    QString writtenPdfPath() const override { return m_lastPdfPath; }
    QString plannedPdfPath(const PrintJob& job) const override;
    QString printerName() const override { return m_printerName; }
    void setPrinterName(const QString& name) override { m_printerName = name.trimmed(); }
    QStringList availablePrinters() const override;
    bool hasPrinter(const QString& name) const override;

    // The PDF of the last successful print (empty before one), and what went into it.
    const QString& lastPdfPath() const { return m_lastPdfPath; }
    int lastDocumentCount() const { return m_lastDocumentCount; }
    int lastSheetCount() const { return m_lastSheetCount; }

    // The print folder for a data file: "Print" beside it.
    static QString printFolder(const QString& dataPath);

private:
    // Reads the layout file, parsing it only when its contents differ from the
    // last one read: a print run prints every company with the same few layouts.
    bool readLayout(const QString& path, ReportLayout& layout, QString& error);
    QString pdfStemFor(const PrintJob& job) const;
    bool printToPrinter(const PrintJob& job, const ReportLayout& layout, const QList<QStringList>& documents,
                        QString& error) const;

    const Clock& m_clock;
    QString m_printerName;
    QString m_lastPdfPath;
    int m_lastDocumentCount = 0;
    int m_lastSheetCount = 0;
    // The last layouts parsed: their paths, contents and results.
    struct ParsedLayout
    {
        QString path;
        QByteArray bytes;
        std::shared_ptr<const ReportLayout> layout;
    };
    QList<ParsedLayout> m_parsedLayouts;
    // Characters shaped once serve every PDF of the run.
    mutable LineShaper m_shaper;
};

} // namespace plx
