#pragma once

#include "EntryBoxes.h"

#include "core/text/FieldLimit.h"

#include "store/DeliveryRecord.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace plx {

// What the boxes of an entry window can hold. One definition for the window
// (the lengths its boxes take), the registration checks and `plx90-cli ship`:
// a value that the record cannot keep exactly is refused, never cut.

// The record field a text box is written to as typed (the box table's field of
// a box written as typed: a text or the currency). The kanji pairs write a text with a double-byte
// character to their double-byte field. Number and date boxes have none: they
// are written through their patterns, and their range checks keep them within
// the field.
struct BoxField
{
    DeliveryField field;
    std::optional<DeliveryField> kanjiField;
};
std::optional<BoxField> storedFieldOf(const EntryBoxInfo& box);

// Whether `text` fits the field(s) of the box in CP932 bytes (a text with a
// double-byte character goes to the kanji field of a pair). A box that writes
// no text field takes anything. The window stops the typing here.
bool fitsBox(EntryBox box, QStringView text);

// The box's name in a message: its caption without the colon ("品名").
QString boxNameOf(const EntryBoxInfo& box);
// What a text box holds, in the clerk's terms.
TextLimit textLimitOf(const EntryBoxInfo& box);

// The tag grid keeps "###,###,##0.000" and "#0" texts of these lengths; its
// edit box takes two characters more for the quantity (the separators the
// cell adds) and no more than the cell for the count.
inline constexpr int kTagQuantityCellLength = 15;
inline constexpr int kTagCountCellLength = 2;
int tagEditorMaxLength(int column);

// The first character of `text` that CP932 cannot hold (a surrogate pair is
// one character); empty when there is none.
QStringView firstUnwritable(QStringView text);
// The width of the field `text` goes to when its CP932 bytes exceed it; 0 when
// it fits.
int exceededWidth(const BoxField& box, QStringView text);
// Why `text` cannot be written to the box's field exactly, in the program's own
// words naming the box (the windows have no message for it): a character
// CP932 cannot hold, or more bytes than the field's width. Nothing when it can.
std::optional<QString> unstorableText(const EntryBoxInfo& box, QStringView text);
// The refusal of a control character in a box that has no other check for it.
QString controlCharacterText(const EntryBoxInfo& box, QStringView character);

// The refusal of a tag count of more digits than its cell holds.
QString tagCountTooLongText(int limit, qsizetype length);

// Whether a number has more decimals than `places` that are not zero.
bool hasMoreDecimals(QStringView number, int places);

} // namespace plx
