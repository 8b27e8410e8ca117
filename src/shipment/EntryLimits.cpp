#include "EntryLimits.h"

#include "EntryBoxes.h"
#include "EntryFormats.h"

#include "core/text/Cp932.h"

#include <algorithm>

namespace plx {

namespace {

int widthOf(DeliveryField f)
{
    return DeliveryRecord::field(f).width;
}

// The characters of a text, a surrogate pair taken as one.
template <typename Visit> bool anyCharacter(QStringView text, Visit visit)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        if (visit(text.mid(i, len)))
            return true;
        i += len;
    }
    return false;
}

// The encoder writes "?" for a character it cannot hold.
bool isWritable(QStringView character)
{
    return character == u"?" || cp932::encode(character) != "?";
}

} // namespace

std::optional<BoxField> storedFieldOf(const QString& control, Protocol format)
{
    const EntryBoxInfo* box = boxNamed(control, format);
    if (!box || box->value != BoxValue::Text || !box->field)
        return std::nullopt;
    return BoxField{*box->field, box->kanjiField};
}

int maxLengthOf(const QString& control, Protocol format)
{
    const std::optional<BoxField> box = storedFieldOf(control, format);
    if (!box)
        return 0;
    return std::max(widthOf(box->field), box->kanjiField ? widthOf(*box->kanjiField) : 0);
}

int tagEditorMaxLength(int column)
{
    return column == 1 ? kTagQuantityCellLength + 2 : kTagCountCellLength;
}

QStringView firstUnwritable(QStringView text)
{
    QStringView found;
    anyCharacter(text, [&](QStringView c) {
        if (isWritable(c))
            return false;
        found = c;
        return true;
    });
    return found;
}

int exceededWidth(const BoxField& box, QStringView text)
{
    const qsizetype bytes = cp932::byteLength(text);
    const bool kanji = box.kanjiField && bytes > text.size();
    const int width = widthOf(kanji ? *box.kanjiField : box.field);
    return bytes > width ? width : 0;
}

std::optional<QString> unstorableText(const BoxField& box, QStringView text)
{
    if (const QStringView c = firstUnwritable(text); !c.isEmpty())
        return unwritableCharacterText(c);
    if (const int width = exceededWidth(box, text))
        return tooLongText(width, cp932::byteLength(text));
    return std::nullopt;
}

QString tooLongText(int limit, qsizetype length)
{
    return QStringLiteral("%1バイトを超えるため登録できません。（%2バイト）").arg(limit).arg(length);
}

QString tagCountTooLongText(int limit, qsizetype length)
{
    return QStringLiteral("荷札枚数は%1桁までです。（%2桁）").arg(limit).arg(length);
}

QString unwritableCharacterText(QStringView character)
{
    QStringList codes;
    for (const char32_t c : character.toUcs4())
        codes << QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("「%1」(%2) は納品書ファイルに書けない文字です。")
        .arg(character.toString(), codes.join(QLatin1Char(' ')));
}

int decimalsOf(const QString& control, Protocol format, bool foreign)
{
    const EntryBoxInfo* box = boxNamed(control, format);
    return box ? box->decimals(foreign) : -1;
}

bool hasMoreDecimals(QStringView number, int places)
{
    const std::optional<Decimal> value = boxNumber(number);
    return value && value->scale() > places && value->rescaled(places, Rounding::TowardZero) != *value;
}

} // namespace plx
