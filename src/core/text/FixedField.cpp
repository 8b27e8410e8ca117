#include "FixedField.h"

#include "Cp932.h"

#include <cstring>

namespace plx::fixed {

QString read(const QByteArray& record, FixedField field)
{
    return cp932::decode(record.constData() + field.offset, field.width);
}

QByteArray bytes(const QByteArray& record, FixedField field)
{
    return record.mid(field.offset, field.width);
}

QByteArray fitBytes(QByteArray bytes, int width)
{
    if (bytes.size() > width) {
        // Walk the characters so a double-byte character is never cut in half.
        int keep = 0;
        while (keep < width) {
            const int len = cp932::isLeadByte(static_cast<unsigned char>(bytes[keep])) ? 2 : 1;
            if (keep + len > width)
                break;
            keep += len;
        }
        bytes.truncate(keep);
    }
    if (bytes.size() < width)
        bytes.append(width - bytes.size(), ' ');
    return bytes;
}

QByteArray fit(QStringView text, int width)
{
    return fitBytes(cp932::encode(text), width);
}

void write(QByteArray& record, FixedField field, QStringView text)
{
    const QByteArray value = fit(text, field.width);
    std::memcpy(record.data() + field.offset, value.constData(), field.width);
}

QByteArray trimmedRight(QByteArray bytes)
{
    qsizetype n = bytes.size();
    while (n > 0 && bytes[n - 1] == ' ')
        --n;
    bytes.truncate(n);
    return bytes;
}

QString trimmedRight(QString text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    text.truncate(n);
    return text;
}

} // namespace plx::fixed
