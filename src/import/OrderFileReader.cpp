#include "OrderFileReader.h"

#include "core/FsName.h"
#include "core/text/Cp932.h"

#include <unistd.h>

namespace plx {

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;

} // namespace

bool OrderFileReader::open(const QString& path)
{
    m_file.close();
    m_block.clear();
    m_at = 0;
    m_pendingCr = false;
    m_failed = false;
    // By the file's exact name: an order file's name need not be UTF-8.
    QString why;
    const int fd = fsname::openRead(path, why);
    if (fd < 0) {
        m_openError = why;
        return false;
    }
    m_openError.clear();
    if (!m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_openError = m_file.errorString();
        return false;
    }
    return true;
}

bool OrderFileReader::fill()
{
    m_block.resize(kBlockBytes);
    const qint64 read = m_file.read(m_block.data(), kBlockBytes);
    if (read < 0)
        m_failed = true;
    m_block.resize(read > 0 ? read : 0);
    m_at = 0;
    return read > 0;
}

OrderFileReader::Result OrderFileReader::next(QString& line)
{
    QByteArray bytes;
    bool any = false; // a character or a line end was read for this line
    for (;;) {
        if (m_at >= m_block.size() && !fill()) {
            if (m_failed)
                return Result::Failed;
            if (!any)
                return Result::End;
            break;
        }
        if (m_pendingCr) {
            m_pendingCr = false;
            if (m_block[m_at] == '\n') {
                ++m_at;
                continue;
            }
        }
        const char* start = m_block.constData() + m_at;
        const qsizetype left = m_block.size() - m_at;
        qsizetype n = 0;
        while (n < left && start[n] != '\r' && start[n] != '\n')
            ++n;
        if (bytes.size() + n > kMaxLineBytes)
            return Result::TooLong;
        bytes.append(start, n);
        m_at += n;
        any = true;
        if (n < left) {
            m_pendingCr = start[n] == '\r';
            ++m_at;
            break;
        }
    }
    line = cp932::decode(bytes);
    return Result::Line;
}

} // namespace plx
