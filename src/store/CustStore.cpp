#include "CustStore.h"

#include "ProtocolRecords.h"

#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileLock.h"
#include "core/FileUtil.h"
#include "core/text/Cp932.h"

#include <QFile>

#include <cstring>

namespace plx {
namespace {
constexpr int kLen = CustRecord::kLength;
}

CustStore::CustStore(QString path) : m_file(std::move(path), kLen, label())
{
    m_file.setShape(
        {QByteArray() + CustRecord::kProtocolEiaj + CustRecord::kProtocolKorvan + CustRecord::kProtocolDeleted,
         {CustRecord::field(CustField::OrdererCode), CustRecord::field(CustField::SupplierCode)}});
}

int CustStore::open()
{
    m_index.clear();
    m_indexBuilt = false;
    return m_file.open(true);
}

int CustStore::openReadOnly()
{
    m_index.clear();
    m_indexBuilt = false;
    return m_file.open(false);
}

void CustStore::close()
{
    m_file.close();
    m_index.clear();
    m_indexBuilt = false;
}

CustRecord CustStore::read(int n) const
{
    return CustRecord(m_file.record(n));
}

void CustStore::write(int n, const CustRecord& record)
{
    m_file.write(n, record.bytes());
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
    m_index.reserve(count());
    const FixedField orderer = CustRecord::field(CustField::OrdererCode);
    const FixedField supplier = CustRecord::field(CustField::SupplierCode);
    for (int n = count(); n >= 1; --n) {
        // Walking backwards leaves the lowest record number for each key.
        const char* rec = m_file.at(n);
        if (rec[0] == CustRecord::kProtocolDeleted)
            continue;
        m_index.insert(keyOf(rec[0], QByteArray(rec + orderer.offset, orderer.width),
                             QByteArray(rec + supplier.offset, supplier.width)),
                       n);
    }
    m_indexBuilt = true;
}

int CustStore::lookupRaw(Protocol protocol, const QByteArray& ordererCode, const QByteArray& supplierCode) const
{
    ensureIndex();
    return m_index.value(keyOf(protocolDigit(protocol), ordererCode, supplierCode), 0);
}

int CustStore::lookup(Protocol protocol, const QString& ordererCode, const QString& supplierCode) const
{
    return lookupRaw(protocol, cp932::encode(ordererCode), cp932::encode(supplierCode));
}

QList<int> CustStore::list(Protocol protocol) const
{
    return recordsOfProtocol(m_file, protocol);
}

CompanyEntry CustStore::entry(int n) const
{
    const CustRecord r = read(n);
    const auto text = [&](CustField f) { return fixed::trimmedRight(r.text(f)); };
    return {n, text(CustField::OrdererCode), text(CustField::OrdererName), text(CustField::SupplierCode),
            text(CustField::SupplierName)};
}

QList<CompanyEntry> CustStore::entries(Protocol protocol) const
{
    QList<CompanyEntry> out;
    for (int n : list(protocol))
        out.append(entry(n));
    return out;
}

int CustStore::add(const CustRecord& record)
{
    const int n = count() + 1;
    write(n, record);
    return n;
}

void CustStore::change(int n, const CustRecord& record)
{
    if (n < 1 || n > count())
        m_file.throwNoSuchRecord();
    write(n, record);
}

void CustStore::remove(int n)
{
    CustRecord record = read(n);
    record.setProtocolByte(CustRecord::kProtocolDeleted);
    write(n, record);
}

void CustStore::compact(const QString& workPath)
{
    // The file as it stands now, under its lock: another program may have
    // added or changed companies since this store read it.
    const FileLock lock(path(), label());
    open();
    QByteArray kept;
    kept.reserve(m_file.data().size());
    for (int n = 1; n <= count(); ++n) {
        const char* rec = m_file.at(n);
        if (rec[0] != CustRecord::kProtocolDeleted)
            kept.append(rec, kLen);
    }
    try {
        fileutil::writeAndSync(workPath, kept);
        fileutil::replaceFile(workPath, path());
    } catch (...) {
        QFile::remove(workPath);
        throw;
    }
    open();
}

std::optional<CustRecord> CustStore::sampleDefaults(const QString& samplePath, Protocol protocol)
{
    CustStore sample(samplePath);
    sample.openReadOnly();
    const char digit = protocolDigit(protocol);
    for (int n = 1; n <= sample.count(); ++n) {
        if (*sample.m_file.at(n) == digit)
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
