#include "CodeTable.h"

#include "ProtocolDigit.h"

#include "core/ErrorReport.h"

#include <QFile>

namespace plx {

CodeTable CodeTable::load(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(QStringLiteral("コードファイルを開けません。(%1)").arg(path));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw RuntimeFailure(QStringLiteral("コードファイルを読み込めません。(%1)").arg(path));
    return fromBytes(bytes);
}

CodeTable CodeTable::fromBytes(const QByteArray& bytes)
{
    CodeTable table;
    const qsizetype count = bytes.size() / kRecordLength;
    table.m_entries.reserve(count);
    for (qsizetype n = 0; n < count; ++n) {
        const QByteArray record = bytes.mid(n * kRecordLength, kRecordLength);
        table.m_entries.append({fixed::read(record, kFormat), fixed::read(record, kKind),
                                fixed::read(record, kCode).trimmed(), fixed::read(record, kName).trimmed(),
                                fixed::read(record, kValue).trimmed()});
        const CodeEntry& e = table.m_entries.last();
        const QString key = e.format + QLatin1Char('\x1f') + e.kind + QLatin1Char('\x1f') + e.code;
        if (!table.m_first.contains(key))
            table.m_first.insert(key, int(table.m_entries.size() - 1));
    }
    return table;
}

namespace {

QString formatText(Protocol format)
{
    return QString(QLatin1Char(protocolDigit(format)));
}

} // namespace

QList<CodeEntry> CodeTable::list(Protocol format, const QString& kind) const
{
    const QString digit = formatText(format);
    QList<CodeEntry> out;
    for (const CodeEntry& e : m_entries) {
        if (e.format == digit && e.kind == kind)
            out.append(e);
    }
    return out;
}

const CodeEntry* CodeTable::find(Protocol format, const QString& kind, const QString& code) const
{
    const auto it =
        m_first.constFind(formatText(format) + QLatin1Char('\x1f') + kind + QLatin1Char('\x1f') + code.trimmed());
    return it == m_first.cend() ? nullptr : &m_entries.at(*it);
}

QString CodeTable::nameOf(Protocol format, const QString& kind, const QString& code) const
{
    const CodeEntry* e = find(format, kind, code);
    return e ? e->name : QString();
}

QByteArray CodeTable::makeRecord(const CodeEntry& entry)
{
    QByteArray record(kRecordLength, ' ');
    fixed::write(record, kFormat, entry.format);
    fixed::write(record, kKind, entry.kind);
    fixed::write(record, kCode, entry.code);
    fixed::write(record, kName, entry.name);
    fixed::write(record, kValue, entry.value);
    record[32] = '\r';
    record[33] = '\n';
    return record;
}

} // namespace plx
