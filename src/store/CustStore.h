#pragma once

#include "CustRecord.h"

#include "core/RecordFile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace plx {

struct Environment;

// A company as the windows that choose one show it: its record number, codes
// and names without their trailing blanks.
struct CompanyEntry
{
    int recordNumber = 0;
    QString ordererCode;
    QString ordererName;
    QString supplierCode;
    QString supplierName;
};

// The ordering-company file Cust.DAT, held in memory while open; every write
// goes straight through to the record's place in the file, under the file's
// lock and only over the record that was read (RecordFile). Records are
// numbered from 1; a file that is not whole records is refused when opened.
class CustStore
{
public:
    explicit CustStore(QString path);

    const QString& path() const { return m_file.path(); }

    // The lock the current operation holds on the file (see RecordFile).
    void setLock(const FileLock* lock) { m_file.setLock(lock); }
    // The file's name in messages.
    static QString label() { return QStringLiteral("発注企業ﾌｧｲﾙ"); }

    // Reads the file, creating it empty when missing. Throws RuntimeFailure.
    int open();
    // Reads the file without creating it (a missing file is an empty one).
    int openReadOnly();
    void close();

    int count() const { return m_file.count(); }
    qsizetype trailingBytes() const { return m_file.trailingBytes(); }

    CustRecord read(int n) const;
    // Writes record n; count() + 1 appends. Throws RuntimeFailure.
    void write(int n, const CustRecord& record);

    // The first live record of the protocol whose codes equal the given ones,
    // trailing blanks ignored on both sides; 0 when none does.
    int lookup(Protocol protocol, const QString& ordererCode, const QString& supplierCode) const;
    // The same for codes already in the record's bytes.
    int lookupRaw(Protocol protocol, const QByteArray& ordererCode, const QByteArray& supplierCode) const;
    // Record numbers of the protocol's records, in file order (row k of a list is
    // the k-th of them).
    QList<int> list(Protocol protocol) const;

    // Record n as a company entry, and every company of the protocol so, in file order.
    CompanyEntry entry(int n) const;
    QList<CompanyEntry> entries(Protocol protocol) const;

    int add(const CustRecord& record);
    void change(int n, const CustRecord& record);
    // Logical deletion: Protocol becomes a blank.
    void remove(int n);
    // Rewrites the file as it stands without its deleted records, through
    // W_Cust.DAT and an atomic rename, holding the file's lock. The store is
    // open on the compacted file afterwards.
    void compact(const QString& workPath);

    // The first record of the protocol in the sample file, the defaults for a
    // new company; nothing when the file holds none.
    static std::optional<CustRecord> sampleDefaults(const QString& samplePath, Protocol protocol);

private:
    static QByteArray keyOf(char protocol, const QByteArray& orderer, const QByteArray& supplier);
    void ensureIndex() const;

    RecordFile m_file;
    mutable QHash<QByteArray, int> m_index; // key -> first record number
    mutable bool m_indexBuilt = false;
};

// Opens the installation's ordering-company file for record access.
CustStore OpenCustFile(const Environment& env);

} // namespace plx
