#pragma once

#include "OutputSelection.h"

#include <QString>
#include <QStringList>

namespace plx {

class ReportControl;
struct Environment;

// The print of one company group: the slip or tag data file written from the
// group's extract file, the operator's confirmation (messages 200/210 with
// items and sheets), and the hand-over to the report engine.
class DocumentOutput
{
public:
    DocumentOutput(Environment& env, int kind, ReportControl& report);

    // PrintSlips / PrintTags: prints group n of `selection`. Returns 0, or -1
    // when the company or code file is empty (messages 2/3). `cancelled` is set
    // when the operator declined, the layout file is missing or names a place
    // outside the user folder (message 4) or the report engine could not
    // print; the records then keep their status. A tag group whose records have
    // no tag has nothing to print: no question, no print, not cancelled.
    int PrintSlips(const OutputSelection& selection, int n, bool& cancelled);
    int PrintTags(const OutputSelection& selection, int n, bool& cancelled);

private:
    int print(const OutputSelection& selection, int n, OutputDocument document, bool& cancelled);

    Environment& m_env;
    int m_kind;
    ReportControl& m_report;
};

// What a print run did.
struct PrintRunResult
{
    int slipGroups = 0;
    int tagGroups = 0;
    bool issued = false;  // at least one group's records were updated
    bool stopped = false; // a step returned an error status or was refused
};

// The normal run of the print-selection window: every due slip and tag of the
// format in use, optionally of one company (both codes empty: all), group by
// group; extract files are deleted afterwards. ChangedFlag is set when
// documents were issued. The data file's lock is held from the selection to the
// last update, so no other program rewrites the records in between; a lock that
// cannot be had, a damaged file or a changed record stops the run (`stopped`)
// after its message. Run-time failures are reported by the failing step's trap.
PrintRunResult runNormalPrint(Environment& env, int kind, ReportControl& report, const QString& ordererCode = {},
                              const QString& supplierCode = {});

// The marked run of the shipment-entry windows: the records marked for issue
// ("8"), updated as printed or as cancelled.
PrintRunResult runMarkedPrint(Environment& env, int kind, ReportControl& report);

} // namespace plx
