#include "FieldLimit.h"

#include "Cp932.h"

#include <QStringList>

namespace plx {

QString overLimitText(const QString& box, TextLimit limit)
{
    if (limit.fullWidth <= 0)
        return QStringLiteral("%1は半角%2文字以内で入力してください。").arg(box).arg(limit.halfWidth);
    return QStringLiteral("%1は全角%2文字（半角%3文字）以内で入力してください。")
        .arg(box)
        .arg(limit.fullWidth)
        .arg(limit.halfWidth);
}

QStringView firstUnstorable(QStringView text, bool controlsAllowed)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const QStringView c = text.mid(i, len);
        // The encoder writes "?" for a character it cannot hold.
        if ((!controlsAllowed && c[0].category() == QChar::Other_Control) || (c != u"?" && cp932::encode(c) == "?"))
            return c;
        i += len;
    }
    return {};
}

QString unstorableCharacterText(const QString& box, QStringView character, const QString& file)
{
    QStringList codes;
    for (const char32_t c : character.toUcs4())
        codes << QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    const QString code = codes.join(QLatin1Char(' '));
    if (character.size() == 1 && character[0].category() == QChar::Other_Control)
        return QStringLiteral("%1の制御文字 (%2) は%3に書けない文字です。").arg(box, code, file);
    return QStringLiteral("%1の「%2」(%3) は%4に書けない文字です。").arg(box, character.toString(), code, file);
}

} // namespace plx
