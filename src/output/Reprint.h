#pragma once

#include "core/Protocol.h"
#include "store/StatusRules.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace plx {

class ReportControl;
struct Environment;

// A document issued before, as it was printed: the layout file's content and
// the slip or tag data lines the report engine read for it (a record's tags
// may take several lines).
struct ReprintDocument
{
    Protocol protocol = Protocol::Eiaj;
    OutputDocument document = OutputDocument::Slip;
    QString layoutName;   // the layout file the company named then
    QByteArray layout;    // its content then
    QByteArray dataLines; // CP932 as the data file held them, each with its line end
    QString ordererCode;
    QString ordererName;
};

// Prints the documents again, as they were, to new PDFs marked as copies
// (再発行 and the date in their name and title) in the print folder, and to the
// report engine's printer when `toPrinter`. Documents that follow one another
// with the same format, document, layout and company share a PDF. Nothing of
// the installation's data changes: the layout and data go through work files
// of their own, removed afterwards. Returns the PDFs written; stops at the
// first print that fails, with the engine's message in `error`.
QStringList reprintDocuments(Environment& env, ReportControl& report, const QList<ReprintDocument>& documents,
                             bool toPrinter, QString& error);

} // namespace plx
