#include "CsvTable.h"

#include <QStringDecoder>

namespace plx::cli {

namespace {

QString lineError(int line, const char16_t* what)
{
    return QStringLiteral("%1行目: %2").arg(line).arg(QStringView(what));
}

} // namespace

std::optional<CsvTable> CsvTable::parseUtf8(QByteArray bytes, QString& error)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    // Line by line, so that the refusal names the line: a line feed never
    // stands inside a UTF-8 sequence.
    int line = 1;
    for (qsizetype begin = 0; begin <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', begin);
        if (end < 0)
            end = bytes.size();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = utf8.decode(QByteArrayView(bytes).sliced(begin, end - begin));
        if (utf8.hasError()) {
            error = lineError(line, u"UTF-8 の文字として読めないバイトがあります。");
            return std::nullopt;
        }
        begin = end + 1;
    }
    return parse(QString::fromUtf8(bytes), error);
}

std::optional<CsvTable> CsvTable::parse(const QString& text, QString& error)
{
    CsvTable table;
    QList<Row> records;
    Row current;
    QString field;
    bool inQuotes = false;
    bool closed = false; // a quoted field's closing quote was read
    bool any = false;    // the current record has begun
    int line = 1;
    current.line = 1;
    const auto endField = [&] {
        current.fields.append(field);
        field.clear();
        closed = false;
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
                    closed = true;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        const bool separator = c == u',' || c == u'\r' || c == u'\n';
        if (closed && !separator) {
            error = lineError(line, u"引用符で囲んだ項目の後に文字があります。");
            return std::nullopt;
        }
        if (c == u'"' && !field.isEmpty()) {
            error = lineError(line, u"引用符で囲んでいない項目に引用符があります。");
            return std::nullopt;
        }
        if (c == u'"') {
            inQuotes = true;
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
        error = lineError(quoteLine, u"引用符が閉じられていません。");
        return std::nullopt;
    }
    endRecord();
    if (records.isEmpty()) {
        error = QStringLiteral("見出しの行がありません。");
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
