#include "RecordFile.h"

#include "ErrorReport.h"
#include "FileLock.h"
#include "FileUtil.h"
#include "OwnWrites.h"

#include <QDir>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace plx {
namespace {

// Runs `write`, under the file's lock when `takeLock` (a shaped file whose
// lock the store does not hold already).
template <typename Write> void underLock(bool takeLock, const QString& path, const QString& label, Write write)
{
    if (!takeLock) {
        write();
        return;
    }
    const FileLock lock(path, label);
    write();
}

} // namespace

RecordFile::RecordFile(QString path, int recordLength, QString fileLabel)
    : m_path(std::move(path)), m_length(recordLength), m_label(std::move(fileLabel))
{
}

void throwRecordChanged()
{
    throw Refusal::byNumber(10);
}

void RecordFile::setShape(RecordShape shape)
{
    m_shape = std::move(shape);
    m_shaped = true;
}

ShapeDamage RecordFile::findDamage(const QByteArray& bytes) const
{
    ShapeDamage damage;
    const qsizetype whole = bytes.size() / m_length;
    const char* data = bytes.constData();
    for (qsizetype n = 0; n < whole; ++n) {
        const char* rec = data + n * m_length;
        const bool kindOk = m_shape.kinds.isEmpty() || m_shape.kinds.contains(rec[0]);
        if (!kindOk || rec[m_length - 2] != '\r' || rec[m_length - 1] != '\n') {
            damage.offset = n * m_length;
            damage.record = int(std::min<qsizetype>(n + 1, kMaxRecords + 1));
            return damage;
        }
    }
    if (bytes.size() % m_length != 0) {
        damage.offset = whole * m_length;
        damage.record = int(std::min<qsizetype>(whole + 1, kMaxRecords + 1));
        damage.torn = true;
    }
    return damage;
}

QString RecordFile::damageText(const ShapeDamage& damage) const
{
    const QString pattern =
        damage.torn ? QStringLiteral("%1が壊れています。最後のﾚｺｰﾄﾞ(%2件目、%3ﾊﾞｲﾄ目から)が途中で切れています。")
                    : QStringLiteral("%1が壊れています。%2件目のﾚｺｰﾄﾞ(%3ﾊﾞｲﾄ目)から形式が正しくありません。");
    return pattern.arg(m_label).arg(damage.record).arg(damage.offset + 1) +
           QStringLiteral("ﾌｧｲﾙは変更していません。\r\n(%1)").arg(QDir::toNativeSeparators(m_path));
}

void RecordFile::requireWhole(const QByteArray& bytes) const
{
    const ShapeDamage damage = findDamage(bytes);
    if (damage.found())
        throw Refusal(damageText(damage));
}

bool RecordFile::sameIdentity(int n, const char* other) const
{
    const char* mine = at(n);
    if (mine[0] != other[0])
        return false;
    for (const FixedField& f : m_shape.identity) {
        if (std::memcmp(mine + f.offset, other + f.offset, size_t(f.width)) != 0)
            return false;
    }
    return true;
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
        // Opening creates a missing file: a write of this program.
        const ownwrites::Write created(m_path);
        const bool existed = QFileInfo::exists(m_path);
        QFile file(m_path);
        if (!file.open(QIODevice::ReadWrite))
            throw RuntimeFailure(QStringLiteral("%1を開けません。(%2: %3)").arg(m_label, m_path, file.errorString()));
        if (!existed)
            fileutil::shareWithFolder(int(file.handle()), QFileInfo(m_path).absolutePath());
        bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw RuntimeFailure(
                QStringLiteral("%1を読み込めません。(%2: %3)").arg(m_label, m_path, file.errorString()));
    } else {
        bytes = fileutil::readAll(m_path);
    }
    if (m_shaped)
        requireWhole(bytes);
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
    if (n <= m_count) {
        overwrite({{n, bytes}});
        return;
    }
    if (n > kMaxRecords)
        throw RuntimeFailure(QStringLiteral("%1のﾚｺｰﾄﾞ数が上限(%2件)を超えます。").arg(m_label).arg(kMaxRecords));
    if (m_memoryOnly) {
        m_data.append(bytes);
        m_count = n;
        return;
    }
    underLock(m_shaped && !holdsLock(), m_path, m_label, [&] { appendThrough(bytes); });
}

