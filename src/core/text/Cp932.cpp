#include "Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace plx::cp932 {
namespace {

constexpr const char* kCodecName = "windows-31j";

bool isAscii(const char* data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// A fresh converter for every call: the error flag of a converter stays set
// once raised, even across resetState(). Opening one costs well under a
// microsecond.
QByteArray encodeChecked(QStringView text, bool& failed)
{
    QStringEncoder enc(kCodecName, QStringConverter::Flag::Stateless);
    QByteArray out = enc.encode(text);
    failed = enc.hasError();
    return out;
}

// True when the last byte is the lead byte of a character cut off by the end.
bool endsInHalfCharacter(const char* data, qsizetype size)
{
    qsizetype i = 0;
    while (i < size) {
        if (isLeadByte(static_cast<unsigned char>(data[i]))) {
            if (i + 1 >= size)
                return true;
            i += 2;
        } else {
            ++i;
        }
    }
    return false;
}

// One character's bytes alone; nothing when the codec refuses them.
std::optional<QString> decodeOne(const char* data, qsizetype size)
{
    QStringDecoder dec(kCodecName, QStringConverter::Flag::Stateless);
    QString out = dec.decode(QByteArrayView(data, size));
    if (dec.hasError() || out.isEmpty())
        return std::nullopt;
    return out;
}

bool isTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

} // namespace

QByteArray encode(QStringView text)
{
    if (isAscii(text))
        return text.toLatin1();
    bool failed = false;
    QByteArray whole = encodeChecked(text, failed);
    if (!failed)
        return whole;
    // Slow path: encode character by character so that each unrepresentable
    // character becomes exactly one "?".
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const QStringView ch = text.mid(i, len);
        bool chFailed = false;
        QByteArray bytes = len == 1 && ch[0].unicode() < 0x80 ? ch.toLatin1() : encodeChecked(ch, chFailed);
        out += (chFailed || bytes.isEmpty()) ? QByteArray("?") : bytes;
        i += len;
    }
    return out;
}

QString decode(const char* data, qsizetype size)
{
    if (isAscii(data, size))
        return QString::fromLatin1(data, size);
    {
        QStringDecoder dec(kCodecName, QStringConverter::Flag::Stateless);
        QString out = dec.decode(QByteArrayView(data, size));
        if (!dec.hasError() && !endsInHalfCharacter(data, size))
            return out;
    }
    // Slow path: character by character, so that each invalid sequence becomes
    // exactly one U+FFFD and a real 0x1A byte stays what it is.
    QString out;
    out.reserve(size);
    const QChar invalid(0xFFFD);
    for (qsizetype i = 0; i < size;) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte < 0x80) {
            out += QLatin1Char(char(byte));
            ++i;
            continue;
        }
        if (isLeadByte(byte)) {
            if (i + 1 >= size) {
                out += invalid;
                break;
            }
            const bool pair = isTrailByte(static_cast<unsigned char>(data[i + 1]));
            const std::optional<QString> ch = pair ? decodeOne(data + i, 2) : std::nullopt;
            out += ch.value_or(QString(invalid));
            // A lead byte before a byte that cannot follow it is invalid alone.
            i += pair ? 2 : 1;
            continue;
        }
        out += decodeOne(data + i, 1).value_or(QString(invalid));
        ++i;
    }
    return out;
}

bool holds(QStringView text)
{
    if (isAscii(text))
        return true;
    bool failed = false;
    const QByteArray bytes = encodeChecked(text, failed);
    // A character the code page only maps one way would be read back as
    // another: it is not held either.
    return !failed && decode(bytes) == text;
}

short sjisCode(QStringView oneCharacter)
{
    const QByteArray bytes = encode(oneCharacter);
    if (bytes.isEmpty())
        return 0;
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1)
        return static_cast<short>(b0);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    return static_cast<short>(static_cast<unsigned short>((b0 << 8) | b1));
}

qsizetype byteLength(QStringView text)
{
    return isAscii(text) ? text.size() : encode(text).size();
}

} // namespace plx::cp932
