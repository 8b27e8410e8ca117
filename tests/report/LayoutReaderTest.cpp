#include "ReportFixtures.h"

#include "report/LayoutReader.h"
#include "report/LayoutSlots.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plx {
namespace {

// A small valid layout with `items`, slot `origins` and `page` spliced in.
QByteArray layoutText(const QString& items, const QString& origins = QStringLiteral(R"([{"x": 0, "y": 0}])"),
                      const QString& page = QStringLiteral(R"({"size": "A4"})"))
{
    return QStringLiteral(R"({"version": 1, "name": "試験", "page": %1, "slot": {"width": 210, "height": 148.5},
"slots": %2, "items": [%3]})")
        .arg(page, origins, items)
        .toUtf8();
}

TEST(LayoutReaderTest, ReadsEveryKindWithItsDefaults)
{
    const QByteArray text = layoutText(QStringLiteral(R"(
        {"kind": "text", "x": 5, "y": 5, "width": 40, "height": 8, "text": "納品書", "size": 16, "comment": "表題"},
        {"kind": "field", "x": 5, "y": 15, "width": 40, "height": 5, "column": 2, "align": "right",
         "format": "number", "wrap": true},
        {"kind": "box", "x": 0, "y": 0, "width": 210, "height": 148.5, "fill": "#E0E0E0", "line": 0},
        {"kind": "line", "x1": 0, "y1": 74, "x2": 210, "y2": 74, "style": "dash"},
        {"kind": "barcode", "x": 5, "y": 100, "width": 120, "height": 9, "column": 34, "textColumn": 33})"),
                                       QStringLiteral(R"([{"x": 0, "y": 0}, {"x": 0, "y": 148.5}])"));
    ReportLayout layout;
    QString error;
    ASSERT_TRUE(LayoutReader::parse(text, QStringLiteral("E_Slip.agr"), layout, error)) << error.toStdString();
    EXPECT_EQ(layout.documentsPerSheet(), 2);
    EXPECT_EQ(layout.slotOrigins[1], QPointF(0, 148.5));
    EXPECT_EQ(layout.fontFamily, QStringLiteral("IPAGothic"));
    ASSERT_EQ(layout.items.size(), 5);
    const LayoutItem& field = layout.items[1];
    EXPECT_EQ(field.column, 2);
    EXPECT_EQ(field.hAlign, Qt::AlignRight);
    EXPECT_EQ(field.format, FieldFormat::Number);
    EXPECT_DOUBLE_EQ(field.fontSize, ReportLayout::kDefaultFontSize);
    EXPECT_TRUE(field.wrap);
    EXPECT_TRUE(layout.items[2].fill.isValid());
    EXPECT_EQ(layout.items[3].penStyle, Qt::DashLine);
    EXPECT_EQ(layout.items[4].textColumn, 33);
    EXPECT_GE(layout.items[4].moduleWidth, layout.items[4].minModuleWidth);

    ASSERT_TRUE(
        LayoutReader::parse(layoutText({}, QStringLiteral("[{\"x\": 0, \"y\": 0}]"),
                                       QStringLiteral(R"({"width": 297, "height": 210, "orientation": "landscape"})")),
                            QStringLiteral("x.agr"), layout, error))
        << error.toStdString();
    EXPECT_NEAR(layout.sheetSize().width(), 210, 0.1) << "landscape turns the sheet";
}

