#include "ReportFixtures.h"

#include "core/Clock.h"
#include "report/PdfReportEngine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plx {
namespace {

// An A4 sheet cut into columns x rows slots, each with a title and the field of column 2.
QByteArray gridLayout(int columns, int rows)
{
    QStringList origins;
    for (int i = 0; i < columns * rows; ++i)
        origins.append(
            QStringLiteral(R"({"x": %1, "y": %2})").arg(i % columns * 210.0 / columns).arg(i / columns * 297.0 / rows));
    return QStringLiteral(R"({"version": 1, "page": {"size": "A4"}, "slot": {"width": %1, "height": %2},
"slots": [%3], "items": [
  {"kind": "text", "x": 5, "y": 5, "width": 60, "height": 8, "text": "納品書", "size": 14},
  {"kind": "field", "x": 5, "y": 15, "width": 90, "height": 6, "column": 2}]})")
        .arg(210.0 / columns)
        .arg(297.0 / rows)
        .arg(origins.join(u','))
        .toUtf8();
}

class PdfReportEngineTest : public ::testing::Test
{
protected:
    QString usr(const QString& name) const { return m_dir.filePath(QStringLiteral("Plx90We/Usr/") + name); }

    PrintJob job(const QByteArray& layout, int documents, PrintJob::Document document = PrintJob::Document::Slip)
    {
        QByteArray data;
        for (int i = 1; i <= documents; ++i)
            data += test::dataLine({QStringLiteral("102851"), QStringLiteral("品名 \"特注\" 10kΩ 第%1号  ").arg(i)});
        test::writeFile(usr(QStringLiteral("Test.agr")), layout);
        test::writeFile(usr(QStringLiteral("E_Dcsv.dat")), data);
        return PrintJob{usr(QStringLiteral("Test.agr")), usr(QStringLiteral("E_Dcsv.dat")), document,
                        QStringLiteral("102851      "), QStringLiteral("株式会社東和電機製作所")};
    }

    QStringList printed() const { return QDir(usr(QStringLiteral("Print"))).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir m_dir;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 7), QTime(9, 41, 30))};
    PdfReportEngine m_engine{m_clock};
    QString m_error;
};

TEST_F(PdfReportEngineTest, DocumentsFillTheSlotsSheetBySheet)
{
    if (!test::haveTools({QStringLiteral("pdfinfo")}))
        GTEST_SKIP() << "poppler-utils missing";
    const struct
    {
        int columns, rows, documents, sheets;
    } cases[] = {{2, 3, 7, 2}, {2, 3, 6, 1}, {1, 2, 3, 2}, {1, 2, 1, 1}, {1, 2, 4, 2}};
    for (const auto& c : cases) {
        ASSERT_TRUE(m_engine.print(job(gridLayout(c.columns, c.rows), c.documents), m_error)) << m_error.toStdString();
        EXPECT_EQ(test::pdfPageCount(m_engine.lastPdfPath()), c.sheets) << c.documents << " documents";
        EXPECT_EQ(m_engine.lastSheetCount(), c.sheets);
    }
}

// Every PDF has a name of its own: document, format, company, the run's start and
// the group; a name that is taken is never written over.
TEST_F(PdfReportEngineTest, EachPdfGetsItsOwnNameInThePrintFolder)
{
    const QDateTime run(QDate(2026, 12, 8), QTime(9, 15, 0));
    const struct
    {
        PrintJob::Document document;
        const char* format;
        const char* code;
        QDateTime started;
        int group;
        const char* name;
    } cases[] = {
        {PrintJob::Document::Slip, "EIAJ", "102851      ", run, 1, "納品書_EIAJ_102851_20261208-091500_1.pdf"},
        {PrintJob::Document::Slip, "KORVAN", "102851", run, 1, "納品書_KORVAN_102851_20261208-091500_1.pdf"},
        {PrintJob::Document::Slip, "EIAJ", "102851", run, 1, "納品書_EIAJ_102851_20261208-091500_1-2.pdf"},
        {PrintJob::Document::Tag, "EIAJ", "AB/12 ", {}, 2, "荷札_EIAJ_AB_12_20261207-094130_2.pdf"},
        {PrintJob::Document::Slip, "", "102851", {}, 0, "納品書_102851_20261207-094130.pdf"},
    };
    QByteArray first;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PrintJob j = job(gridLayout(2, 3), 2, c.document);
        j.format = QString::fromLatin1(c.format);
        j.ordererCode = QString::fromLatin1(c.code);
        j.runStarted = c.started;
        j.group = c.group;
        ASSERT_TRUE(m_engine.print(j, m_error)) << m_error.toStdString();
        EXPECT_EQ(m_engine.lastPdfPath(), usr(QStringLiteral("Print/") + QString::fromUtf8(c.name)));
        if (first.isEmpty())
            first = test::readFile(m_engine.lastPdfPath());
    }
    EXPECT_EQ(test::readFile(usr(QStringLiteral("Print/納品書_EIAJ_102851_20261208-091500_1.pdf"))), first)
        << "the first PDF is kept as it was written";
    // Nothing but the PDFs: no work file is left behind.
    EXPECT_EQ(QDir(usr(QStringLiteral("Print"))).entryList(QDir::Files | QDir::Hidden).size(), 5);
}