bool RecordFile::holdsLock() const
{
    return m_lock != nullptr && m_lock->dataPath() == m_path;
}

void RecordFile::overwrite(const QList<Overwrite>& records)
{
    for (const Overwrite& r : records) {
        Q_ASSERT(r.bytes.size() == m_length);
        if (r.n < 1 || r.n > m_count)
            throwNoSuchRecord();
    }
    if (records.isEmpty())
        return;
    if (m_memoryOnly) {
        for (const Overwrite& r : records)
            std::memcpy(m_data.data() + qsizetype(r.n - 1) * m_length, r.bytes.constData(), m_length);
        return;
    }
    underLock(m_shaped && !holdsLock(), m_path, m_label, [&] { overwriteThrough(records); });
}

void RecordFile::overwriteThrough(const QList<Overwrite>& records)
{
    const ownwrites::Write noted(m_path);
    QFile file(m_path);
    const auto fail = [&] {
        throw RuntimeFailure(QStringLiteral("%1に書き込めません。(%2: %3)").arg(m_label, m_path, file.errorString()));
    };
    // Unbuffered: each check reads one record, not a buffer's worth around it.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        fail();
    if (m_shaped) {
        // Every record there must still be the one this program read before any
        // of them is written: another program may have rewritten the file (an
        // import renumbers records) since.
        const qint64 size = file.size();
        for (const Overwrite& r : records) {
            if (size < qint64(r.n) * m_length || !file.seek(qint64(r.n - 1) * m_length))
                throwRecordChanged();
            const QByteArray onDisk = file.read(m_length);
            if (onDisk.size() != m_length || !sameIdentity(r.n, onDisk.constData()))
                throwRecordChanged();
        }
    }
    for (const Overwrite& r : records) {
        if (!file.seek(qint64(r.n - 1) * m_length) || file.write(r.bytes) != m_length)
            fail();
    }
    if (!file.flush())
        fail();
    file.close();
    for (const Overwrite& r : records)
        std::memcpy(m_data.data() + qsizetype(r.n - 1) * m_length, r.bytes.constData(), m_length);
}

void RecordFile::appendThrough(const QByteArray& bytes)
{
    const ownwrites::Write noted(m_path);
    QFile file(m_path);
    const auto fail = [&](const QString& why) {
        throw RuntimeFailure(QStringLiteral("%1に書き込めません。(%2: %3)").arg(m_label, m_path, why));
    };
    // Unbuffered: nothing is left in a buffer that closing the file would
    // still try to write after a failed write was undone.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        fail(file.errorString());
    const qint64 before = file.size();
    // Nothing may have been appended since this program read the file: the
    // record would go over another program's.
    if (m_shaped && before != qint64(m_count) * m_length)
        throwRecordChanged();
    const int n = m_count + 1;
    const qint64 at = qint64(n - 1) * m_length;
    // A damaged tail (files without a shape) is replaced by the record; it is
    // kept to be put back should the write fail.
    QByteArray tail;
    if (before > at && (!file.seek(at) || (tail = file.read(before - at)).size() != before - at))
        fail(file.errorString());
    if (!file.seek(at) || file.write(bytes) != m_length || (before > at + m_length && !file.resize(at + m_length))) {
        // A full disk or a file-size limit: the record may be half written.
        // The file goes back to what it was, so that no program finds it torn.
        const QString why = file.errorString();
        if (!file.resize(before) || (!tail.isEmpty() && (!file.seek(at) || file.write(tail) != tail.size())))
            fail(why + QStringLiteral(" / ") + file.errorString());
        fail(why);
    }
    m_trailing = 0;
    file.close();
    m_data.append(bytes);
    m_count = n;
}

} // namespace plx
