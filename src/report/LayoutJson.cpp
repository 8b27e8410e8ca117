#include "LayoutJson.h"

#include "core/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStringDecoder>

#include <algorithm>

namespace plx {

namespace {

QString parseErrorText(QJsonParseError::ParseError error)
{
    switch (error) {
    case QJsonParseError::UnterminatedObject:
        return QStringLiteral("'}' で閉じられていません");
    case QJsonParseError::MissingNameSeparator:
        return QStringLiteral("':' がありません");
    case QJsonParseError::UnterminatedArray:
        return QStringLiteral("']' で閉じられていません");
    case QJsonParseError::MissingValueSeparator:
        return QStringLiteral("',' がありません");
    case QJsonParseError::IllegalValue:
        return QStringLiteral("値が正しくありません");
    case QJsonParseError::TerminationByNumber:
        return QStringLiteral("数値の途中で終わっています");
    case QJsonParseError::IllegalNumber:
        return QStringLiteral("数値が正しくありません");
    case QJsonParseError::IllegalEscapeSequence:
        return QStringLiteral("\\ の使い方が正しくありません");
    case QJsonParseError::IllegalUTF8String:
        return QStringLiteral("文字コードが正しくありません");
    case QJsonParseError::UnterminatedString:
        return QStringLiteral("文字列が '\"' で閉じられていません");
    case QJsonParseError::MissingObject:
        return QStringLiteral("{ } のオブジェクトがありません");
    case QJsonParseError::DeepNesting:
        return QStringLiteral("入れ子が深すぎます");
    case QJsonParseError::DocumentTooLarge:
        return QStringLiteral("ファイルが大きすぎます");
    case QJsonParseError::GarbageAtEnd:
        return QStringLiteral("最後の '}' の後に余分な文字があります");
    case QJsonParseError::NoError:
        break;
    }
    return QStringLiteral("JSON の書き方が正しくありません");
}

// "3 行 14 文字目" for a byte offset into UTF-8 text.
QString positionText(const QByteArray& utf8, int offset)
{
    int line = 1;
    int column = 1;
    for (int i = 0; i < offset && i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte == '\n') {
            ++line;
            column = 1;
        } else if ((byte & 0xC0) != 0x80) {
            ++column;
        }
    }
    return QStringLiteral("%1 行 %2 文字目").arg(line).arg(column);
}

// The file's text as UTF-8 for the JSON parser: UTF-8 with or without a byte-order
// mark as written by an editor, or CP932 as the installation writes its files.
QByteArray asUtf8(const QByteArray& bytes)
{
    QByteArray text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8(text);
    if (!utf8.hasError())
        return text;
    return cp932::decode(text).toUtf8();
}

} // namespace

bool LayoutJson::load(const QString& path, QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (!file.exists()) {
        error = QStringLiteral("帳票定義ファイルがありません。(%1)").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("帳票定義ファイルを読めません。(%1: %2)")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    bytes = file.readAll();
    return true;
}

bool LayoutJson::parse(const QByteArray& bytes, QJsonObject& root, QString& problem)
{
    const QByteArray utf8 = asUtf8(bytes);
    if (utf8.trimmed().isEmpty()) {
        problem = QStringLiteral("ファイルが空です");
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        // Qt reports the offset just past the offending character, except for text after the end.
        const int at =
            parseError.error == QJsonParseError::GarbageAtEnd ? parseError.offset : std::max(0, parseError.offset - 1);
        problem = QStringLiteral("JSON として読めません (%1: %2)")
                      .arg(positionText(utf8, at), parseErrorText(parseError.error));
        return false;
    }
    if (!document.isObject()) {
        problem = QStringLiteral("全体を { } のオブジェクトで書いてください");
        return false;
    }
    root = document.object();
    return true;
}

QString LayoutJson::message(const QString& fileName, const QString& problem)
{
    return QStringLiteral("帳票定義ファイルの形式が正しくありません。(%1: %2)").arg(fileName, problem);
}

} // namespace plx