TEST_F(PdfReportEngineTest, PrintsJapaneseTextInAnEmbeddedIpaGothic)
{
    if (!test::haveTools({QStringLiteral("pdftotext"), QStringLiteral("pdffonts")}))
        GTEST_SKIP() << "poppler-utils missing";
    ASSERT_TRUE(m_engine.print(job(gridLayout(1, 2), 1), m_error)) << m_error.toStdString();
    const QString text = test::runTool(QStringLiteral("pdftotext"), {m_engine.lastPdfPath(), QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("納品書")) && text.contains(QStringLiteral("品名 \"特注\" 10kΩ 第1号")))
        << text.toStdString();
    // pdffonts: name, type (two words), encoding, then "emb"
    const QStringList fonts = test::runTool(QStringLiteral("pdffonts"), {m_engine.lastPdfPath()}).split(u'\n');
    ASSERT_EQ(fonts.filter(QStringLiteral("IPAGothic")).size(), 1) << fonts.join(u'\n').toStdString();
    EXPECT_EQ(fonts.filter(QStringLiteral("IPAGothic"))[0].split(u' ', Qt::SkipEmptyParts).value(4), "yes");
}

TEST_F(PdfReportEngineTest, ALayoutEditedBetweenPrintsIsReadAgain)
{
    ASSERT_TRUE(m_engine.print(job(gridLayout(1, 2), 3), m_error)) << m_error.toStdString();
    EXPECT_EQ(m_engine.lastSheetCount(), 2);
    EXPECT_FALSE(m_engine.print(job("{\"version\": 1, \"items\": 3}", 3), m_error)) << "the edit broke the layout";
    ASSERT_TRUE(m_engine.print(job(gridLayout(1, 2), 3), m_error)) << m_error.toStdString();
    ASSERT_TRUE(m_engine.print(job(gridLayout(1, 3), 3), m_error)) << m_error.toStdString();
    EXPECT_EQ(m_engine.lastSheetCount(), 1) << "three slots a sheet now";
}

TEST_F(PdfReportEngineTest, RefusesWithoutWritingAnything)
{
    EXPECT_FALSE(m_engine.print(job("{\"version\": 1, \"items\": 3}", 1), m_error));
    EXPECT_TRUE(m_error.startsWith(QStringLiteral("帳票定義ファイルの形式が正しくありません。(Test.agr: ")));

    PrintJob noLayout = job(gridLayout(1, 2), 1);
    noLayout.layoutPath = usr(QStringLiteral("K_Slip.agr"));
    EXPECT_FALSE(m_engine.print(noLayout, m_error));
    EXPECT_TRUE(m_error.contains(QStringLiteral("K_Slip.agr"))) << m_error.toStdString();

    EXPECT_FALSE(m_engine.print(job(gridLayout(1, 2), 0), m_error));
    EXPECT_EQ(m_error, QStringLiteral("印刷するデータがありません。(E_Dcsv.dat)"));

    PrintJob noData = job(gridLayout(1, 2), 1);
    noData.dataPath = usr(QStringLiteral("K_Dcsv.dat"));
    EXPECT_FALSE(m_engine.print(noData, m_error));
    EXPECT_TRUE(m_error.contains(QStringLiteral("K_Dcsv.dat"))) << m_error.toStdString();

    PdfReportEngine withPrinter(m_clock, QStringLiteral("PLX90-存在しないプリンタ"));
    EXPECT_FALSE(withPrinter.print(job(gridLayout(1, 2), 1), m_error));
    EXPECT_TRUE(m_error.contains(QStringLiteral("PLX90-存在しないプリンタ"))) << m_error.toStdString();

    EXPECT_TRUE(printed().isEmpty());
    EXPECT_TRUE(m_engine.lastPdfPath().isEmpty());
}

TEST_F(PdfReportEngineTest, ASymbolWiderThanItsAreaFailsThePrintBeforeAnythingIsWritten)
{
    // 19 characters need 63.5 mm at 0.19 mm (5 dots of 1/600 inch), 40 characters 135.6 mm.
    const QByteArray layout = R"({"version": 1, "page": {"size": "A4"}, "slot": {"width": 210, "height": 148.5},
"slots": [{"x": 0, "y": 0}, {"x": 0, "y": 148.5}], "items": [
  {"kind": "field", "x": 5, "y": 5, "width": 60, "height": 6, "column": 1},
  {"kind": "barcode", "x": 5, "y": 15, "width": 100, "height": 9, "column": 2, "textColumn": 1,
   "module": 0.3, "minModule": 0.19}]})";
    const QString fits = QStringLiteral("3N3HK26120100 2500 ");
    const QString tooLong = QStringLiteral("3N4RK73H1JTTD1002F-ABCDEFGHI 250 OB-0123");
    PrintJob tags = job(layout, 0, PrintJob::Document::Tag);
    test::writeFile(tags.dataPath, test::dataLine({QStringLiteral("(3N)3"), fits}) +
                                       test::dataLine({QStringLiteral("(3N)4"), tooLong}));
    EXPECT_FALSE(m_engine.print(tags, m_error));
    EXPECT_TRUE(m_error.startsWith(QStringLiteral(
        "バーコードが帳票定義ファイルの枠に収まりません。(Test.agr: 2 件目のデータ、items[1] (列 2) の 40 文字は"
        "細バー 0.212 mm、太バー 0.550 mm でも静止帯を含めて幅 135.6 mm が必要ですが、枠の幅は 100.0 mm です)")))
        << m_error.toStdString();
    EXPECT_TRUE(printed().isEmpty());
    EXPECT_TRUE(m_engine.lastPdfPath().isEmpty());

    test::writeFile(tags.dataPath, test::dataLine({QStringLiteral("(3N)3"), fits}));
    EXPECT_TRUE(m_engine.print(tags, m_error)) << m_error.toStdString();
    EXPECT_EQ(printed().size(), 1);
}

} // namespace
} // namespace plx
