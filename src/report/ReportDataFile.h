#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace plx {

// The print data file handed to the report engine: CP932 text, one document per
// line, each value a double-quoted string, values separated by commas, lines ending
// in CR LF. A double quote inside a value is written doubled ("").
//
// The reader is lenient where a hand-edited or foreign file could differ: a value
// without quotes is taken as it stands, blanks around a quoted value are dropped,
// LF or CR alone also end a line, the last line need not end, and a quote that is
// never closed runs to the end of its line. Empty lines carry no document.
class ReportDataFile
{
public:
    // Splits one line (without its line end) into its values.
    static QStringList parseLine(QStringView line);

    // Splits CP932 file contents into documents, one list of values per non-empty line.
    static QList<QStringList> parse(const QByteArray& cp932Bytes);

    // Reads the file at `path`. Returns false with a Japanese `error` when the file
    // cannot be read.
    static bool read(const QString& path, QList<QStringList>& documents, QString& error);
};

} // namespace plx