TEST(LayoutReaderTest, BrokenFilesAreRefusedNamingTheFileAndTheProblem)
{
    const auto item = [](const char* json) { return layoutText(QString::fromUtf8(json)); };
    const auto page = [](const char* json) { return layoutText({}, QStringLiteral("[{}]"), QString::fromUtf8(json)); };
    const struct
    {
        QByteArray text;
        const char* expected;
    } cases[] = {
        {"{\"version\": 1,\n  \"page\" {}}", "JSON として読めません (2 行 10 文字目: ':' がありません)"},
        {"  \n", "ファイルが空です"},
        {"[1, 2]", "全体を { } のオブジェクトで書いてください"},
        {R"({"page": {"size": "A4"}})", "version がありません"},
        {R"({"version": 2})", "version 2 には対応していません"},
        {R"({"version": 1, "slot": {"width": 1, "height": 1}, "slots": [], "items": []})", "page がありません"},
        {page(R"({"size": "A9"})"), "page.size の \"A9\" は使えません"},
        {page(R"({"size": "A4", "width": 100})"), "page は size か width・height のどちらか一方で"},
        {layoutText({}, QStringLiteral("[]")), "slots には 1 つ以上の枠の位置"},
        {layoutText({}, QStringLiteral(R"([{"x": 0, "y": 200}])")), "slots[0] の枠"},
        {item(R"({"kind": "circle", "x": 1})"), "items[0].kind の \"circle\" は使えません"},
        {item(R"(42)"), "items[0] はオブジェクト"},
        {item(R"({"kind": "field", "x": 1, "y": 1, "width": 10, "height": 5, "column": 0})"),
         "items[0].column は 1 以上の整数で指定してください"},
        {item(R"({"kind": "field", "x": 1, "y": 1, "width": 10, "height": 5, "column": 2.5})"),
         "items[0].column は 1 以上の整数で指定してください"},
        {item(R"({"kind": "field", "x": 1, "y": 1, "width": 10, "column": 2})"), "items[0].height がありません"},
        {item(R"({"kind": "text", "x": "1", "y": 1, "width": 10, "height": 5, "text": "a"})"),
         "items[0].x は数値で指定してください"},
        {item(R"({"kind": "text", "x": 1, "y": 1, "width": 10, "height": 5, "text": "a", "blod": true})"),
         "items[0].blod は使えない項目名です"},
        {item(R"({"kind": "text", "x": 1, "y": 1, "width": 10, "height": 5, "text": "a", "bold": "yes"})"),
         "items[0].bold は true か false で指定してください"},
        {item(R"({"kind": "box", "x": 1, "y": 1, "width": 10, "height": 5, "fill": "grey"})"),
         "items[0].fill は \"#RRGGBB\" の形"},
        {item(R"({"kind": "box", "x": 200, "y": 1, "width": 20, "height": 5})"), "items[0] が枠"},
        {item(R"({"kind": "barcode", "x": 1, "y": 1, "width": 90, "height": 9, "column": 34, "module": 0.2,
                  "minModule": 0.3})"),
         "items[0].minModule は module 以下の値で指定してください"},
        {item(R"({"kind": "barcode", "x": 1, "y": 140, "width": 90, "height": 8, "column": 34, "textColumn": 33})"),
         "items[0] が枠"},
        {item(R"({"kind": "barcode", "x": 1, "y": 1, "width": 90, "height": 9, "column": 34, "ratio": 1.5})"),
         "items[0].ratio は 2 以上 3 以下の値で指定してください"},
        {item(R"({"kind": "barcode", "x": 1, "y": 1, "width": 90, "height": 9, "column": 34, "ratio": 3.5})"),
         "items[0].ratio は 2 以上 3 以下の値で指定してください"},
    };
    for (const auto& c : cases) {
        ReportLayout layout;
        QString error;
        EXPECT_FALSE(LayoutReader::parse(c.text, QStringLiteral("E_Slip.agr"), layout, error)) << c.expected;
        const QString expected = QStringLiteral("帳票定義ファイルの形式が正しくありません。(E_Slip.agr: ");
        EXPECT_TRUE(error.startsWith(expected) && error.contains(QString::fromUtf8(c.expected)))
            << "expected: " << c.expected << "\n     got: " << error.toStdString();
    }
}

TEST(LayoutReaderTest, FontSizesMustLieBetweenTwoAndTwoHundredPoints)
{
    // A text of the default size first, so that the item refused is items[1].
    const QString first =
        QStringLiteral(R"({"kind": "text", "x": 1, "y": 1, "width": 10, "height": 5, "text": "a"}, )");
    const auto parse = [&](const char* item, QString& error) {
        ReportLayout layout;
        return LayoutReader::parse(layoutText(first + QString::fromUtf8(item)), QStringLiteral("E_Tag.agr"), layout,
                                   error);
    };
    const char* refused[][2] = {
        {R"({"kind": "text", "x": 1, "y": 1, "width": 10, "height": 5, "text": "a", "size": 7000, "wrap": true})",
         "items[1].size は 2 以上 200 以下のポイント数で指定してください"},
        {R"({"kind": "field", "x": 1, "y": 1, "width": 10, "height": 5, "column": 2, "size": 1.9})", "items[1].size"},
        {R"({"kind": "field", "x": 1, "y": 1, "width": 10, "height": 5, "column": 2, "size": 9, "minSize": 1})",
         "items[1].minSize は 2 以上 200 以下"},
        {R"({"kind": "text", "x": 1, "y": 1, "width": 10, "height": 5, "text": "a", "size": "9"})",
         "items[1].size は数値で指定してください"},
        {R"({"kind": "barcode", "x": 1, "y": 1, "width": 90, "height": 9, "column": 3, "textColumn": 2,
             "textSize": 250})",
         "items[1].textSize は 2 以上 200 以下"},
    };
    for (const auto& [item, expected] : refused) {
        QString error;
        EXPECT_FALSE(parse(item, error)) << expected;
        EXPECT_TRUE(error.startsWith(QStringLiteral("帳票定義ファイルの形式が正しくありません。(E_Tag.agr: ")) &&
                    error.contains(QString::fromUtf8(expected)))
            << "expected: " << expected << "\n     got: " << error.toStdString();
    }

    ReportLayout layout;
    QString error;
    ASSERT_TRUE(LayoutReader::parse(
        layoutText(QStringLiteral(R"({"kind": "text", "x": 1, "y": 1, "width": 200, "height": 80, "text": "a",
                                      "size": 200, "minSize": 2},
                                     {"kind": "barcode", "x": 1, "y": 90, "width": 150, "height": 9, "column": 3,
                                      "textColumn": 2, "textSize": 2, "ratio": 3})")),
        QStringLiteral("E_Tag.agr"), layout, error))
        << error.toStdString();
    EXPECT_DOUBLE_EQ(layout.items[0].fontSize, 200);
    EXPECT_DOUBLE_EQ(layout.items[0].minFontSize, 2);
    EXPECT_DOUBLE_EQ(layout.items[1].textSize, 2);
    EXPECT_DOUBLE_EQ(layout.items[1].wideRatio, 3);
}

