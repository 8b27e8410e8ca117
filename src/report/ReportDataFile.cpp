#include "ReportDataFile.h"

#include "core/text/Cp932.h"

#include <QFile>
#include <QFileInfo>

namespace plx {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

QStringList ReportDataFile::parseLine(QStringView line)
{
    QStringList values;
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (true) {
        QString value;
        qsizetype j = i;
        while (j < n && isBlank(line[j]))
            ++j;
        if (j < n && line[j] == u'"') {
            // Quoted value: runs to the closing quote; "" stands for one quote.
            ++j;
            while (j < n) {
                const qsizetype quote = line.indexOf(u'"', j);
                if (quote < 0) {
                    value += line.mid(j);
                    j = n;
                    break;
                }
                value += line.mid(j, quote - j);
                if (quote + 1 < n && line[quote + 1] == u'"') {
                    value += u'"';
                    j = quote + 2;
                    continue;
                }
                j = quote + 1;
                break;
            }
            // Anything between the closing quote and the comma other than blanks
            // belongs to the value (a stray quote in an otherwise quoted value).
            while (j < n && line[j] != u',') {
                if (!isBlank(line[j]))
                    value += line[j];
                ++j;
            }
        } else {
            // Unquoted value: everything up to the next comma, as it stands.
            const qsizetype comma = line.indexOf(u',', i);
            j = comma < 0 ? n : comma;
            value = line.mid(i, j - i).toString();
        }
        values.append(value);
        if (j >= n)
            break;
        i = j + 1; // past the comma
    }
    return values;
}

QList<QStringList> ReportDataFile::parse(const QByteArray& cp932Bytes)
{
    // CP932 never uses CR, LF, comma or double quote as the second byte of a
    // double-byte character, so the decoded text can be split safely.
    const QString text = cp932::decode(cp932Bytes);
    QList<QStringList> documents;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = QStringView(text).mid(start, end - start);
        if (!line.trimmed().isEmpty())
            documents.append(parseLine(line));
        if (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return documents;
}

bool ReportDataFile::read(const QString& path, QList<QStringList>& documents, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("印刷データファイルを読めません。(%1: %2)")
                    .arg(QFileInfo(path).fileName(),
                         file.exists() ? QStringLiteral("開けません") : QStringLiteral("ありません"));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("印刷データファイルを読めません。(%1: %2)")
                    .arg(QFileInfo(path).fileName(), file.errorString());
        return false;
    }
    documents = parse(bytes);
    return true;
}

} // namespace plx
