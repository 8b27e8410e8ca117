#pragma once

#include <QString>
#include <QStringView>

namespace plx {

// Character checks on the CP932 code of each character (see cp932::sjisCode).
// Each returns -1 when the text holds a character it rejects, 0 otherwise.

// Rejects anything outside printable ASCII (0x20-0x7E) and the single-byte kana
// range (0xA1-0xE9); every double-byte character is rejected.
short CheckSingleByte(QStringView text);
// Rejects any single-byte character.
short CheckDoubleByte(QStringView text);
// Rejects a half-width blank or "*"; a full-width space passes.
short CheckBlankAsterisk(QStringView text);

// Blank handling of text (half-width blanks only): mode 1 squeezes every run of
// blanks to one, 2 trims both ends, 3 the start, 4 the end, any other mode
// removes every blank.
QString NormalizeBlanks(QStringView text, short mode);

} // namespace plx
