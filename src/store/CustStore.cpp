#include "CustStore.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/text/Cp932.h"

#include <QFile>

#include <cstring>

namespace plx {
namespace {
constexpr int kLen = CustRecord::kLength;
}

CustStore::CustStore(QString path) : m_path(std::move(path)) {}

int CustStore::open()
{
    return load(true);
}

int CustStore::openReadOnly()
{
    return load(false);
}

int CustStore::load(bool create)
{
    QByteArray bytes;
    if (create) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadWrite))
            throw RuntimeFailure(QStringLiteral("発注企業ﾌｧｲﾙを開けません。(%1: %2)").arg(m_path, file.errorString()));
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw RuntimeFailure(
                QStringLiteral("発注企業ﾌｧｲﾙを読み込めません。(%1: %2)").arg(m_path, file.errorString()));
    } else {
        bytes = fileutil::readAll(m_path);
    }
    m_count = int(std::min<qsizetype>(bytes.size() / kLen, kMaxRecords));
    m_trailing = bytes.size() - qsizetype(m_count) * kLen;
    bytes.truncate(qsizetype(m_count) * kLen);
    m_data = std::move(bytes);
    m_index.clear();
    m_indexBuilt = false;
    return m_count;
}

void CustStore::close()
{
    m_data.clear();
    m_count = 0;
    m_trailing = 0;
    m_index.clear();
    m_indexBuilt = false;
}

CustRecord CustStore::read(int n) const
{
    if (n < 1 || n > m_count)
        throw RuntimeFailure(QStringLiteral("発注企業ﾌｧｲﾙに該当ﾃﾞｰﾀが有りません。"));
    return CustRecord(m_data.mid(qsizetype(n - 1) * kLen, kLen));
}

void CustStore::write(int n, const CustRecord& record)
{
    if (n < 1 || n > m_count + 1 || n > kMaxRecords)
        throw RuntimeFailure(QStringLiteral("発注企業ﾌｧｲﾙのﾚｺｰﾄﾞ番号が正しくありません。"));
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(qint64(n - 1) * kLen) || file.write(record.bytes()) != kLen ||
        !file.flush())
        throw RuntimeFailure(QStringLiteral("発注企業ﾌｧｲﾙに書き込めません。(%1: %2)").arg(m_path, file.errorString()));
    if (n == m_count + 1 && m_trailing > 0) {
        file.resize(qint64(n) * kLen);
        m_trailing = 0;
    }
    file.close();
    if (n <= m_count)
        std::memcpy(m_data.data() + qsizetype(n - 1) * kLen, record.bytes().constData(), kLen);
    else {
        m_data.append(record.bytes());
        m_count = n;
    }
    // Writes are rare (the company window); the index is simply rebuilt.
    m_index.clear();
    m_indexBuilt = false;
}

QByteArray CustStore::keyOf(char protocol, const QByteArray& orderer, const QByteArray& supplier)
{
    return QByteArray(1, protocol) + '\x1f' + fixed::trimmedRight(orderer) + '\x1f' + fixed::trimmedRight(supplier);
}

void CustStore::ensureIndex() const
{
    if (m_indexBuilt)
        return;
    m_index.clear();
    m_index.reserve(m_count);
    const FixedField orderer = CustRecord::field(CustField::OrdererCode);
    const FixedField supplier = CustRecord::field(CustField::SupplierCode);
    for (int n = m_count; n >= 1; --n) {
        // Walking backwards leaves the lowest record number for each key.
        const char* rec = m_data.constData() + qsizetype(n - 1) * kLen;
        if (rec[0] == CustRecord::kProtocolDeleted)
            continue;
        m_index.insert(keyOf(rec[0], QByteArray(rec + orderer.offset, orderer.width),
                             QByteArray(rec + supplier.offset, supplier.width)),
                       n);
    }
    m_indexBuilt = true;
}

int CustStore::lookupRaw(char protocol, const QByteArray& ordererCode, const QByteArray& supplierCode) const
{
    if (protocol == CustRecord::kProtocolDeleted)
        return 0;
    ensureIndex();
    return m_index.value(keyOf(protocol, ordererCode, supplierCode), 0);
}

int CustStore::lookup(char protocol, const QString& ordererCode, const QString& supplierCode) const
{
    return lookupRaw(protocol, cp932::encode(ordererCode), cp932::encode(supplierCode));
}

QList<int> CustStore::list(char protocol) const
{
    QList<int> out;
    for (int n = 1; n <= m_count; ++n) {
        if (m_data.at(qsizetype(n - 1) * kLen) == protocol)
            out.append(n);
    }
    return out;
}

int CustStore::add(const CustRecord& record)
{
    const int n = m_count + 1;
    write(n, record);
    return n;
}

void CustStore::change(int n, const CustRecord& record)
{
    if (n < 1 || n > m_count)
        throw RuntimeFailure(QStringLiteral("発注企業ﾌｧｲﾙに該当ﾃﾞｰﾀが有りません。"));
    write(n, record);
}

void CustStore::remove(int n)
{
    CustRecord record = read(n);
    record.setProtocol(CustRecord::kProtocolDeleted);
    write(n, record);
}

void CustStore::compact(const QString& workPath)
{
    QByteArray kept;
    kept.reserve(m_data.size());
    for (int n = 0; n < m_count; ++n) {
        const char* rec = m_data.constData() + qsizetype(n) * kLen;
        if (rec[0] != CustRecord::kProtocolDeleted)
            kept.append(rec, kLen);
    }
    QFile::remove(workPath);
    {
        QFile work(workPath);
        if (!work.open(QIODevice::WriteOnly) || work.write(kept) != kept.size() || !work.flush())
            throw RuntimeFailure(
                QStringLiteral("ファイルに書き込めません。(%1: %2)").arg(workPath, work.errorString()));
    }
    try {
        fileutil::syncFile(workPath);
        fileutil::replaceFile(workPath, m_path);
    } catch (...) {
        QFile::remove(workPath);
        throw;
    }
    open();
}

std::optional<CustRecord> CustStore::sampleDefaults(const QString& samplePath, char protocol)
{
    CustStore sample(samplePath);
    sample.openReadOnly();
    for (int n = 1; n <= sample.count(); ++n) {
        if (sample.m_data.at(qsizetype(n - 1) * kLen) == protocol)
            return sample.read(n);
    }
    return std::nullopt;
}

CustStore OpenCustFile(const Environment& env)
{
    CustStore store(env.paths.custPath);
    store.open();
    return store;
}

} // namespace plx
