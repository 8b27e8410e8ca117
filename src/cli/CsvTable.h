#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace plx::cli {

// A comma-separated table with a header row: fields may be quoted with double
// quotes, a quote inside a quoted field is doubled, and a quoted field may hold
// commas and line breaks. Lines end in CR LF or LF.
struct CsvTable
{
    QStringList header;
    struct Row
    {
        int line = 0; // the line of the file the row starts on (the header is line 1)
        QStringList fields;
    };
    QList<Row> rows;

    // Nothing, with `error` set, when a quoted field is not closed.
    static std::optional<CsvTable> parse(const QString& text, QString& error);
};

} // namespace plx::cli
