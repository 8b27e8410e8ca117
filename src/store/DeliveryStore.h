#pragma once

#include "DeliveryRecord.h"

#include "core/RecordFile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

namespace plx {

class Clock;

// One delivery-slip data file (E_Deliv.dat or K_Deliv.dat). The file is held in
// memory while open; every write goes straight through to the file at the
// record's place, under the file's lock and only over the record that was read
// (RecordFile). Records are numbered from 1; a file that is not whole records is
// refused when opened.
class DeliveryStore
{
public:
    DeliveryStore(QString path, const Clock& clock);

    const QString& path() const { return m_file.path(); }

    // The lock the current operation holds on the file (see RecordFile).
    void setLock(const FileLock* lock)
    {
        m_lock = lock;
        m_file.setLock(lock);
    }
    // Throws Refusal, naming the file at `path`, when `bytes` (a data file's
    // content) are not whole records.
    static void requireWhole(const QString& path, const QByteArray& bytes);
    // Whether record n as read has the kind and the three keys of `recordBytes`.
    bool sameRecord(int n, const char* recordBytes) const { return m_file.sameIdentity(n, recordBytes); }
    // The data file's name in messages.
    static QString label() { return QStringLiteral("納品書ﾌｧｲﾙ"); }

    // Reads the file, creating it empty when missing. Throws RuntimeFailure, or
    // Refusal for a damaged file.
    int open();
    // Works on `records` in memory only (see RecordFile::openInMemory).
    void openInMemory(QByteArray records);
    void close();
    bool isOpen() const { return m_open; }

    int count() const { return m_file.count(); }
    // Bytes after the last whole record (a damaged file); 0 normally.
    qsizetype trailingBytes() const { return m_file.trailingBytes(); }

    // The whole records as they stand (shared, not copied).
    const QByteArray& records() const { return m_file.data(); }

    // Record n, 1 <= n <= count(). Throws RuntimeFailure outside.
    DeliveryRecord read(int n) const;
    // Writes the record as record n (count() + 1 appends) with UpdatedAt set to
    // now. Throws RuntimeFailure.
    void write(int n, DeliveryRecord record);
    // The same without touching UpdatedAt (copies, conversions).
    void writeUnstamped(int n, const DeliveryRecord& record);
    // Overwrites several records (numbers 1..count()) with UpdatedAt set to now,
    // through one opening of the file: all of them, or none when any record is no
    // longer the one read (message 10). Throws RuntimeFailure.
    void overwrite(QList<std::pair<int, DeliveryRecord>> records);

    // The record number of the k-th live record of the kind (k from 1), or 0 when
    // there are fewer.
    int findLive(int k, Protocol protocol) const;
    // The record number of the k-th live record; a missing one is a run-time
    // failure ("納品書ﾌｧｲﾙに該当ﾃﾞｰﾀが有りません。").
    int requireLive(int k, Protocol protocol) const;
    int countLive(Protocol protocol) const;
    // The record numbers of every live record of the kind, in file order.
    QList<int> liveRecords(Protocol protocol) const;

    // Kind " " and UpdatedAt now.
    void markDeleted(int n);
    // Marks deleted, as markDeleted does, every live record of the kind that
    // `matches` accepts, all in one step: under the file's lock (the one the
    // operation holds, or one taken here) the file is read anew (a damaged file
    // is refused), the records are changed in memory, and the changed file is
    // written to a work file beside it, flushed to disk and renamed over it. A
    // program killed at any moment leaves the old file or the new one, never a
    // torn record. Nothing is written when nothing matches. Returns how many
    // records were marked; the store is then open on the file as it stands.
    // Throws Refusal or RuntimeFailure.
    int markDeletedWhere(Protocol protocol, const std::function<bool(const DeliveryRecord&)>& matches);
    // The work file of markDeletedWhere.
    QString workPath() const { return path() + QStringLiteral(".work"); }

    // The first live record of the protocol whose orderer code,
    // supplier code and delivery key equal the given texts (trailing blanks
    // ignored on both sides). Returns its number and sets `status` to its Status
    // trimmed; 0 and empty status when none matches.
    int findDelivery(Protocol protocol, const QString& ordererCode, const QString& supplierCode,
                     const QString& deliveryKeyNo, QString& status) const;

private:
    static RecordShape shape();
    void updateIndex(int n, const QByteArray& oldBytes, const QByteArray& newBytes);
    static QByteArray keyOf(const QByteArray& recordBytes);
    static QByteArray keyOf(char kindDigit, const QString& orderer, const QString& supplier, const QString& key);
    void resetIndex();
    void ensureIndex() const;

    RecordFile m_file;
    const Clock* m_clock;
    const FileLock* m_lock = nullptr;
    bool m_open = false;

    // Look-up index of findDelivery: key -> record numbers in ascending order.
    // Built on first use and kept in step with every write.
    mutable QHash<QByteArray, QList<int>> m_index;
    mutable bool m_indexBuilt = false;
};

// Reports a record number the file does not have.
inline const QString kNoSuchRecordText = QStringLiteral("納品書ﾌｧｲﾙに該当ﾃﾞｰﾀが有りません。");

} // namespace plx

namespace plx {

// The first record of the open data file that matches the protocol and the
// three keys (see DeliveryStore::findDelivery); 0 and empty status when none.
inline int FindDelivery(const DeliveryStore& store, Protocol protocol, const QString& ordererCode,
                        const QString& supplierCode, const QString& deliveryKeyNo, QString& status)
{
    return store.findDelivery(protocol, ordererCode, supplierCode, deliveryKeyNo, status);
}

} // namespace plx
