// Painting into images at printer resolution: text stays inside its box, barcodes
// shrink to fit and still scan, values are formatted as the layout asks.

#include "ReportFixtures.h"

#include "report/BarcodeFit.h"
#include "report/Code39Symbol.h"
#include "report/ReportPainter.h"
#include "report/TextFit.h"

#include <QImage>
#include <QPainter>
#include <QPair>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zint.h>

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

// A sheet of one 100 x 60 mm slot holding `item`, painted for `values`; `problem`
// gets what the painter reports when it leaves something out.
QImage paint(const LayoutItem& item, const QStringList& values, QString* problem = nullptr)
{
    ReportLayout layout;
    layout.slotSize = QSizeF(100, 60);
    layout.slotOrigins = {QPointF(0, 0)};
    layout.items = {item};
    QImage image = blankImage(100, 60);
    QPainter painter(&image);
    ReportPainter report(painter, layout);
    const bool whole = report.paintDocument(0, values);
    EXPECT_EQ(whole, report.problem().isEmpty());
    if (problem)
        *problem = report.problem();
    return image;
}

// The widths in dots of the dark runs and of the light runs between them along row `y`.
QPair<QSet<int>, QSet<int>> runWidths(const QImage& image, int y)
{
    QList<QPair<bool, int>> runs; // dark?, width
    for (int x = 0; x < image.width(); ++x) {
        const bool dark = qGray(image.pixel(x, y)) < 128;
        if (runs.isEmpty() || runs.last().first != dark)
            runs.append({dark, 0});
        ++runs.last().second;
    }
    QSet<int> dark, light;
    for (qsizetype i = 1; i + 1 < runs.size(); ++i) // the margins at either end left out
        (runs[i].first ? dark : light).insert(runs[i].second);
    return {dark, light};
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

// What QPainter::drawText() paints for a fitted text at the top left of `box`: the
// painter keeps shaped glyphs and must paint exactly that.
QImage drawnText(const QString& text, const LayoutItem& item, const QRectF& box)
{
    QImage image = blankImage(100, 60);
    const QRectF boxDots(box.x() * kDotsPerMm, box.y() * kDotsPerMm, box.width() * kDotsPerMm,
                         box.height() * kDotsPerMm);
    const FittedText fitted = FittedText::fit(text, item, ReportLayout().fontFamily, boxDots.size(), &image);
    EXPECT_EQ(fitted.lines.size(), 1);
    EXPECT_FALSE(fitted.clipped);
    QPainter painter(&image);
    painter.setFont(fitted.font);
    painter.setPen(Qt::black);
    painter.translate(boxDots.left(), boxDots.top() + fitted.ascent);
    painter.scale(fitted.condense, 1.0);
    painter.drawText(QPointF(0, 0), text);
    return image;
}

TEST(ReportPainterTest, KeptGlyphsPaintWhatDrawTextPaints)
{
    // Kanji, kana, Latin, digits, full-width and Greek letters: several scripts in one line.
    const QString text = QStringLiteral("株式会社ABC-123　チップ抵抗１０ｋΩ 9,999");
    LayoutItem item = field(QRectF(5, 10, 90, 8), 9);
    item.vAlign = Qt::AlignTop;
    const QImage painted = paint(item, {text});
    EXPECT_FALSE(inkMm(painted).isNull());
    EXPECT_EQ(painted, drawnText(text, item, item.rect)) << "at the item's size";

    LayoutItem narrow = field(QRectF(5, 10, 40, 8), 9);
    narrow.vAlign = Qt::AlignTop;
    narrow.minFontSize = 9; // no smaller size: the text is narrowed
    const QImage condensed = paint(narrow, {text});
    EXPECT_EQ(condensed, drawnText(text, narrow, narrow.rect)) << "narrowed";
    EXPECT_NE(condensed, painted);
}

TEST(ReportPainterTest, SecondDocumentFromTheKeptFitsLooksLikeTheFirst)
{
    // Two slots exactly 300 dots apart: the second document's texts and symbol come
    // from what the first one kept.
    ReportLayout layout;
    layout.slotSize = QSizeF(100, 25.4);
    layout.slotOrigins = {QPointF(0, 0), QPointF(0, 25.4)};
    LayoutItem name = field(QRectF(5, 2, 60, 5), 10.5);
    name.bold = true;
    LayoutItem code = barcode(QRectF(5, 9, 90, 8), 0.254, 0.19);
    code.column = 2;
    code.textColumn = 2;
    layout.items = {name, code};
    const QStringList values = {QStringLiteral("株式会社北斗星電機 第1工場"), QStringLiteral("K1000001")};
    QImage image = blankImage(100, 51);
    {
        QPainter painter(&image);
        ReportPainter report(painter, layout);
        ASSERT_TRUE(report.paintDocument(0, values));
        ASSERT_TRUE(report.paintDocument(1, values));
    }
    const QImage first = image.copy(0, 0, image.width(), 300);
    EXPECT_FALSE(inkMm(first).isNull());
    EXPECT_EQ(image.copy(0, 300, image.width(), 300), first);
}

TEST(ReportPainterTest, AFilledBoxCoversTheTextsBeforeIt)
{
    // Texts are painted in batches; a filled box still covers what came before it in
    // the layout, and what comes after it stays on top.
    ReportLayout layout;
    layout.slotSize = QSizeF(100, 60);
    layout.slotOrigins = {QPointF(0, 0)};
    const LayoutItem under = field(QRectF(10, 10, 60, 6), 10);
    LayoutItem cover;
    cover.kind = LayoutItem::Kind::Box;
    cover.rect = QRectF(5, 5, 80, 30);
    cover.penWidth = 0;
    cover.fill = QColor(Qt::white);
    const LayoutItem over = field(QRectF(10, 20, 60, 6), 10);
    layout.items = {under, cover, over};
    QImage image = blankImage(100, 60);
    {
        QPainter painter(&image);
        ReportPainter report(painter, layout);
        ASSERT_TRUE(report.paintDocument(0, {QStringLiteral("隠れる文字 HIDDEN")}));
    }
    const QRectF ink = inkMm(image);
    ASSERT_FALSE(ink.isNull()) << "the text after the box is painted";
    EXPECT_GT(ink.top(), 19) << "the text before the box is covered: ink from " << ink.top() << " mm";
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

namespace {

// The bars libzint draws for `data` (Code 39, no check character), in modules.
QList<Code39Symbol::Bar> libzintBars(const QByteArray& data, int& modules)
{
    zint_symbol* symbol = ZBarcode_Create();
    symbol->symbology = BARCODE_CODE39;
    symbol->option_2 = 0;
    symbol->show_hrt = 0;
    QList<Code39Symbol::Bar> bars;
    if (ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(data.constData()), int(data.size())) <
            ZINT_ERROR &&
        ZBarcode_Buffer_Vector(symbol, 0) < ZINT_ERROR) {
        const double unitsPerModule = double(symbol->vector->width) / symbol->width;
        for (const zint_vector_rect* rect = symbol->vector->rectangles; rect; rect = rect->next)
            bars.append({rect->x / unitsPerModule, rect->width / unitsPerModule});
        modules = symbol->width;
    }
    ZBarcode_Delete(symbol);
    return bars;
}

} // namespace

TEST(ReportPainterTest, Code39SymbolsAreThoseOfLibzintWithoutCheckCharacter)
{
    Code39Symbol symbol;
    ASSERT_TRUE(symbol.encode(QStringLiteral("ABC")));
    EXPECT_EQ(symbol.modules(), 5 * 13 - 1) << "start, three characters, stop; 13 modules each less the last gap";
    EXPECT_EQ(symbol.bars().size(), 5 * 5);
    EXPECT_EQ(symbol.narrowElements() + symbol.wideElements(), 5 * 10 - 1);
    EXPECT_EQ(symbol.wideElements(), 5 * 3);

    // Every character of the alphabet, each on its own and all in one symbol, has
    // the bars a second encoder draws.
    const QString alphabet = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
    QStringList samples{alphabet, QStringLiteral("3N4RC0603 500 -.$/+%")};
    for (QChar c : alphabet)
        samples.append(QString(c));
    for (const QString& data : std::as_const(samples)) {
        ASSERT_TRUE(symbol.encode(data)) << data.toStdString();
        int modules = 0;
        const QList<Code39Symbol::Bar> expected = libzintBars(data.toLatin1(), modules);
        ASSERT_EQ(symbol.bars().size(), expected.size()) << data.toStdString();
        for (qsizetype i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(symbol.bars()[i].start, expected[i].start, 0.01) << data.toStdString() << " bar " << i;
            EXPECT_NEAR(symbol.bars()[i].width, expected[i].width, 0.01) << data.toStdString() << " bar " << i;
        }
        EXPECT_EQ(symbol.modules(), modules) << data.toStdString();
    }

    // Small letters would come out as capitals: refused, like everything outside the alphabet.
    for (const QString& refused : {QString(), QStringLiteral("abc"), QStringLiteral("A*B"), QStringLiteral("部品")}) {
        EXPECT_FALSE(symbol.encode(refused)) << refused.toStdString();
        EXPECT_TRUE(symbol.isEmpty());
        EXPECT_FALSE(symbol.errorText().isEmpty());
    }
}

TEST(ReportPainterTest, BarWidthsAreWholeDotsNoNarrowerThanTheSmallestModule)
{
    constexpr double kDotsPerMm600 = 600 / 25.4;
    Code39Symbol symbol;
    ASSERT_TRUE(symbol.encode(QStringLiteral("3N4ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")));
    LayoutItem item = barcode(QRectF(5, 5, 200, 9), 0.254, 0.19);
    const auto choose = [&](double areaMm, double ratio) {
        item.rect.setWidth(areaMm);
        item.wideRatio = ratio;
        return BarcodeFit::choose(symbol, item, kDotsPerMm600);
    };
    BarcodeFit fit = choose(200, 2.5);
    EXPECT_TRUE(fit.fits);
    EXPECT_EQ(fit.narrow, 6) << "0.254 mm is 6 dots of 1/600 inch";
    EXPECT_EQ(fit.wide, 15);
    EXPECT_DOUBLE_EQ(fit.symbolWidth, symbol.width(6, 15));

    fit = choose(138.5, 2.5); // too narrow for 6 dots
    EXPECT_TRUE(fit.fits);
    EXPECT_EQ(fit.narrow, 5) << "0.19 mm is 4.49 dots: five";
    EXPECT_EQ(fit.wide, 13) << "2.5 times 5 dots, rounded up";
    EXPECT_LE(fit.span(), 138.5 * kDotsPerMm600);

    fit = choose(fit.span() / kDotsPerMm600, 2.5);
    EXPECT_TRUE(fit.fits) << "an area exactly as wide as the symbol and its quiet zones";
    fit = choose(120, 2.5);
    EXPECT_FALSE(fit.fits);
    EXPECT_EQ(fit.narrow, 5) << "never below the smallest module";
    EXPECT_EQ(choose(200, 2.0).wide, 12);
    EXPECT_EQ(choose(200, 3.0).wide, 18);
}

TEST(ReportPainterTest, WideBarsAndSpacesFollowTheRatio)
{
    // 0.254 mm is 3 dots at 300 dpi; wide elements are 2.5 times that, rounded up.
    LayoutItem item = barcode(QRectF(5, 10, 90, 9), 0.254, 0.2);
    const int row = int(14 * kDotsPerMm);
    const auto [dark, light] = runWidths(paint(item, {"3N4RC0603 500", ""}), row);
    EXPECT_EQ(dark, (QSet<int>{3, 8}));
    EXPECT_EQ(light, (QSet<int>{3, 8}));
    item.wideRatio = 3.0;
    EXPECT_EQ(runWidths(paint(item, {"3N4RC0603 500", ""}), row).first, (QSet<int>{3, 9}));
}

TEST(ReportPainterTest, LongBarcodeShrinksIntoItsBoxAndStillScans)
{
    if (!test::haveTools({QStringLiteral("zbarimg")}))
        GTEST_SKIP() << "zbar-tools missing";
    const QString data = QStringLiteral("3N31028512612070001 2500 ");
    // 27 characters of 14.5 modules less a gap, and the quiet zones: 410.5 modules,
    // 123 mm at 0.3 mm; 2 dots narrow and 5 wide take 69.5 mm.
    const QRectF box(5, 10, 70, 9);
    const QImage image = paint(barcode(box, 0.3, 0.15), {data, QStringLiteral("(3N)3") + data.mid(3)});
    const QRectF ink = inkMm(image);
    EXPECT_TRUE(inside(QRectF(ink.x(), box.y(), ink.width(), box.height()), box)) << ink.x() << "+" << ink.width();

    QTemporaryDir dir;
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("bars.png"))));
    EXPECT_EQ(test::scanBarcodes(dir.filePath(QStringLiteral("bars.png"))), QStringList{data});
}

