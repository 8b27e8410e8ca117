#pragma once

#include "core/Protocol.h"
#include "store/DeliveryRecord.h"
#include "store/StatusRules.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

namespace plx {

namespace sqlite {
class Database;
}

// The history cannot be opened or written (full disk, no permission, held
// by another program past the wait): the description is the system's.
class HistoryError : public std::runtime_error
{
public:
    explicit HistoryError(QString description)
        : std::runtime_error(description.toStdString()), m_description(std::move(description))
    {
    }
    const QString& description() const { return m_description; }

private:
    QString m_description;
};

// One print run that issued documents.
struct HistoryRun
{
    qint64 id = 0;
    QDateTime startedAt;
    Protocol protocol = Protocol::Eiaj;
    QString user;
    QString host;
    QString printer; // empty: the PDF only
};

// One issued document: one record's slip, or one record's tags.
struct HistoryDocument
{
    qint64 id = 0; // the document ID the clerk sees; given when recorded
    qint64 runId = 0;
    OutputDocument kind = OutputDocument::Slip;
    QString layoutName;    // the layout file's name in the user folder
    QByteArray layout;     // its content when recorded (stored once per distinct content)
    QByteArray layoutHash; // SHA-256 of `layout`, hex; set when recorded or read
    QString pdfPath;       // empty when the engine wrote none
    int page = 0;          // the PDF page of the document's first line; 0: unknown
    QByteArray dataLines;  // the slip or tag data lines the report printed, CP932 as written
    // The record as the data file holds it once marked, its time stamp blank.
    QByteArray expected;

    // The record as printed, taken from `expected` and the company.
    Protocol protocol = Protocol::Eiaj;
    QString ordererCode;
    QString supplierCode;
    QString ordererName;
    QString supplierName;
    QString deliveryKey;
    QString orderNo;
    QString itemCode;
    QString itemName;
    QString shipQty;   // plain numbers ("12.5"), as the documents print them
    QString unitPrice; // in the record's currency
    QString amount;    // excluding tax
    QString tax;
    QString amountWithTax;
    QString currency;      // blank for yen
    QString shipDate;      // YYYYMMDD
    QString deliveryDate;  // YYYYMMDD
    QString taxClass;      // consumption tax class as stored
    QString taxationClass; // taxation class as stored
    // What the code table said of them when the document was printed: the
    // classes' names and the rate in percent.
    QString taxClassName;
    QString taxationClassName;
    QString taxRate;

    QDateTime issuedAt; // the run's start; filled by look-ups
};

// The look-up conditions; an empty text does not select.
struct HistoryQuery
{
    Protocol protocol = Protocol::Eiaj;
    QString fromShipDate; // YYYYMMDD, inclusive
    QString toShipDate;
    QString ordererCode;
    QString supplierCode;
    QString deliveryKey;
    QString orderNo;
    QString itemCode;
    // Only these documents (none: any).
    QList<qint64> ids;
    // Documents of both formats (by their IDs); `protocol` is not looked at.
    bool anyProtocol = false;
    // With each document's data lines and marked record (a reprint needs
    // them; a look-up does not).
    bool withContent = false;
};

// The history of issued documents: one SQLite file per installation. Runs and
// their documents are written in two steps around the marking of the records
// in the data file: first as pending, then committed; pending documents of a
// run that did not end are settled by the data file (settle()).
class HistoryStore
{
public:
    enum class Opening {
        Opened,   // the file was there and sound
        Created,  // there was no file: a new one was begun
        SetAside, // the file was damaged: renamed to asidePath(), a new one begun
    };
    static constexpr int kSchemaVersion = 1;
    // How long a write waits for another program's (milliseconds).
    static constexpr int kBusyMilliseconds = 5000;

    explicit HistoryStore(QString path);
    ~HistoryStore();

    // Opens the file, creating a missing one, setting a damaged one aside
    // (with its -wal and -shm) under "<name>.damaged-YYYYMMDDhhmmss" and
    // beginning a new one. Throws HistoryError when it cannot be opened or
    // created at all.
    Opening open();
    const QString& path() const { return m_path; }
    // The file is open for reading only: this account may not write it.
    bool isReadOnly() const;
    // The damaged file's new name after Opening::SetAside (or a write that
    // found the file damaged and began a new one), and why it was set aside.
    const QString& asidePath() const { return m_asidePath; }
    const QString& damage() const { return m_damage; }

    // Writes the run (when `run.id` is 0, a new one, whose id is set) and the
    // documents as pending in one transaction; sets each document's id.
    // Throws HistoryError, having written nothing.
    void addPending(HistoryRun& run, QList<HistoryDocument>& documents);
    // The PDF the engine wrote for pending documents (written as pending
    // before it was known).
    void namePdf(const QList<qint64>& documentIds, const QString& pdfPath);
    // The pending documents are issued: they and their run are committed.
    void commit(qint64 runId, const QList<qint64>& documentIds);
    // The pending documents were not issued: they are removed.
    void discard(qint64 runId, const QList<qint64>& documentIds);

    // Settles the pending documents of `protocol`'s runs: one whose record
    // `issued` finds in the data file (by its expected bytes) is committed,
    // any other removed; their runs end committed. The caller holds the data
    // file's lock. Returns the number of documents removed.
    int settle(Protocol protocol, const std::function<bool(const QByteArray& expected)>& issued);
    // Whether `protocol` has pending documents.
    bool hasPending(Protocol protocol);

    // Committed documents matching `query`, newest first.
    QList<HistoryDocument> find(const HistoryQuery& query);
    // The layout content recorded under `hash` (a document's layoutHash);
    // empty when none is.
    QByteArray layout(const QByteArray& hash);
    // Every committed or pending document with its state, for checks.
    int documentCount(bool pending);

    // The record bytes as compared by settle(): the time stamp blanked.
    static QByteArray comparable(QByteArray recordBytes);

private:
    // WAL, full syncs and foreign keys on the open connection.
    void setModes();
    void createSchema();
    void beginNew();
    void writePending(HistoryRun& run, QList<HistoryDocument>& documents);
    void checkSchema();
    void setAside(const QString& why);
    void finishRun(qint64 runId);

    QString m_path;
    QString m_asidePath;
    QString m_damage;
    std::unique_ptr<sqlite::Database> m_db;
};

} // namespace plx
