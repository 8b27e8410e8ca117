#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace plx {

class ReportControl;
struct Environment;

// The printer the documents go to besides their PDFs: the setting PrinterName
// (empty: PDF only). One place for what the print window offers, what the
// programs start the report engine with, what is written back, and the rule
// for a printer the system does not have.
namespace printerChoice {

// One line of the print window's printer list.
struct Entry
{
    QString text;    // as shown
    QString printer; // the setting's value; empty for "PDFのみ"
};

// The setting as stored, blanks trimmed.
QString stored(const Environment& env);

// What the print window offers: "PDFのみ", the system's printers, and a stored
// name the system does not have, marked "（見つかりません）". `chosen` gets the
// line of the stored printer.
QList<Entry> entries(const QStringList& systemPrinters, const QString& storedPrinter, int& chosen);

// Writes `printer` back when it differs from the setting; the message to show
// when the settings store refused it, empty otherwise.
QString store(Environment& env, const QString& printer);

// Whether `printer` is named but the report engine's system lacks it; and what
// the clerk is told then (the run writes PDFs only).
bool missing(const ReportControl& report, const QString& printer);
QString missingText(const QString& printer);

} // namespace printerChoice

} // namespace plx
