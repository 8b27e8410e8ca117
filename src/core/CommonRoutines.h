#pragma once

#include <QString>
#include <QStringView>

namespace plx {

// Character checks on the CP932 code of each character (see cp932::sjisCode).

// Whether every character is printable ASCII (0x20-0x7E) or single-byte kana
// (0xA1-0xE9); a double-byte character makes it false.
bool isSingleByteText(QStringView text);
// Whether no character is a single-byte one.
bool isDoubleByteText(QStringView text);
// Whether the text holds a half-width blank or "*"; a full-width space does not count.
bool holdsBlankOrAsterisk(QStringView text);

// Blank handling of text (half-width blanks only): mode 1 squeezes every run of
// blanks to one, 2 trims both ends, 3 the start, 4 the end, any other mode
// removes every blank.
QString NormalizeBlanks(QStringView text, short mode);

} // namespace plx
