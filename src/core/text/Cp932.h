#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace plx::cp932 {

// Every file of the program is CP932 (Microsoft's Shift-JIS, ICU "windows-31j":
// 0x5C is the backslash, not the yen sign).

// Unicode -> CP932. A character that CP932 cannot represent becomes "?" (0x3F),
// one question mark per character (a surrogate pair counts as one character).
QByteArray encode(QStringView text);

// CP932 -> Unicode. Each sequence of bytes that is not valid CP932 (a byte no
// character starts with, a lead byte without its second byte, a pair the code
// page leaves unassigned) decodes to one U+FFFD, which no valid CP932 character
// decodes to; decoding never fails.
QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}

// True when CP932 holds every character of `text`: encode() changes none to "?"
// and its bytes decode to the same text again.
bool holds(QStringView text);

// True when `byte` starts a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The character's code as the system sees it: the CP932 code taken as a signed
// 16-bit value. 0..255 for single-byte characters, negative for double-byte ones,
// 0x3F for a character CP932 cannot represent.
short sjisCode(QStringView oneCharacter);

// Number of bytes of `text` in CP932.
qsizetype byteLength(QStringView text);

} // namespace plx::cp932
