#pragma once

#include "core/Protocol.h"

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace plx {

struct Environment;

// The file-level refusal of an order file larger than any order file can be
// (ImportDriver::kMaxOrderFileBytes): it is not read at all.
constexpr short kFileTooLarge = 13;
// The file-level refusal of an order file the program may not read (no read
// permission, say): it is no order of another protocol and stays where it is.
constexpr short kFileUnreadable = 14;

// Whether `code` refuses a whole file (001, 002, 003, 013 and 014): the file is
// not imported and not moved to the Dust folder.
constexpr bool isFileRefusal(int code)
{
    return (code >= 1 && code <= 3) || code == kFileTooLarge || code == kFileUnreadable;
}

// The import error list Err.dat: one CP932 line per refusal, after a heading
// written with the first entry of a run. Codes 1 to 3 (file-level refusals)
// also show a message box.
class ErrorList
{
public:
    // Opens the list for writing, emptying it.
    // `protocol` is the protocol of the run. Throws RuntimeFailure.
    ErrorList(Environment& env, Protocol protocol);
    ~ErrorList();

    // Writes one entry. Throws RuntimeFailure when it cannot write.
    void writeEntry(short code, const QString& fileName, const QString& itemName, qint32 recordNumber,
                    const QString& ordererCode, const QString& supplierCode, const QString& deliveryKeyNo,
                    const QString& infoClass);

    // Entries written in this run; the list has its heading once this is not 0.
    int count() const { return m_count; }
    // What the last entry written since resetFileLevel() says of its file: a
    // file-level refusal (isFileRefusal), any other refusal, or nothing written.
    enum class FileLevel { Clean, EntryRefused, FileRefused };
    FileLevel fileLevel() const { return m_fileLevel; }
    void resetFileLevel()
    {
        m_fileLevel = FileLevel::Clean;
        m_fileCode = 0;
    }
    // The file-level refusal code written since resetFileLevel(), or 0.
    int fileCode() const { return m_fileCode; }

    void close();

    // What this run wrote, kept in memory: the heading (empty while nothing
    // was written) and each entry with the file name it was written for, as
    // given. Another program's run may rewrite Err.dat as soon as the locks
    // are let go; these stay this run's.
    const QStringList& heading() const { return m_heading; }
    const QList<std::pair<QString, QString>>& entries() const { return m_entries; }

private:
    void writeLine(const QString& line);

    Environment& m_env;
    Protocol m_protocol;
    QFile m_file;
    int m_count = 0;
    FileLevel m_fileLevel = FileLevel::Clean;
    int m_fileCode = 0;
    QStringList m_heading;
    QList<std::pair<QString, QString>> m_entries;
};

// The line of an entry, without its line end. For kFileTooLarge `itemName`
// holds the file's size and the limit as shown.
QString errorLineText(short code, const QString& fileName, const QString& itemName, qint32 recordNumber,
                      const QString& ordererCode, const QString& supplierCode, const QString& deliveryKeyNo,
                      const QString& infoClass);

} // namespace plx
