#include "EntryLimits.h"

#include "EntryFormats.h"

#include "core/text/Cp932.h"

#include <algorithm>

namespace plx {

namespace {

using F = DeliveryField;

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
    const bool eiaj = format == Protocol::Eiaj;
    if (control == QLatin1String("Combo5"))
        return eiaj ? std::optional(BoxField{F::Currency, {}}) : std::nullopt;
    if (!control.startsWith(QLatin1String("Text")))
        return std::nullopt;
    switch (control.mid(4).toInt()) {
    case 3:
        return BoxField{F::OrdererCode, {}};
    case 6:
        return BoxField{F::SupplierCode, {}};
    case 7:
        return BoxField{F::DeliveryKeyNo, {}};
    case 8:
        return BoxField{F::OrderNo, {}};
    case 9:
        return BoxField{F::ItemCode, {}};
    case 10:
        return BoxField{F::ItemName, F::ItemNameKanji};
    case 11:
        return BoxField{F::Unit, {}};
    case 12:
        return BoxField{F::BuyerName, F::BuyerNameKanji};
    case 13:
        return BoxField{F::DeliveryPlace, F::DeliveryPlaceKanji};
    case 14:
        return eiaj ? std::optional(BoxField{F::OrdererBarcodeInfo, {}}) : std::nullopt;
    case 15:
        return BoxField{F::OrdererRemarks, F::OrdererRemarksKanji};
    case 22:
        return eiaj ? std::nullopt : std::optional(BoxField{F::OrdererUse1, {}});
    case 23:
        return eiaj ? std::nullopt : std::optional(BoxField{F::OrdererUse2, {}});
    case 24:
        return eiaj ? std::nullopt : std::optional(BoxField{F::OrdererUse3, {}});
    case 27:
        return BoxField{F::SupplierBarcodeInfo, {}};
    case 28:
        return BoxField{F::SupplierRemarks, F::SupplierRemarksKanji};
    default:
        return std::nullopt;
    }
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
    if (!control.startsWith(QLatin1String("Text")))
        return -1;
    switch (control.mid(4).toInt()) {
    case 16:
    case 17:
    case 19:
        return 3;
    case 22:
        return format == Protocol::Eiaj ? (foreign ? 5 : 3) : -1;
    case 23:
    case 24:
    case 25:
        return format == Protocol::Eiaj ? (foreign ? 3 : 0) : -1;
    default:
        return -1;
    }
}

bool hasMoreDecimals(QStringView number, int places)
{
    const std::optional<Decimal> value = boxNumber(number);
    return value && value->scale() > places && value->rescaled(places, Rounding::TowardZero) != *value;
}

} // namespace plx
