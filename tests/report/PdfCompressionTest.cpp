// Deflate streams started at zlib's default level run at its fastest level while the
// engine writes a PDF, and exactly as before anywhere else.

#include "report/PdfCompression.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>
#include <zlib.h>

namespace plx {
namespace {

// Drawing operations like those of a page: a few hundred bars of a barcode.
QByteArray pageLikeContent()
{
    QByteArray content;
    for (int i = 0; i < 400; ++i)
        content += QByteArray::number(2351 + 21 * i + (i * 7) % 13) + " 130 " + QByteArray::number(i % 3 ? 6 : 15) +
                   " 189 re\n";
    return content;
}

// `input` deflated the way Qt's PDF writer does it: deflateInit() at `level`.
QByteArray deflated(const QByteArray& input, int level)
{
    z_stream stream{};
    EXPECT_EQ(deflateInit(&stream, level), Z_OK);
    QByteArray output(int(deflateBound(&stream, uLong(input.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.constData()));
    stream.avail_in = uInt(input.size());
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = uInt(output.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    output.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return output;
}

QByteArray compressedAt(const QByteArray& input, int level)
{
    uLongf size = compressBound(uLong(input.size()));
    QByteArray output(qsizetype(size), '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(output.data()), &size,
                        reinterpret_cast<const Bytef*>(input.constData()), uLong(input.size()), level),
              Z_OK);
    output.resize(qsizetype(size));
    return output;
}

TEST(PdfCompressionTest, DefaultLevelIsTheFastestOnlyInsideTheScope)
{
    const QByteArray content = pageLikeContent();
    const QByteArray fastest = compressedAt(content, Z_BEST_SPEED);
    const QByteArray usual = compressedAt(content, 6); // zlib's default level
    ASSERT_NE(fastest, usual) << "the sample must tell the levels apart";

    EXPECT_FALSE(FastPdfCompression::active());
    EXPECT_EQ(deflated(content, Z_DEFAULT_COMPRESSION), usual);
    {
        const FastPdfCompression scope;
        EXPECT_TRUE(FastPdfCompression::active());
        EXPECT_EQ(deflated(content, Z_DEFAULT_COMPRESSION), fastest);
        EXPECT_EQ(deflated(content, Z_BEST_COMPRESSION), compressedAt(content, Z_BEST_COMPRESSION))
            << "a level asked for is kept";
        {
            const FastPdfCompression nested;
        }
        EXPECT_TRUE(FastPdfCompression::active()) << "a nested scope leaves the outer one on";
    }
    EXPECT_FALSE(FastPdfCompression::active());
    EXPECT_EQ(deflated(content, Z_DEFAULT_COMPRESSION), usual);
}

TEST(PdfCompressionTest, FastStreamsInflateToTheirContent)
{
    const QByteArray content = pageLikeContent();
    QByteArray packed;
    {
        const FastPdfCompression scope;
        packed = deflated(content, Z_DEFAULT_COMPRESSION);
    }
    QByteArray unpacked(content.size() + 16, '\0');
    uLongf size = uLongf(unpacked.size());
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(unpacked.data()), &size,
                         reinterpret_cast<const Bytef*>(packed.constData()), uLong(packed.size())),
              Z_OK);
    unpacked.resize(qsizetype(size));
    EXPECT_EQ(unpacked, content);
}

// A PDF of pages of drawing, written by Qt's PDF writer itself.
QByteArray qtPdf()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("test"));
        QPainter painter(&writer);
        for (int page = 0; page < 3; ++page) {
            if (page > 0)
                writer.newPage();
            for (int i = 0; i < 400; ++i)
                painter.fillRect(QRect(30 + 21 * i % 900, 40 + (i * 37) % 1200, 6 + i % 3, 180), Qt::black);
        }
    }
    return buffer.data();
}

TEST(PdfCompressionTest, QtsPdfWriterGoesThroughTheFastLevel)
{
    // The same pages, written outside and inside a scope: Qt's writer deflates
    // them through the program's deflateInit_, at the fastest level inside (a
    // larger file), at the default level outside (the same file each time).
    const QByteArray usual = qtPdf();
    QByteArray fast;
    {
        const FastPdfCompression scope;
        fast = qtPdf();
    }
    EXPECT_EQ(qtPdf().size(), usual.size());
    EXPECT_GT(fast.size(), usual.size()) << "Qt's PDF writer did not go through the fast level";
    EXPECT_TRUE(fast.startsWith("%PDF-"));
}

} // namespace
} // namespace plx
