#pragma once

#include "core/Protocol.h"
#include "core/text/FixedField.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace plx {

// One record of the code table Code.DAT (34 bytes).
struct CodeEntry
{
    QString format; // "1" EIAJ, "2" KORVAN
    QString kind;   // "01" .. "05"
    QString code;   // trimmed
    QString name;   // trimmed
    QString value;  // trimmed
};

// The code table, read whole. Records are 34 bytes; a trailing partial record is
// ignored, like every fixed-record file of the program.
class CodeTable
{
public:
    static constexpr int kRecordLength = 34;
    static constexpr FixedField kFormat{0, 1};
    static constexpr FixedField kKind{1, 2};
    static constexpr FixedField kCode{3, 5};
    static constexpr FixedField kName{8, 12};
    static constexpr FixedField kValue{20, 12};

    // Reads the file; throws RuntimeFailure when it cannot be read. A missing
    // file reads as an empty table.
    static CodeTable load(const QString& path);
    static CodeTable fromBytes(const QByteArray& bytes);

    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const CodeEntry& entry(int index) const { return m_entries.at(index); }

    // The entries of one format and kind, in file order.
    QList<CodeEntry> list(Protocol format, const QString& kind) const;
    // The first entry of the format and kind whose code equals `code` (both trimmed).
    const CodeEntry* find(Protocol format, const QString& kind, const QString& code) const;
    // Its name, or empty text.
    QString nameOf(Protocol format, const QString& kind, const QString& code) const;

    // A record as it stands in the file, fields cut and padded to their widths.
    static QByteArray makeRecord(const CodeEntry& entry);

private:
    QList<CodeEntry> m_entries;
    // format + kind + code -> index of the first such entry
    QHash<QString, int> m_first;
};

} // namespace plx
