#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace plx::cli {

// A comma-separated table with a header row (RFC 4180): fields may be quoted
// with double quotes, a quote inside a quoted field is doubled, and a quoted
// field may hold commas and line breaks. Lines end in CR LF or LF.
struct CsvTable
{
    QStringList header;
    struct Row
    {
        int line = 0; // the line of the file the row starts on (the header is line 1)
        QStringList fields;
    };
    QList<Row> rows;

    // Nothing, with `error` naming the line, when a quoted field is not
    // closed, text follows a closing quote, or an unquoted field holds a
    // quote: such a file is not read at all, rather than read as something
    // else.
    static std::optional<CsvTable> parse(const QString& text, QString& error);
    // The same for a file's bytes, which must be UTF-8 (a byte-order mark is
    // skipped); bytes that are not UTF-8 are refused naming their line.
    static std::optional<CsvTable> parseUtf8(QByteArray bytes, QString& error);
};

} // namespace plx::cli
