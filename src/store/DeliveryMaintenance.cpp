#include "DeliveryMaintenance.h"
#include "store/RecordCodes.h"

#include "DeliveryRecord.h"
#include "DeliveryStore.h"

#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/FileUtil.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace plx {
namespace {

constexpr int kLen = DeliveryRecord::kLength;
constexpr int kLineLength = kLen - 2;
constexpr int kOldLineLength = 2239;

void removeIfExists(const QString& path)
{
    if (QFileInfo::exists(path) && !QFile::remove(path))
        throw RuntimeFailure(QStringLiteral("ファイルを削除できません。(%1)").arg(path));
}

} // namespace

QByteArray keptRecords(const QByteArray& records, RebuildMode mode)
{
    QByteArray kept;
    if (mode == RebuildMode::StartAnew)
        return kept;
    kept.reserve(records.size());
    const auto statusAt = DeliveryRecord::field(DeliveryField::Status).offset;
    const qsizetype total = records.size() / kLen;
    for (qsizetype n = 0; n < total; ++n) {
        const char* record = records.constData() + n * kLen;
        if (record[0] == DeliveryRecord::kKindDeleted)
            continue;
        if (mode == RebuildMode::DropIssued && record[statusAt] == statusByte(RecordStatus::Issued))
            continue;
        kept.append(record, kLen);
    }
    return kept;
}

void rebuildDeliveryFile(const RebuildFiles& files, RebuildMode mode, const std::function<void(int, int)>& onRecord)
{
    // The data file as it is now; a missing one is an empty one. A damaged one
    // is refused before anything is written.
    const QByteArray original = fileutil::readAll(files.current);
    DeliveryStore::requireWhole(files.current, original);
    fileutil::writeAtomically(files.backup, original);

    try {
        removeIfExists(files.work);
        const int total = int(original.size() / kLen);
        QByteArray kept;
        if (mode != RebuildMode::StartAnew)
            kept.reserve(original.size());
        const auto statusAt = DeliveryRecord::field(DeliveryField::Status).offset;
        for (int n = 0; n < total; ++n) {
            const char* record = original.constData() + qsizetype(n) * kLen;
            bool keep = false;
            if (mode == RebuildMode::Add)
                keep = record[0] != DeliveryRecord::kKindDeleted;
            else if (mode == RebuildMode::DropIssued)
                keep =
                    record[0] != DeliveryRecord::kKindDeleted && record[statusAt] != statusByte(RecordStatus::Issued);
            if (keep)
                kept.append(record, kLen);
            if (onRecord)
                onRecord(n + 1, total);
        }
        fileutil::writeAndSync(files.work, kept);
        fileutil::replaceFile(files.work, files.current);
    } catch (...) {
        QFile::remove(files.work);
        throw;
    }
}

void restoreBackup(const RebuildFiles& files)
{
    fileutil::replaceFile(files.backup, files.current);
}

void discardBackup(const RebuildFiles& files)
{
    removeIfExists(files.backup);
}

namespace {

qsizetype firstLineLength(const QByteArray& bytes)
{
    const qsizetype firstEnd = bytes.indexOf("\r\n");
    return firstEnd < 0 ? bytes.size() : firstEnd;
}

} // namespace

ConversionResult convertOlderLayout(const QString& dataPath, const QString& workPath)
{
    // Most files need nothing: tell that without the lock.
    QByteArray bytes = fileutil::readAll(dataPath);
    if (bytes.isEmpty() || firstLineLength(bytes) == 0 || firstLineLength(bytes) == kLineLength)
        return ConversionResult::NotNeeded;
    if (firstLineLength(bytes) != kOldLineLength)
        return ConversionResult::Refused;

    // The conversion rewrites the file: hold its lock and look again. A lock
    // another program keeps says what could not be done before whose it is.
    std::optional<FileLock> lock;
    try {
        lock.emplace(dataPath, DeliveryStore::label());
    } catch (const Refusal& busy) {
        throw Refusal(QStringLiteral("納品書ﾌｧｲﾙを新しい形式に変換できません。\r\n") + busy.message());
    }
    bytes = fileutil::readAll(dataPath);
    const qsizetype firstLength = firstLineLength(bytes);
    if (bytes.isEmpty() || firstLength == 0 || firstLength == kLineLength)
        return ConversionResult::NotNeeded;
    if (firstLength != kOldLineLength)
        return ConversionResult::Refused;

    static const QByteArray widening = QByteArray("   ") + "000000000000.00000" + "000000000000.000" +
                                       "000000000000.000" + "000000000000.000" + "\r\n";
    QByteArray out;
    out.reserve(bytes.size() / (kOldLineLength + 2) * kLen + kLen);
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = bytes.indexOf("\r\n", pos);
        const qsizetype next = end < 0 ? bytes.size() : end + 2;
        if (end < 0)
            end = bytes.size();
        if (end - pos != kOldLineLength)
            return ConversionResult::Refused;
        out.append(bytes.constData() + pos, end - pos);
        out.append(widening);
        pos = next;
    }
    fileutil::writeAndSync(workPath, out);
    fileutil::replaceFile(workPath, dataPath);
    return ConversionResult::Converted;
}

} // namespace plx
