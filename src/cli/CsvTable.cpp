#include "CsvTable.h"

namespace plx::cli {

std::optional<CsvTable> CsvTable::parse(const QString& text, QString& error)
{
    CsvTable table;
    QList<Row> records;
    Row current;
    QString field;
    bool quoted = false;
    bool inQuotes = false;
    bool any = false; // the current record has begun
    int line = 1;
    current.line = 1;
    const auto endField = [&] {
        current.fields.append(field);
        field.clear();
        quoted = false;
        any = true;
    };
    const auto endRecord = [&] {
        if (any || !field.isEmpty()) {
            endField();
            records.append(current);
        }
        current = Row();
        any = false;
    };
    int quoteLine = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < text.size() && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty() && !quoted) {
            inQuotes = true;
            quoted = true;
            quoteLine = line;
            if (!any && current.fields.isEmpty())
                current.line = line;
            continue;
        }
        if (c == u',') {
            if (!any && current.fields.isEmpty())
                current.line = line;
            endField();
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            endRecord();
            ++line;
            current.line = line;
            continue;
        }
        if (!any && field.isEmpty() && current.fields.isEmpty())
            current.line = line;
        field += c;
    }
    if (inQuotes) {
        error = QStringLiteral("line %1: a quoted field is not closed").arg(quoteLine);
        return std::nullopt;
    }
    endRecord();
    if (records.isEmpty()) {
        error = QStringLiteral("no header row");
        return std::nullopt;
    }
    table.header = records.takeFirst().fields;
    for (Row& r : records) {
        // A line of nothing but one empty field is a blank line.
        if (r.fields.size() == 1 && r.fields[0].isEmpty())
            continue;
        table.rows.append(r);
    }
    return table;
}

} // namespace plx::cli
