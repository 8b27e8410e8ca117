#pragma once

#include <QByteArray>
#include <QString>

namespace plx {

// A file of fixed-length records, held in memory while open. Records are
// numbered from 1; the count is the file length divided by the record length,
// and a trailing partial record is ignored (the next append overwrites it).
// Every write goes straight through to the record's place in the file.
// Errors are RuntimeFailure, described with `fileLabel` ("納品書ﾌｧｲﾙ", ...).
class RecordFile
{
public:
    // Record numbers and counts are 16-bit in the files' world.
    static constexpr int kMaxRecords = 32767;

    RecordFile(QString path, int recordLength, QString fileLabel);

    const QString& path() const { return m_path; }
    int recordLength() const { return m_length; }

    // Takes `records` as the file's content without any file behind it: writes
    // then change only the memory (a data file being built before it is put in
    // place). A partial record at the end is dropped.
    void openInMemory(QByteArray records);
    bool inMemory() const { return m_memoryOnly; }

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
};

} // namespace plx
