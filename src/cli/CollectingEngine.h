#pragma once

#include "report/PdfReportEngine.h"

#include <QStringList>

namespace plx::cli {

// The program's engine, remembering every PDF it wrote in this run (the
// commands print their paths).
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
    QStringList written;

private:
    PdfReportEngine m_engine;
};

} // namespace plx::cli
