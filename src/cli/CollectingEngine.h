#pragma once

#include "output/PrintRun.h"
#include "report/PdfReportEngine.h"

#include <QStringList>

#include <cstdio>

namespace plx::cli {

// The program's engine, remembering every PDF it wrote in this run.
class CollectingEngine : public ReportControl
{
public:
    CollectingEngine(const Clock& clock, const QString& printer) : m_engine(clock, printer) {}
    bool print(const PrintJob& job, QString& error) override
    {
        if (!m_engine.print(job, error))
            return false;
        written.append(m_engine.lastPdfPath());
        return true;
    }
    int documentsPerSheet(const QString& layoutPath) const override { return m_engine.documentsPerSheet(layoutPath); }
    QString writtenPdfPath() const override { return m_engine.writtenPdfPath(); }
    QString printerName() const override { return m_engine.printerName(); }
    void setPrinterName(const QString& name) override { m_engine.setPrinterName(name); }
    QStringList availablePrinters() const override { return m_engine.availablePrinters(); }
    bool hasPrinter(const QString& name) const override { return m_engine.hasPrinter(name); }
    QStringList written;

private:
    PdfReportEngine m_engine;
};

// Writes what a print run issued to standard output: each summary line behind
// "# " (so no summary line reads as a path), then every PDF written, each path
// alone on its line, as scripts read them.
inline void printRunSummary(const PrintRunResult& result)
{
    for (const QString& line : result.summaryLines())
        std::printf("# %s\n", line.toUtf8().constData());
    for (const QString& pdf : result.pdfPaths())
        std::printf("%s\n", pdf.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace plx::cli
