#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace plx {

// A field of a fixed-width record: a byte offset (0-based) and a width in bytes.
struct FixedField
{
    int offset;
    int width;
};

namespace fixed {

// The field's bytes decoded from CP932, trailing blanks kept.
QString read(const QByteArray& record, FixedField field);
// The field's raw bytes.
QByteArray bytes(const QByteArray& record, FixedField field);

// `text` in CP932, left-aligned, cut at `width` bytes and blank-padded to it. A
// double-byte character that would be split by the cut is dropped whole and its
// first byte becomes a blank, so the field never ends in half a character.
QByteArray fit(QStringView text, int width);
// The same rule for bytes that are already CP932.
QByteArray fitBytes(QByteArray bytes, int width);

// Writes `text` into the record's field with the rule of fit().
void write(QByteArray& record, FixedField field, QStringView text);

// The byte buffer with trailing blanks (0x20) removed.
QByteArray trimmedRight(QByteArray bytes);
// The text with trailing half-width blanks removed (other white space stays).
QString trimmedRight(QString text);

} // namespace fixed
} // namespace plx