TEST(LayoutReaderTest, CountsTheSlotsOfAFileWithoutReadingTheRest)
{
    QTemporaryDir dir;
    const auto count = [&](const char* name, const QByteArray& text, QString& error) {
        test::writeFile(dir.filePath(QString::fromLatin1(name)), text);
        return slotsPerSheet(dir.filePath(QString::fromLatin1(name)), error);
    };
    QString error;
    EXPECT_EQ(
        count("four.agr",
              cp932::encode(QString::fromUtf8(layoutText(
                  {}, QStringLiteral(R"([{"x": 0, "y": 0}, {"x": 0, "y": 1}, {"x": 1, "y": 0}, {"x": 1, "y": 1}])")))),
              error),
        4)
        << "CP932 as installed";
    EXPECT_EQ(count("one.agr", R"({"slots": [{"x": 0, "y": 0}]})", error), 1)
        << "the other keys are checked when printed";

    const struct
    {
        const char* name;
        QByteArray text;
        const char* expected;
    } refused[] = {
        {"none.agr", R"({"version": 1})", "(none.agr: slots がありません)"},
        {"empty.agr", R"({"slots": []})", "(empty.agr: slots には 1 つ以上の枠の位置"},
        {"word.agr", R"({"slots": "A4"})", "(word.agr: slots は配列"},
        {"broken.agr", "{\"slots\": [}", "(broken.agr: JSON として読めません (1 行 12 文字目"},
    };
    for (const auto& c : refused) {
        error.clear();
        EXPECT_EQ(count(c.name, c.text, error), 0) << c.name;
        EXPECT_TRUE(error.startsWith(QStringLiteral("帳票定義ファイルの形式が正しくありません。")) &&
                    error.contains(QString::fromUtf8(c.expected)))
            << "expected: " << c.expected << "\n     got: " << error.toStdString();
    }
    EXPECT_EQ(slotsPerSheet(dir.filePath(QStringLiteral("K_Tag.agr")), error), 0);
    EXPECT_TRUE(error.startsWith(QStringLiteral("帳票定義ファイルがありません。")) && error.contains("K_Tag.agr"))
        << error.toStdString();
}

TEST(LayoutReaderTest, ReadsFilesInUtf8OrCp932AndNamesAMissingOne)
{
    QTemporaryDir dir;
    const QByteArray utf8 = layoutText(
        QStringLiteral(R"({"kind": "text", "x": 1, "y": 1, "width": 30, "height": 6, "text": "表示ソフト"})"));
    test::writeFile(dir.filePath(QStringLiteral("bom.agr")), "\xEF\xBB\xBF" + utf8);
    test::writeFile(dir.filePath(QStringLiteral("sjis.agr")), cp932::encode(QString::fromUtf8(utf8)));
    for (const char* name : {"bom.agr", "sjis.agr"}) {
        ReportLayout layout;
        QString error;
        ASSERT_TRUE(LayoutReader::read(dir.filePath(QString::fromLatin1(name)), layout, error)) << name;
        EXPECT_EQ(layout.items.value(0).text, QStringLiteral("表示ソフト")) << name;
    }

    ReportLayout layout;
    QString error;
    EXPECT_FALSE(LayoutReader::read(dir.filePath(QStringLiteral("K_Tag.agr")), layout, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("帳票定義ファイルがありません。")) && error.contains("K_Tag.agr"))
        << error.toStdString();
}

} // namespace
} // namespace plx
