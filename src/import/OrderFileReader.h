#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace plx {

// Reads an order file a line at a time: CP932 text whose lines end with CR LF,
// CR or LF; a line end at the very end of the file starts no further line.
// It holds one line and one block of the file, never the whole file, so a
// file of any size is read in memory bounded by kMaxLineBytes.
class OrderFileReader
{
public:
    // The longest line taken, in bytes. An order record holds at most 548
    // items of a few dozen bytes each, so a real line is some kilobytes; a
    // line beyond this is no order record.
    static constexpr qsizetype kMaxLineBytes = 1024 * 1024;

    enum class Result {
        Line,    // `line` holds the next line
        End,     // no more lines
        TooLong, // the next line is longer than kMaxLineBytes
        Failed,  // the file could not be read (errorString())
    };

    // Opens the file; false when it cannot (errorString()).
    bool open(const QString& path);
    // The next line, decoded (cp932::decode). TooLong and Failed end the
    // reading: the caller reads no further.
    Result next(QString& line);
    QString errorString() const { return m_openError.isEmpty() ? m_file.errorString() : m_openError; }

private:
    bool fill();

    QFile m_file;
    QString m_openError; // the system's reason when the file could not be opened
    QByteArray m_block;
    qsizetype m_at = 0;
    bool m_pendingCr = false; // the last line ended with CR: a LF right after it belongs to it
    bool m_failed = false;
};

} // namespace plx
