#pragma once

#include <QString>

#include <functional>

namespace plx {

// How the import rebuilds the data file before it adds new records.
enum class RebuildMode {
    Add = 1,        // 追加作成する。: keep every record that is not deleted
    DropIssued = 2, // 発行済の納品書ﾃﾞｰﾀを削除して追加作成する。: also drop issued records
    StartAnew = 3,  // すべての納品書ﾃﾞｰﾀを削除して新規作成する。: keep nothing
};

struct RebuildFiles
{
    QString current; // E_Deliv.dat or K_Deliv.dat
    QString backup;  // BUP_Deliv.dat
    QString work;    // W_Deliv.dat
};

// Takes a byte copy of the current data file into the backup, writes the kept
// records (renumbered from 1) into the work file and puts the work file in place
// of the data file with one atomic rename. `onRecord` is called after each
// record is examined (1-based, with the count); it may throw to abandon the run.
// A data file that is not whole records is refused (Refusal) untouched. The
// caller holds the data file's lock.
// When anything fails, the data file is left byte-identical to what it was, the
// work file is removed and the failure is rethrown; the backup stays for the
// caller, who removes it (discardBackup) once the whole import has succeeded or
// puts it back (restoreBackup) when a later step fails.
void rebuildDeliveryFile(const RebuildFiles& files, RebuildMode mode,
                         const std::function<void(int done, int total)>& onRecord = {});

// The records a rebuild keeps of a data file's bytes, in file order.
QByteArray keptRecords(const QByteArray& records, RebuildMode mode);

// Puts the backup back in place of the data file (atomically).
void restoreBackup(const RebuildFiles& files);
// Removes the backup.
void discardBackup(const RebuildFiles& files);

// What the check of an older-layout data file found.
enum class ConversionResult {
    NotNeeded, // empty, or records already of today's layout
    Converted, // records of the older layout were widened
    Refused,   // neither layout: the file was left alone
};

// Data files written before the currency fields existed hold 2239-byte lines.
// When the first line shows that layout, every line is widened with the currency
// fields (three blanks and four zero texts) into the work file, which then
// replaces the data file atomically. A file whose lines are not all of the older
// layout is not touched: converting it would shift every later record. The
// conversion holds the data file's lock (Refusal when another program has it,
// saying that the file could not be converted).
ConversionResult convertOlderLayout(const QString& dataPath, const QString& workPath);

} // namespace plx