TEST(ReportPainterTest, BarcodeTooLongEvenAtTheSmallestModuleIsLeftOutAndReported)
{
    const QRectF box(5, 10, 40, 9);
    QString problem;
    const QRectF ink =
        inkMm(paint(barcode(box, 0.3, 0.25), {"3N5ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "(3N)5ABC"}, &problem));
    ASSERT_FALSE(ink.isNull()) << "the readable line is printed";
    EXPECT_GT(ink.top(), box.bottom()) << "no bars, not even cut ones";
    EXPECT_TRUE(problem.startsWith(QStringLiteral("items[0] (列 1) の 39 文字は細バー 0.254 mm")))
        << problem.toStdString();
    EXPECT_TRUE(problem.contains(QStringLiteral("枠の幅は 40.0 mm です"))) << problem.toStdString();

    // Shorter data fits the same area.
    EXPECT_LT(inkMm(paint(barcode(box, 0.3, 0.25), {"3N5ABC"}, &problem)).top(), box.bottom());
    EXPECT_TRUE(problem.isEmpty());
}

TEST(ReportPainterTest, AllBarcodesOfThePrintAreCheckedBeforePainting)
{
    ReportLayout layout;
    layout.slotSize = QSizeF(100, 60);
    layout.slotOrigins = {QPointF(0, 0)};
    layout.items = {field(QRectF(5, 5, 50, 5), 9), barcode(QRectF(5, 10, 70, 9), 0.3, 0.19)};
    layout.items[1].column = 2;
    const QString fits = QStringLiteral("Z1028512612070001");
    const QString tooLong = QStringLiteral("3N3ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ");
    const double dotsPerMm = 600 / 25.4;
    EXPECT_EQ(ReportPainter::findUnfitBarcode(layout, {{"a", fits}, {"b", "lower"}, {"c", "  "}, {"d"}}, dotsPerMm),
              QString())
        << "data that fits, cannot be encoded, is blank or missing";
    const QString problem =
        ReportPainter::findUnfitBarcode(layout, {{"a", fits}, {"b", fits}, {"c", tooLong}}, dotsPerMm);
    EXPECT_TRUE(problem.startsWith(QStringLiteral("3 件目のデータ、items[1] (列 2) の 40 文字は細バー 0.212 mm、"
                                                  "太バー 0.550 mm でも静止帯を含めて幅 135.6 mm が必要ですが、"
                                                  "枠の幅は 70.0 mm です")))
        << problem.toStdString();
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
