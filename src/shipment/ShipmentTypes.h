#pragma once

#include <QString>

namespace plx {

// The two order-data formats an entry window works on.
enum class EntryFormat { Eiaj, Korvan };

// The kind digit of a live record of the format, which is also the format
// digit of its ordering companies and of its code-table entries.
inline char kindDigitOf(EntryFormat format)
{
    return format == EntryFormat::Eiaj ? '1' : '2';
}
inline QString formatDigitOf(EntryFormat format)
{
    return QString(QLatin1Char(kindDigitOf(format)));
}

// A delivery record's Status.
enum class RecordStatus : char {
    Unprocessed = '0', // 未処理
    Waiting = '1',     // 発行待
    Issued = '2',      // 発行済
    Marked = '8',      // 発行待, marked for issue
};

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
inline QString statusText(RecordStatus status)
{
    return QString(QLatin1Char(static_cast<char>(status)));
}

// The entry window's modes.
enum class EntryMode {
    Existing = 0,   // listed records, order data locked
    Correction = 1, // order-data correction switched on
    New = 2,        // a record typed in
};

} // namespace plx
