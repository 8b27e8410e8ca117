#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace plx {

// Splits one comma-separated line: a double quote opens a quoted part (dropped),
// inside it a comma belongs to the field and a doubled quote stands for one
// quote; text after the closing quote still belongs to the field. A trailing
// empty field is dropped; blanks are kept.
QStringList splitCsvLine(QStringView line);

// The name/value rows of one order record, rows counted from 1 (at most 548).
// Row 0 is never filled: the value of an absent item is empty text.
class ItemTable
{
public:
    static constexpr int kCapacity = 548;

    void clear();
    int count() const { return int(m_names.size()); }
    const QString& name(int row) const { return m_names.at(row - 1); }
    // The value of row `row`; empty for row 0 or a row past the end.
    QString value(int row) const;

    // Pair form: fields alternate name, value. Returns true (malformed) when the
    // line needs more than 548 rows; loading stops there.
    bool loadPairs(QStringView line);
    // Header form: the header's fields name the rows, the line's fields give
    // their values. Malformed when either needs more than 548 rows or the line
    // has more values than the header has names.
    bool loadHeader(QStringView header, QStringView line);
    // The same with the header already split (a file's header serves all its
    // records).
    bool loadHeader(const QStringList& headerFields, QStringView line);

    // The last row whose name equals `name`, or 0.
    int findLast(QStringView name) const;

private:
    QStringList m_names;
    QStringList m_values;
};

} // namespace plx
