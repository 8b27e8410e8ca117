// Painting into images at printer resolution: text stays inside its box, barcodes
// shrink to fit and still scan, values are formatted as the layout asks.

#include "ReportFixtures.h"

#include "report/Code39Symbol.h"
#include "report/ReportPainter.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plx {
namespace {

constexpr double kDotsPerMm = 300 / 25.4;
const QString kLongName = QStringLiteral("株式会社東和電機製作所　横浜事業所　第二工場　資材受入課　検査係");

QImage blankImage(double widthMm, double heightMm)
{
    QImage image(int(widthMm * kDotsPerMm), int(heightMm * kDotsPerMm), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(kDotsPerMm * 1000));
    image.setDotsPerMeterY(qRound(kDotsPerMm * 1000));
    image.fill(Qt::white);
    return image;
}

// The bounding rectangle of everything dark, in millimetres; null when the image is blank.
QRectF inkMm(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(row[x]) < 160)
                ink |= QRect(x, y, 1, 1);
        }
    }
    if (ink.isNull())
        return QRectF();
    return QRectF(ink.x() / kDotsPerMm, ink.y() / kDotsPerMm, ink.width() / kDotsPerMm, ink.height() / kDotsPerMm);
}

bool inside(const QRectF& ink, const QRectF& box)
{
    return box.adjusted(-0.1, -0.1, 0.1, 0.1).contains(ink); // anti-aliased edges
}

// A sheet of one 100 x 60 mm slot holding `item`, painted for `values`.
QImage paint(const LayoutItem& item, const QStringList& values)
{
    ReportLayout layout;
    layout.slotSize = QSizeF(100, 60);
    layout.slotOrigins = {QPointF(0, 0)};
    layout.items = {item};
    QImage image = blankImage(100, 60);
    QPainter painter(&image);
    ReportPainter(painter, layout).paintDocument(0, values);
    return image;
}

LayoutItem field(const QRectF& rect, double size, bool wrap = false)
{
    LayoutItem item;
    item.kind = LayoutItem::Kind::Field;
    item.rect = rect;
    item.column = 1;
    item.fontSize = size;
    item.wrap = wrap;
    return item;
}

LayoutItem barcode(const QRectF& rect, double module, double minModule)
{
    LayoutItem item;
    item.kind = LayoutItem::Kind::Barcode;
    item.rect = rect;
    item.column = 1;
    item.textColumn = 2;
    item.moduleWidth = module;
    item.minModuleWidth = minModule;
    return item;
}

TEST(ReportPainterTest, TextNeverLeavesItsBox)
{
    const QRectF box(10, 10, 40, 5);
    EXPECT_LT(inkMm(paint(field(box, 9), {QStringLiteral("ABC")})).width(), 10) << "a short text keeps its size";
    const QRectF shrunk = inkMm(paint(field(box, 9), {kLongName}));
    EXPECT_TRUE(inside(shrunk, box)) << shrunk.x() << "+" << shrunk.width();
    EXPECT_GT(shrunk.width(), 30) << "and a long one still fills the box";

    const QRectF tiny(10, 10, 12, 3);
    EXPECT_TRUE(inside(inkMm(paint(field(tiny, 9), {kLongName + kLongName})), tiny)) << "cut, not spilled";
    const QRectF tall(10, 10, 40, 12);
    const QRectF wrapped = inkMm(paint(field(tall, 9, true), {kLongName}));
    EXPECT_TRUE(inside(wrapped, tall));
    EXPECT_GT(wrapped.height(), 6) << "a wrapping field uses more than one line";
}

