#pragma once

#include <QStringView>

namespace plx {

// The text without its leading and trailing half-width blanks (other white
// space stays), as numbers are read from fixed fields and typed boxes.
inline QStringView trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

} // namespace plx
