#include "RecordFile.h"

#include "ErrorReport.h"
#include "FileUtil.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace plx {

RecordFile::RecordFile(QString path, int recordLength, QString fileLabel)
    : m_path(std::move(path)), m_length(recordLength), m_label(std::move(fileLabel))
{
}

void RecordFile::openInMemory(QByteArray records)
{
    m_memoryOnly = true;
    m_count = int(std::min<qsizetype>(records.size() / m_length, kMaxRecords));
    m_trailing = 0;
    records.truncate(qsizetype(m_count) * m_length);
    m_data = std::move(records);
}

int RecordFile::open(bool create)
{
    m_memoryOnly = false;
    QByteArray bytes;
    if (create) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadWrite))
            throw RuntimeFailure(QStringLiteral("%1を開けません。(%2: %3)").arg(m_label, m_path, file.errorString()));
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw RuntimeFailure(
                QStringLiteral("%1を読み込めません。(%2: %3)").arg(m_label, m_path, file.errorString()));
    } else {
        bytes = fileutil::readAll(m_path);
    }
    m_count = int(std::min<qsizetype>(bytes.size() / m_length, kMaxRecords));
    m_trailing = bytes.size() - qsizetype(m_count) * m_length;
    bytes.truncate(qsizetype(m_count) * m_length);
    m_data = std::move(bytes);
    return m_count;
}

void RecordFile::close()
{
    m_data.clear();
    m_data.squeeze();
    m_count = 0;
    m_trailing = 0;
}

void RecordFile::throwNoSuchRecord() const
{
    throw RuntimeFailure(QStringLiteral("%1に該当ﾃﾞｰﾀが有りません。").arg(m_label));
}

QByteArray RecordFile::record(int n) const
{
    if (n < 1 || n > m_count)
        throwNoSuchRecord();
    return m_data.mid(qsizetype(n - 1) * m_length, m_length);
}

void RecordFile::write(int n, const QByteArray& bytes)
{
    Q_ASSERT(bytes.size() == m_length);
    if (n < 1 || n > m_count + 1)
        throwNoSuchRecord();
    if (n > kMaxRecords)
        throw RuntimeFailure(QStringLiteral("%1のﾚｺｰﾄﾞ数が上限(%2件)を超えます。").arg(m_label).arg(kMaxRecords));
    if (m_memoryOnly) {
        if (n <= m_count) {
            std::memcpy(m_data.data() + qsizetype(n - 1) * m_length, bytes.constData(), m_length);
        } else {
            m_data.append(bytes);
            m_count = n;
        }
        return;
    }
    QFile file(m_path);
    const auto fail = [&] {
        throw RuntimeFailure(QStringLiteral("%1に書き込めません。(%2: %3)").arg(m_label, m_path, file.errorString()));
    };
    if (!file.open(QIODevice::ReadWrite) || !file.seek(qint64(n - 1) * m_length) || file.write(bytes) != m_length ||
        !file.flush())
        fail();
    if (n == m_count + 1 && m_trailing > 0) {
        // The append replaced the damaged tail; drop whatever is left of it.
        if (!file.resize(qint64(n) * m_length))
            fail();
        m_trailing = 0;
    }
    file.close();
    if (n <= m_count) {
        std::memcpy(m_data.data() + qsizetype(n - 1) * m_length, bytes.constData(), m_length);
    } else {
        m_data.append(bytes);
        m_count = n;
    }
}

} // namespace plx
