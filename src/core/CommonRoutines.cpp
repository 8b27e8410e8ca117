#include "CommonRoutines.h"

#include "text/Cp932.h"

namespace plx {
namespace {

// Calls `reject` with the CP932 code of each character; true as soon as it does.
template <typename Pred> bool anyCharacter(QStringView text, Pred reject)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        if (reject(cp932::sjisCode(text.mid(i, len))))
            return true;
        i += len;
    }
    return false;
}

} // namespace

bool isSingleByteText(QStringView text)
{
    return !anyCharacter(text, [](short c) { return !(c >= 0x20 && c <= 0x7E) && !(c >= 0xA1 && c <= 0xE9); });
}

bool isDoubleByteText(QStringView text)
{
    return !anyCharacter(text, [](short c) { return c >= 0 && c <= 255; });
}

bool holdsBlankOrAsterisk(QStringView text)
{
    for (QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('*'))
            return true;
    }
    return false;
}

QString NormalizeBlanks(QStringView text, short mode)
{
    const QChar blank(QLatin1Char(' '));
    switch (mode) {
    case 1: {
        QString out;
        out.reserve(text.size());
        for (QChar c : text) {
            if (c == blank && out.endsWith(blank))
                continue;
            out += c;
        }
        return out;
    }
    case 2:
    case 3:
    case 4: {
        qsizetype begin = 0;
        qsizetype end = text.size();
        if (mode != 4)
            while (begin < end && text[begin] == blank)
                ++begin;
        if (mode != 3)
            while (end > begin && text[end - 1] == blank)
                --end;
        return text.sliced(begin, end - begin).toString();
    }
    default: {
        QString out = text.toString();
        out.remove(blank);
        return out;
    }
    }
}

} // namespace plx
