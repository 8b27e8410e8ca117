#include "FsName.h"

#include "FileUtil.h"

#include "text/Cp932.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plx::fsname {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at `i`, or 0 when the byte there starts none.
int utf8Length(const QByteArray& b, qsizetype i)
{
    const auto at = [&](qsizetype k) { return k < b.size() ? static_cast<unsigned char>(b[k]) : 0u; };
    const unsigned c = at(i);
    const auto cont = [&](qsizetype k) { return (at(k) & 0xC0u) == 0x80u; };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned c1 = at(i + 1);
        if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0)) // overlong, or a surrogate
            return 0;
        return cont(i + 1) && cont(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned c1 = at(i + 1);
        if ((c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90))
            return 0;
        return cont(i + 1) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    return 0;
}

bool isEscape(char16_t u)
{
    return u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF;
}

QString escapeControls(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t')
            out += QStringLiteral("\\t");
        else if (u == u'\n')
            out += QStringLiteral("\\n");
        else if (u == u'\r')
            out += QStringLiteral("\\r");
        else if (u < 0x20 || u == 0x7F)
            out +=
                QStringLiteral("\\x") + QString::number(unsigned(u), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace

QString decode(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const int n = utf8Length(bytes, i);
        if (n == 0) {
            out += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            out += QString::fromUtf8(bytes.constData() + i, n);
            i += n;
        }
    }
    return out;
}

QByteArray encode(const QString& path)
{
    QByteArray out;
    out.reserve(path.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isEscape(path[i].unicode()))
            continue;
        out += QStringView(path).mid(start, i - start).toUtf8();
        if (i < path.size())
            out += char(path[i].unicode() - kEscapeBase);
        start = i + 1;
    }
    return out;
}

QString display(const QString& path)
{
    const QByteArray bytes = encode(path);
    bool escaped = false;
    for (const QChar c : path)
        escaped = escaped || isEscape(c.unicode());
    if (!escaped)
        return escapeControls(path);
    // Whole CP932 (the desk's other systems): shown as such.
    const QString asCp932 = cp932::decode(bytes);
    if (!asCp932.contains(QChar(0xFFFD)) && cp932::encode(asCp932) == bytes)
        return escapeControls(asCp932);
    QString out;
    for (const QChar c : path) {
        if (isEscape(c.unicode()))
            out += QStringLiteral("\\x") + QString::number(unsigned(c.unicode() - kEscapeBase), 16).toUpper();
        else
            out += c;
    }
    return escapeControls(out);
}

QString displayCp932(const QString& path)
{
    const QString shown = display(path);
    QString out;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const qsizetype n = shown[i].isHighSurrogate() && i + 1 < shown.size() ? 2 : 1;
        const QStringView one = QStringView(shown).mid(i, n);
        if (one != QStringLiteral("?") && cp932::encode(one) == "?") {
            const char32_t code = n == 2 ? QChar::surrogateToUcs4(shown[i], shown[i + 1]) : shown[i].unicode();
            out += QStringLiteral("\\u{%1}").arg(QString::number(uint(code), 16).toUpper());
        } else {
            out += one;
        }
        i += n - 1;
    }
    return out;
}

QStringList list(const QString& folder)
{
    QStringList names;
    DIR* dir = ::opendir(encode(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(decode(name));
    }
    ::closedir(dir);
    return names;
}

bool statPath(const QString& path, struct stat& st)
{
    return ::stat(encode(path).constData(), &st) == 0;
}

bool isFile(const QString& path)
{
    struct stat st
    {
    };
    return statPath(path, st) && S_ISREG(st.st_mode);
}

int openRead(const QString& path, QString& why)
{
    const int fd = ::open(encode(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        why = systemError(errno);
    return fd;
}

bool renamePath(const QString& from, const QString& to, QString& why)
{
    if (::rename(encode(from).constData(), encode(to).constData()) == 0)
        return true;
    why = systemError(errno);
    return false;
}

bool moveFile(const QString& from, const QString& to, QString& why)
{
    if (::rename(encode(from).constData(), encode(to).constData()) == 0)
        return true;
    if (errno != EXDEV) {
        why = systemError(errno);
        return false;
    }
    const int in = openRead(from, why);
    if (in < 0)
        return false;
    QByteArray bytes;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::read(in, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            bytes.append(buffer, n);
    }
    const int readError = errno;
    ::close(in);
    if (n < 0) {
        why = systemError(readError);
        return false;
    }
    if (!writeWhole(to, bytes, why))
        return false;
    if (::unlink(encode(from).constData()) != 0) {
        why = systemError(errno);
        ::unlink(encode(to).constData());
        return false;
    }
    return true;
}

bool writeWhole(const QString& path, const QByteArray& bytes, QString& why)
{
    // The one way the program writes a file whole: a work file, flushed, and
    // renamed into place with the mode and group of the file it replaces.
    return fileutil::writeAtomically(path, bytes, why);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace plx::fsname
