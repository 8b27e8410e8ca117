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

const QString kDataFile = QStringLiteral("納品書ファイル");

} // namespace

std::optional<BoxField> storedFieldOf(const EntryBoxInfo& box)
{
    if (!box.writtenAsTyped())
        return std::nullopt;
    return BoxField{*box.field, box.kanjiField};
}

bool fitsBox(EntryBox box, QStringView text)
{
    const std::optional<BoxField> field = storedFieldOf(entryBox(box));
    return !field || exceededWidth(*field, text) == 0;
}

QString boxNameOf(const EntryBoxInfo& box)
{
    QString name = box.caption ? QString::fromUtf16(box.caption) : box.name();
    name.remove(QLatin1Char(' '));
    if (name.endsWith(u'：'))
        name.chop(1);
    return name;
}

TextLimit textLimitOf(const EntryBoxInfo& box)
{
    const int half = box.field ? widthOf(*box.field) : 0;
    if (box.kanji == KanjiRule::None)
        return {half, 0};
    // A kanji pair's double-byte text goes to its own field.
    return {half, (box.kanjiField ? widthOf(*box.kanjiField) : half) / 2};
}

int tagEditorMaxLength(int column)
{
    return column == 1 ? kTagQuantityCellLength + 2 : kTagCountCellLength;
}

QStringView firstUnwritable(QStringView text)
{
    return firstUnstorable(text, true);
}

int exceededWidth(const BoxField& box, QStringView text)
{
    const qsizetype bytes = cp932::byteLength(text);
    const bool kanji = box.kanjiField && bytes > text.size();
    const int width = widthOf(kanji ? *box.kanjiField : box.field);
    return bytes > width ? width : 0;
}

std::optional<QString> unstorableText(const EntryBoxInfo& box, QStringView text)
{
    if (const QStringView c = firstUnwritable(text); !c.isEmpty())
        return unstorableCharacterText(boxNameOf(box), c, kDataFile);
    if (box.field && exceededWidth(BoxField{*box.field, box.kanjiField}, text))
        return overLimitText(boxNameOf(box), textLimitOf(box));
    return std::nullopt;
}

QString controlCharacterText(const EntryBoxInfo& box, QStringView character)
{
    return unstorableCharacterText(boxNameOf(box), character, kDataFile);
}

QString tagCountTooLongText(int limit, qsizetype length)
{
    return QStringLiteral("荷札枚数は%1桁までです。（%2桁）").arg(limit).arg(length);
}

bool hasMoreDecimals(QStringView number, int places)
{
    const std::optional<Decimal> value = boxNumber(number);
    return value && value->scale() > places && value->rescaled(places, Rounding::TowardZero) != *value;
}

} // namespace plx