TEST(ReportPainterTest, FieldFormats)
{
    const auto format = [](const char* value, FieldFormat f) { return ReportPainter::formatValue(value, f); };
    EXPECT_EQ(format("ABC  　 ", FieldFormat::Trim), QStringLiteral("ABC"));
    EXPECT_EQ(format(" ABC ", FieldFormat::Trim), QStringLiteral(" ABC"));
    EXPECT_EQ(format("3/7    ", FieldFormat::Raw), QStringLiteral("3/7    "));
    EXPECT_EQ(format("1234567.125", FieldFormat::Number), QStringLiteral("1,234,567.125"));
    EXPECT_EQ(format("-1000", FieldFormat::Number), QStringLiteral("-1,000"));
    EXPECT_EQ(format("999 ", FieldFormat::Number), QStringLiteral("999"));
    EXPECT_EQ(format("12A4", FieldFormat::Number), QStringLiteral("12A4"));

    LayoutItem item = field(QRectF(0, 0, 10, 5), 9);
    item.column = 3;
    EXPECT_EQ(ReportPainter::fieldText(item, {"a", "b", "c  "}), QStringLiteral("c"));
    EXPECT_EQ(ReportPainter::fieldText(item, {"a"}), QString()) << "an absent column prints empty";
}

TEST(ReportPainterTest, Code39SymbolsComeFromLibzintWithoutCheckCharacter)
{
    Code39Symbol symbol;
    ASSERT_TRUE(symbol.encode(QStringLiteral("ABC")));
    EXPECT_EQ(symbol.modules(), 5 * 13 - 1) << "start, three characters, stop; 13 modules each less the last gap";
    EXPECT_EQ(symbol.bars().size(), 5 * 5);
    EXPECT_TRUE(symbol.encode(QStringLiteral("3N4RC0603 500 -.$/+%")));
    // Small letters would come out as capitals: refused, like everything outside the alphabet.
    for (const QString& refused : {QString(), QStringLiteral("abc"), QStringLiteral("A*B"), QStringLiteral("部品")}) {
        EXPECT_FALSE(symbol.encode(refused)) << refused.toStdString();
        EXPECT_TRUE(symbol.isEmpty());
    }
}

TEST(ReportPainterTest, LongBarcodeShrinksIntoItsBoxAndStillScans)
{
    if (!test::haveTools({QStringLiteral("zbarimg")}))
        GTEST_SKIP() << "zbar-tools missing";
    const QString data = QStringLiteral("3N31028512612070001 2500 ");
    const QRectF box(5, 10, 70, 9); // 370 modules with the quiet zones: 0.3 mm would need 111 mm
    const QImage image = paint(barcode(box, 0.3, 0.15), {data, QStringLiteral("(3N)3") + data.mid(3)});
    const QRectF ink = inkMm(image);
    EXPECT_TRUE(inside(QRectF(ink.x(), box.y(), ink.width(), box.height()), box)) << ink.x() << "+" << ink.width();

    QTemporaryDir dir;
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("bars.png"))));
    EXPECT_EQ(test::scanBarcodes(dir.filePath(QStringLiteral("bars.png"))), QStringList{data});
}

TEST(ReportPainterTest, BarcodeTooLongEvenAtTheSmallestModuleIsCutAtTheSlot)
{
    const QRectF box(5, 10, 40, 9);
    const QRectF ink = inkMm(paint(barcode(box, 0.3, 0.25), {"3N5ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"}));
    EXPECT_GT(ink.right(), box.right() + 10) << "printed anyway, beyond its box";
    EXPECT_LE(ink.right(), 100.0) << "but never beyond the slot";
}

TEST(ReportPainterTest, EmptyOrUnencodableDataPrintsNoSymbolButTheReadableLine)
{
    const QRectF box(5, 10, 80, 9);
    for (const char* data : {"", "     ", "lower"}) {
        const QRectF ink = inkMm(paint(barcode(box, 0.3, 0.2), {data, "(Z)"}));
        ASSERT_FALSE(ink.isNull()) << "the readable line is printed";
        EXPECT_GT(ink.top(), box.bottom()) << "no bars for \"" << data << "\"";
    }
    EXPECT_TRUE(inkMm(paint(barcode(box, 0.3, 0.2), {})).isNull()) << "a short data line prints nothing";
}

} // namespace
} // namespace plx
