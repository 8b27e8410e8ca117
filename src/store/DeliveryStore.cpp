#include "DeliveryStore.h"

#include "ProtocolRecords.h"

#include "core/Clock.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/FileUtil.h"
#include "core/text/Cp932.h"

#include <QFile>

#include <algorithm>
#include <optional>

namespace plx {

namespace {
constexpr int kLen = DeliveryRecord::kLength;
}

DeliveryStore::DeliveryStore(QString path, const Clock& clock) : m_file(std::move(path), kLen, label()), m_clock(&clock)
{
    m_file.setShape(shape());
}

RecordShape DeliveryStore::shape()
{
    // Kind and the three keys identify a record.
    return {QByteArray() + DeliveryRecord::kKindEiaj + DeliveryRecord::kKindKorvan + DeliveryRecord::kKindDeleted,
            {DeliveryRecord::field(DeliveryField::OrdererCode), DeliveryRecord::field(DeliveryField::SupplierCode),
             DeliveryRecord::field(DeliveryField::DeliveryKeyNo)}};
}

void DeliveryStore::requireWhole(const QString& path, const QByteArray& bytes)
{
    RecordFile file(path, kLen, label());
    file.setShape(shape());
    file.requireWhole(bytes);
}

int DeliveryStore::open()
{
    m_file.open();
    m_open = true;
    resetIndex();
    return m_file.count();
}

void DeliveryStore::openInMemory(QByteArray records)
{
    m_file.openInMemory(std::move(records));
    m_open = true;
    resetIndex();
}

void DeliveryStore::close()
{
    m_file.close();
    m_open = false;
    resetIndex();
}

void DeliveryStore::resetIndex()
{
    m_index.clear();
    m_indexBuilt = false;
}

DeliveryRecord DeliveryStore::read(int n) const
{
    return DeliveryRecord(m_file.record(n));
}

void DeliveryStore::write(int n, DeliveryRecord record)
{
    record.stamp(m_clock->now());
    writeUnstamped(n, record);
}

void DeliveryStore::writeUnstamped(int n, const DeliveryRecord& record)
{
    const QByteArray old = (m_indexBuilt && n >= 1 && n <= count()) ? m_file.record(n) : QByteArray();
    m_file.write(n, record.bytes());
    if (m_indexBuilt)
        updateIndex(n, old, record.bytes());
}

void DeliveryStore::overwrite(QList<std::pair<int, DeliveryRecord>> records)
{
    const QDateTime now = m_clock->now();
    QList<RecordFile::Overwrite> writes;
    writes.reserve(records.size());
    QList<QByteArray> old;
    for (auto& [n, record] : records) {
        record.stamp(now);
        writes.append({n, record.bytes()});
        if (m_indexBuilt && n >= 1 && n <= count())
            old.append(m_file.record(n));
    }
    m_file.overwrite(writes);
    if (m_indexBuilt) {
        for (qsizetype i = 0; i < writes.size(); ++i)
            updateIndex(writes[i].n, old[i], writes[i].bytes);
    }
}

void DeliveryStore::updateIndex(int n, const QByteArray& oldBytes, const QByteArray& newBytes)
{
    const QByteArray newKey = keyOf(newBytes);
    if (!oldBytes.isEmpty()) {
        const QByteArray oldKey = keyOf(oldBytes);
        if (oldKey == newKey)
            return;
        auto it = m_index.find(oldKey);
        if (it != m_index.end()) {
            it->removeOne(n);
            if (it->isEmpty())
                m_index.erase(it);
        }
    }
    QList<int>& numbers = m_index[newKey];
    numbers.insert(std::lower_bound(numbers.begin(), numbers.end(), n), n);
}

int DeliveryStore::findLive(int k, Protocol protocol) const
{
    const char kindDigit = protocolDigit(protocol);
    if (k < 1)
        return 0;
    int seen = 0;
    for (int n = 1; n <= count(); ++n) {
        if (*m_file.at(n) == kindDigit && ++seen == k)
            return n;
    }
    return 0;
}

int DeliveryStore::requireLive(int k, Protocol protocol) const
{
    const int n = findLive(k, protocol);
    if (n == 0)
        m_file.throwNoSuchRecord();
    return n;
}

int DeliveryStore::countLive(Protocol protocol) const
{
    return static_cast<int>(liveRecords(protocol).size());
}

QList<int> DeliveryStore::liveRecords(Protocol protocol) const
{
    return recordsOfProtocol(m_file, protocol);
}

void DeliveryStore::markDeleted(int n)
{
    DeliveryRecord record = read(n);
    record.setKind(DeliveryRecord::kKindDeleted);
    write(n, std::move(record));
}

int DeliveryStore::markDeletedWhere(Protocol protocol, const std::function<bool(const DeliveryRecord&)>& matches)
{
    const char kindDigit = protocolDigit(protocol);
    std::optional<FileLock> ownLock;
    if (m_lock == nullptr || m_lock->dataPath() != path())
        ownLock.emplace(path(), label());
    // The file as it stands under the lock, refused when damaged.
    open();
    QByteArray changed = m_file.data();
    const QDateTime now = m_clock->now();
    int marked = 0;
    for (int n = 1; n <= count(); ++n) {
        if (*m_file.at(n) != kindDigit)
            continue;
        DeliveryRecord record = read(n);
        if (!matches(record))
            continue;
        record.setKind(DeliveryRecord::kKindDeleted);
        record.stamp(now);
        changed.replace(qsizetype(n - 1) * kLen, kLen, record.bytes());
        ++marked;
    }
    if (marked == 0)
        return 0;
    const QString work = workPath();
    try {
        fileutil::writeAndSync(work, changed);
        fileutil::replaceFile(work, path());
    } catch (...) {
        QFile::remove(work);
        throw;
    }
    open();
    return marked;
}

QByteArray DeliveryStore::keyOf(const QByteArray& bytes)
{
    const auto part = [&](DeliveryField f) {
        return fixed::trimmedRight(fixed::bytes(bytes, DeliveryRecord::field(f)));
    };
    return bytes.left(1) + '\x1f' + part(DeliveryField::OrdererCode) + '\x1f' + part(DeliveryField::SupplierCode) +
           '\x1f' + part(DeliveryField::DeliveryKeyNo);
}

QByteArray DeliveryStore::keyOf(char kindDigit, const QString& orderer, const QString& supplier, const QString& key)
{
    // The texts as the record would hold them: CP932, trailing blanks removed.
    const auto part = [](const QString& text) { return fixed::trimmedRight(cp932::encode(text)); };
    return QByteArray(1, kindDigit) + '\x1f' + part(orderer) + '\x1f' + part(supplier) + '\x1f' + part(key);
}

void DeliveryStore::ensureIndex() const
{
    if (m_indexBuilt)
        return;
    m_index.clear();
    m_index.reserve(count());
    for (int n = 1; n <= count(); ++n)
        m_index[keyOf(QByteArray::fromRawData(m_file.at(n), kLen))].append(n);
    m_indexBuilt = true;
}

int DeliveryStore::findDelivery(Protocol protocol, const QString& ordererCode, const QString& supplierCode,
                                const QString& deliveryKeyNo, QString& status) const
{
    status.clear();
    ensureIndex();
    const auto it = m_index.constFind(keyOf(protocolDigit(protocol), ordererCode, supplierCode, deliveryKeyNo));
    if (it == m_index.cend() || it->isEmpty())
        return 0;
    const int n = it->first();
    status = read(n).text(DeliveryField::Status).trimmed();
    return n;
}

} // namespace plx
