#pragma once

#include <QString>

namespace plx {

// A delivery record's Status, one character.
enum class RecordStatus : char {
    Unprocessed = '0', // 未処理
    Waiting = '1',     // 発行待
    Issued = '2',      // 発行済
    Marked = '8',      // 発行待, marked for issue
};

constexpr char statusByte(RecordStatus status)
{
    return static_cast<char>(status);
}
inline QString statusText(RecordStatus status)
{
    return QString(QLatin1Char(statusByte(status)));
}

// The status as stored (its first character); anything unknown is Unprocessed.
inline RecordStatus statusOf(const QString& stored)
{
    const QChar c = stored.isEmpty() ? QChar(u'0') : stored.at(0);
    switch (c.unicode()) {
    case u'1':
        return RecordStatus::Waiting;
    case u'2':
        return RecordStatus::Issued;
    case u'8':
        return RecordStatus::Marked;
    default:
        return RecordStatus::Unprocessed;
    }
}

// Whether a stored status is exactly `status` (no blank or other character
// taken for it).
inline bool hasStatus(const QString& stored, RecordStatus status)
{
    return stored.size() == 1 && stored.at(0) == QLatin1Char(statusByte(status));
}

// A record that waits for issue: 発行待, marked or not.
constexpr bool waitsForIssue(char statusByte)
{
    return statusByte == '1' || statusByte == '8';
}

// An ordering company's OutputKind: which documents its records get.
enum class OutputKind : char {
    Slips = '1', // slips only
    Tags = '2',  // tags only
    Both = '3',
};

inline bool hasOutputKind(const QString& stored, OutputKind kind)
{
    return stored.size() == 1 && stored.at(0) == QLatin1Char(static_cast<char>(kind));
}
// Whether a company of this OutputKind gets slips, and tags.
inline bool outputsSlips(const QString& stored)
{
    return hasOutputKind(stored, OutputKind::Slips) || hasOutputKind(stored, OutputKind::Both);
}
inline bool outputsTags(const QString& stored)
{
    return hasOutputKind(stored, OutputKind::Tags) || hasOutputKind(stored, OutputKind::Both);
}
// Whether the stored OutputKind is one of the three (a hand-edited file may hold anything).
inline bool isKnownOutputKind(const QString& stored)
{
    return outputsSlips(stored) || outputsTags(stored);
}

} // namespace plx
