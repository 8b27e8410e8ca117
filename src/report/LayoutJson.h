#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace plx {

// The first steps of reading a layout file ("*.agr"), which need QtCore only: the
// file's bytes, and its text (UTF-8, with or without a byte-order mark, or CP932) as
// a JSON object. LayoutReader checks the object; slotsPerSheet() only counts its slots.
class LayoutJson
{
public:
    // Reads the file at `path`. Returns false with a Japanese `error` naming the file
    // when it is missing or cannot be read.
    static bool load(const QString& path, QByteArray& bytes, QString& error);

    // The contents as a JSON object. Returns false with `problem` saying what is wrong
    // and where ("JSON として読めません (12 行 5 文字目: ',' がありません)").
    static bool parse(const QByteArray& bytes, QJsonObject& root, QString& problem);

    // The refusal of the file `fileName` for `problem`:
    // "帳票定義ファイルの形式が正しくありません。(E_Tag.agr: …)".
    static QString message(const QString& fileName, const QString& problem);
};

} // namespace plx
