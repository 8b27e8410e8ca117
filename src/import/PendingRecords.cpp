#include "PendingRecords.h"
#include "store/RecordCodes.h"

#include "store/DeliveryRecord.h"

#include <QFile>

namespace plx {

int PendingRecords::count(const QByteArray& records)
{
    constexpr qsizetype kLen = DeliveryRecord::kLength;
    const auto statusAt = DeliveryRecord::field(DeliveryField::Status).offset;
    int pending = 0;
    for (qsizetype at = 0; at + kLen <= records.size(); at += kLen) {
        const char* record = records.constData() + at;
        if (DeliveryRecord::isDeleted(record))
            continue;
        if (waitsForIssue(record[statusAt]))
            ++pending;
    }
    return pending;
}

int PendingRecords::countInFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return count(file.readAll());
}

} // namespace plx
