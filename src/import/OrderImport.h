#pragma once

#include "ImportDriver.h"
#include "ItemTable.h"

#include "store/CodeTable.h"
#include "store/CustStore.h"
#include "store/DeliveryStore.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace plx {

class ErrorList;
struct Environment;

// The frame shared by the EIAJ and KORVAN imports: the files in sorted order,
// the progress, the reading of header-form and pair-form files record by
// record, malformed lines and the class item, and which files may be moved to
// the Dust folder afterwards. The format's import decides what a record does to
// the data file (held in memory by `target`).
class OrderImport
{
public:
    struct Context
    {
        Environment& env;
        ErrorList& errors;
        DeliveryStore& target; // the data file of the run, in memory
        const CustStore& companies;
        const CodeTable& codes;
    };

    OrderImport(Context context, Protocol protocol);
    virtual ~OrderImport();

    // Imports the accepted files in the order given. `progress`
    // starts at `progressStart` and is reported with `selected` before each file.
    // Files that may go to the Dust folder are collected in movable().
    void run(const QList<AcceptedFile>& files, int progressStart, int selected, const ImportDriver::Progress& progress);

    // Full paths of the files imported without a file-level refusal.
    const QStringList& movable() const { return m_movable; }
    // Per file taken: its path and the file-level refusal code it got (0 none).
    const QList<std::pair<QString, int>>& taken() const { return m_taken; }
    // Order records read from the files, and how many of them were refused
    // (a record with several refusals counts once).
    int recordsRead() const { return m_recordsRead; }
    int recordsRefused() const { return m_recordsRefused; }

protected:
    // Recognises the items of the first record's table; returns false when the
    // file's class item is missing or not of this format (refusal 002).
    virtual bool findItems(const ItemTable& table) = 0;
    virtual void processRecord(const ItemTable& table) = 0;

    // The record's number within the file, the file's name and class.
    qint32 recordNumber() const { return m_record; }
    const QString& fileName() const { return m_fileName; }
    QString m_class;

    void refuse(short code, const QString& item, const QString& orderer, const QString& supplier, const QString& key);
    // Reads an item date "YYMMDD": empty for an absent date (empty or all
    // zeros), nothing (invalid) when it is not a date; else "YYYYMMDD" with the
    // century by the base year.
    std::optional<QString> dateItem(const QString& text) const;
    // Numeric item text as the pattern, or nothing when it is not numeric, is
    // negative, or does not fit the pattern's integer digits.
    static std::optional<QString> quantityItem(const QString& text, const QString& pattern);
    // Whether an item's value came from bytes that are not valid CP932 (they
    // decode to U+FFFD, which no valid character decodes to).
    static bool holdsInvalidBytes(QStringView value) { return value.contains(QChar(0xFFFD)); }
    // Whether the text, as the record would hold it in CP932, fits the field
    // without being cut. A value that is cut would be stored under a different
    // key than the one later orders are compared with.
    static bool fitsField(QStringView text, DeliveryField field);
    // Takes into `stored`, the record an order updates, what every update takes
    // from the order record `order`: the record's identity, state and source,
    // and the order data of both formats. A format's own order data it copies
    // after.
    static void takeOrderUpdate(DeliveryRecord& stored, const DeliveryRecord& order);
    // Whether the code table holds a code of kind "01" of this format with a
    // non-blank name. `code` is compared as given with the table's trimmed
    // codes: a value with blanks around it is not a code.
    bool inspectionCodeKnown(const QString& code) const;

    Context m_ctx;
    Protocol m_protocol;

private:
    void importFile(const AcceptedFile& file);
    // Reads the file's records and processes each.
    void readRecords(const QString& path);

    QString m_fileName;
    qint32 m_record = 0;
    QStringList m_movable;
    QList<std::pair<QString, int>> m_taken;
    bool m_stoppedEarly = false;
    int m_recordsRead = 0;
    int m_recordsRefused = 0;
    qint32 m_lastRefused = 0; // the record of this file refused last, 0 none
};

} // namespace plx
