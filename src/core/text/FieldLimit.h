#pragma once

#include <QString>
#include <QStringView>

namespace plx {

// What a text field of a fixed-width CP932 file holds, in the clerk's terms:
// half-width characters (one byte each) and full-width characters (two).
struct TextLimit
{
    int halfWidth = 0; // single-byte characters the field holds
    int fullWidth = 0; // double-byte characters it holds; 0 when it takes single-byte text only
};

// The refusal of a text longer than its field, naming the box:
// "発注者名称は全角25文字（半角50文字）以内で入力してください。", or for a field of
// single-byte text "発注者コードは半角12文字以内で入力してください。".
QString overLimitText(const QString& box, TextLimit limit);

// The first character of `text` that a CP932 file cannot hold as typed: a
// character outside CP932 (a surrogate pair is one character) and, unless
// `controlsAllowed`, a control character (the desk's other systems read the
// files by lines). Empty when there is none.
QStringView firstUnstorable(QStringView text, bool controlsAllowed = false);

// The refusal of such a character, naming the box and the file:
// "品名の「é」(U+00E9) は納品書ファイルに書けない文字です。"; a control character
// is named by its code alone.
QString unstorableCharacterText(const QString& box, QStringView character, const QString& file);

} // namespace plx
