#include "DeliveryStore.h"

#include "core/Clock.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/text/Cp932.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace plx {

namespace {
constexpr int kLen = DeliveryRecord::kLength;
}

DeliveryStore::DeliveryStore(QString path, const Clock& clock) : m_path(std::move(path)), m_clock(&clock) {}

int DeliveryStore::open()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite))
        throw RuntimeFailure(QStringLiteral("納品書ﾌｧｲﾙを開けません。(%1: %2)").arg(m_path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeFailure(QStringLiteral("納品書ﾌｧｲﾙを読み込めません。(%1: %2)").arg(m_path, file.errorString()));
    const qsizetype whole = bytes.size() / kLen;
    m_count = int(std::min<qsizetype>(whole, kMaxRecords));
    m_trailing = bytes.size() - qsizetype(m_count) * kLen;
    bytes.truncate(qsizetype(m_count) * kLen);
    m_data = std::move(bytes);
    m_open = true;
    m_index.clear();
    m_indexBuilt = false;
    return m_count;
}

void DeliveryStore::close()
{
    m_open = false;
    m_data.clear();
    m_data.squeeze();
    m_count = 0;
    m_trailing = 0;
    m_index.clear();
    m_indexBuilt = false;
}

QByteArray DeliveryStore::recordBytes(int n) const
{
    if (n < 1 || n > m_count)
        throw RuntimeFailure(kNoSuchRecordText);
    return m_data.mid(qsizetype(n - 1) * kLen, kLen);
}

DeliveryRecord DeliveryStore::read(int n) const
{
    return DeliveryRecord(recordBytes(n));
}

void DeliveryStore::write(int n, DeliveryRecord record)
{
    record.stamp(m_clock->now());
    writeUnstamped(n, record);
}

void DeliveryStore::writeUnstamped(int n, const DeliveryRecord& record)
{
    if (n < 1 || n > m_count + 1)
        throw RuntimeFailure(kNoSuchRecordText);
    if (n > kMaxRecords)
        throw RuntimeFailure(QStringLiteral("納品書ﾌｧｲﾙのﾚｺｰﾄﾞ数が上限(%1件)を超えます。").arg(kMaxRecords));
    QFile file(m_path);
    const qint64 offset = qint64(n - 1) * kLen;
    if (!file.open(QIODevice::ReadWrite) || !file.seek(offset) || file.write(record.bytes()) != kLen || !file.flush())
        throw RuntimeFailure(QStringLiteral("納品書ﾌｧｲﾙに書き込めません。(%1: %2)").arg(m_path, file.errorString()));
    if (n == m_count + 1 && m_trailing > 0) {
        // The append replaced the damaged tail; drop whatever is left of it.
        if (!file.resize(qint64(n) * kLen))
            throw RuntimeFailure(
                QStringLiteral("納品書ﾌｧｲﾙに書き込めません。(%1: %2)").arg(m_path, file.errorString()));
        m_trailing = 0;
    }
    file.close();
    storeInMemory(n, record.bytes());
}

void DeliveryStore::storeInMemory(int n, const QByteArray& bytes)
{
    QByteArray oldKey;
    if (n <= m_count) {
        if (m_indexBuilt)
            oldKey = keyOf(m_data.mid(qsizetype(n - 1) * kLen, kLen));
        std::memcpy(m_data.data() + qsizetype(n - 1) * kLen, bytes.constData(), kLen);
    } else {
        m_data.append(bytes);
        m_count = n;
    }
    if (!m_indexBuilt)
        return;
    const QByteArray newKey = keyOf(bytes);
    if (oldKey == newKey && !oldKey.isEmpty())
        return;
    if (!oldKey.isEmpty()) {
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

int DeliveryStore::findLive(int k, char kindDigit) const
{
    if (k < 1)
        return 0;
    int seen = 0;
    for (int n = 1; n <= m_count; ++n) {
        if (m_data.at(qsizetype(n - 1) * kLen) == kindDigit && ++seen == k)
            return n;
    }
    return 0;
}

int DeliveryStore::requireLive(int k, char kindDigit) const
{
    const int n = findLive(k, kindDigit);
    if (n == 0)
        throw RuntimeFailure(kNoSuchRecordText);
    return n;
}

int DeliveryStore::countLive(char kindDigit) const
{
    int live = 0;
    for (int n = 0; n < m_count; ++n) {
        if (m_data.at(qsizetype(n) * kLen) == kindDigit)
            ++live;
    }
    return live;
}

QList<int> DeliveryStore::liveRecords(char kindDigit) const
{
    QList<int> out;
    for (int n = 1; n <= m_count; ++n) {
        if (m_data.at(qsizetype(n - 1) * kLen) == kindDigit)
            out.append(n);
    }
    return out;
}

void DeliveryStore::markDeleted(int n)
{
    DeliveryRecord record = read(n);
    record.setKind(DeliveryRecord::kKindDeleted);
    write(n, std::move(record));
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
    m_index.reserve(m_count);
    for (int n = 1; n <= m_count; ++n)
        m_index[keyOf(m_data.mid(qsizetype(n - 1) * kLen, kLen))].append(n);
    m_indexBuilt = true;
}

int DeliveryStore::findDelivery(char kindDigit, const QString& ordererCode, const QString& supplierCode,
                                const QString& deliveryKeyNo, QString& status) const
{
    status.clear();
    ensureIndex();
    const auto it = m_index.constFind(keyOf(kindDigit, ordererCode, supplierCode, deliveryKeyNo));
    if (it == m_index.cend() || it->isEmpty())
        return 0;
    const int n = it->first();
    status = read(n).text(DeliveryField::Status).trimmed();
    return n;
}

} // namespace plx
