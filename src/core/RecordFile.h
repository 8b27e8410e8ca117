#pragma once

#include "text/FixedField.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace plx {

class FileLock;

// What a record of a shaped file looks like: the bytes it may start with (its
// kind) and the fields that identify it. Every record ends with CR LF.
struct RecordShape
{
    QByteArray kinds;
    QList<FixedField> identity;
};

// Where a file stops being whole records: the 0-based byte offset where the
// damage starts, the record (from 1) it starts in, and whether it is only the
// last record that is cut short.
struct ShapeDamage
{
    qsizetype offset = -1;
    int record = 0;
    bool torn = false;
    bool found() const { return offset >= 0; }
};

// A file of fixed-length records, held in memory while open. Records are
// numbered from 1; the count is the file length divided by the record length.
// Every write goes straight through to the record's place in the file.
// Errors are RuntimeFailure, described with `fileLabel` ("納品書ﾌｧｲﾙ", ...).
//
// A file with a shape (the data files) is checked whole when it is opened: a
// file that is not whole records is refused (Refusal naming the file and where
// the damage starts) and never written. Each write to it holds the file's lock
// (the one the operation holds, or one taken for the write) and first checks
// that the record on disk is still the one that was read: same kind and same
// identifying fields, or, for an append, that nothing was appended meanwhile.
// Otherwise it writes nothing and refuses with message 10.
//
// A file without a shape keeps the old leniency: a trailing partial record is
// ignored (and overwritten by the next append).
class RecordFile
{
public:
    // Record numbers and counts are 16-bit in the files' world.
    static constexpr int kMaxRecords = 32767;

    RecordFile(QString path, int recordLength, QString fileLabel);

    const QString& path() const { return m_path; }
    int recordLength() const { return m_length; }
    const QString& label() const { return m_label; }

    // Turns on the checks of a shaped file (see above).
    void setShape(RecordShape shape);
    // The lock the current operation holds on this file, or nothing: writes
    // then take the lock themselves, one write at a time.
    void setLock(const FileLock* lock) { m_lock = lock; }

    // Where `bytes` stop being whole records of this file's shape.
    ShapeDamage findDamage(const QByteArray& bytes) const;
    // Throws Refusal when `bytes` are not whole records of this file's shape.
    void requireWhole(const QByteArray& bytes) const;
    // The message for damaged bytes of this file.
    QString damageText(const ShapeDamage& damage) const;
    // Whether record n as read (1 <= n <= count()) and `other` (a record's
    // bytes) have the same kind and identifying fields.
    bool sameIdentity(int n, const char* other) const;

    // Takes `records` as the file's content without any file behind it: writes
    // then change only the memory (a data file being built before it is put in
    // place). A partial record at the end is dropped.
    void openInMemory(QByteArray records);

    // Reads the file; with `create`, a missing file is created empty, otherwise
    // it reads as empty without being created. Returns the count.
    int open(bool create = true);
    void close();

    int count() const { return m_count; }
    qsizetype trailingBytes() const { return m_trailing; }

    // Record n's bytes; throws RuntimeFailure outside 1..count().
    QByteArray record(int n) const;
    // Pointer to record n's bytes (1 <= n <= count(), unchecked) for scans.
    const char* at(int n) const { return m_data.constData() + qsizetype(n - 1) * m_length; }
    // The whole records as they stand.
    const QByteArray& data() const { return m_data; }

    // Writes record n (count() + 1 appends). Throws RuntimeFailure.
    void write(int n, const QByteArray& bytes);

    // One record to overwrite: its number (1..count()) and its new bytes.
    struct Overwrite
    {
        int n = 0;
        QByteArray bytes;
    };
    // Overwrites several records through one opening of the file, under one lock.
    // A shaped file is checked first for every one of them: when any record on
    // disk is no longer the one read, nothing at all is written (message 10).
    // Throws RuntimeFailure.
    void overwrite(const QList<Overwrite>& records);

    // The failure "no such record" for this file.
    [[noreturn]] void throwNoSuchRecord() const;

private:
    QString m_path;
    int m_length;
    QString m_label;
    QByteArray m_data;
    int m_count = 0;
    qsizetype m_trailing = 0;
    bool m_memoryOnly = false;
    bool m_shaped = false;
    RecordShape m_shape;
    const FileLock* m_lock = nullptr;

    // Appends record count() + 1.
    void appendThrough(const QByteArray& bytes);
    void overwriteThrough(const QList<Overwrite>& records);
    // Whether the operation already holds this file's lock.
    bool holdsLock() const;
};

// The message 10 refusal: the record to be written is no longer the one read.
[[noreturn]] void throwRecordChanged();

} // namespace plx
