// The delivered layouts printed with realistic data: they fill the sheets as
// intended and every barcode on them scans back to exactly its data column.

#include "ReportFixtures.h"

#include "core/Clock.h"
#include "report/PdfReportEngine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plx {
namespace {

using test::DataLine;

struct SampleForm
{
    const char* layout;
    bool tags;

    friend void PrintTo(const SampleForm& form, std::ostream* os) { *os << form.layout; }
};

class SampleFormsTest : public ::testing::TestWithParam<SampleForm>
{
protected:
    void SetUp() override
    {
        if (!test::haveTools({QStringLiteral("pdfinfo"), QStringLiteral("pdftoppm"), QStringLiteral("zbarimg")}))
            GTEST_SKIP() << "poppler-utils or zbar-tools missing";
    }

    QList<DataLine> documents(int count) const
    {
        QList<DataLine> lines;
        for (int i = 1; i <= count; ++i)
            lines.append(GetParam().tags ? test::tagLine(i, count) : test::slipLine(i));
        return lines;
    }

    // Prints `lines`, checks the sheet count and scans every sheet at 300 dpi. With
    // PLX90_REPORT_RENDERS set, the PDF and 100 dpi images are kept there for a look.
    void printAndScan(const QList<DataLine>& lines, int sheets, const QString& name)
    {
        const QString dataPath = m_dir.filePath(QStringLiteral("Usr/data.dat"));
        test::writeFile(dataPath, test::linesOf(lines));
        PdfReportEngine engine(m_clock);
        const PrintJob job{test::layoutPath(QString::fromLatin1(GetParam().layout)), dataPath,
                           GetParam().tags ? PrintJob::Document::Tag : PrintJob::Document::Slip,
                           QStringLiteral("102851      "), QString()};
        QString error;
        ASSERT_TRUE(engine.print(job, error)) << error.toStdString();
        EXPECT_EQ(test::pdfPageCount(engine.lastPdfPath()), sheets);
        if (const QString keep = qEnvironmentVariable("PLX90_REPORT_RENDERS"); !keep.isEmpty()) {
            QDir().mkpath(keep);
            QFile::remove(keep + u'/' + name + QStringLiteral(".pdf"));
            QFile::copy(engine.lastPdfPath(), keep + u'/' + name + QStringLiteral(".pdf"));
            test::rasterise(engine.lastPdfPath(), keep + u'/' + name, 100);
        }

        const QStringList pages = test::rasterise(engine.lastPdfPath(), m_dir.filePath(name), 300);
        ASSERT_EQ(pages.size(), sheets);
        const int perSheet = GetParam().tags ? 6 : 2;
        const int key = GetParam().tags ? 37 : 32; // the "Z" symbol's data; the 3N data follow two apart
        for (int page = 0; page < sheets; ++page) {
            QStringList expected;
            for (const DataLine& line : lines.mid(page * perSheet, perSheet)) {
                for (int column : {key, key + 2, key + 4, key + 6})
                    expected.append(line.at(column));
            }
            expected.sort();
            EXPECT_EQ(test::scanBarcodes(pages[page]), expected) << name.toStdString() << " sheet " << page + 1;
        }
    }

    QString stem() const { return QString::fromLatin1(GetParam().layout).section(u'.', 0, 0); }

    QTemporaryDir m_dir;
    FixedClock m_clock{QDateTime(QDate(2026, 12, 7), QTime(9, 41, 30))};
};

TEST_P(SampleFormsTest, FillsTheSheetsAndEveryBarcodeScans)
{
    // Seven tags take two sheets of six; three slips two sheets of two.
    QList<DataLine> lines = documents(GetParam().tags ? 7 : 3);
    for (DataLine& line : lines) {
        if (QByteArray(GetParam().layout).startsWith("K_Slip")) // 発注者使用欄 1-3 and BC出力区分
            line.set(26, "KV-USE-1").set(27, "ﾗｲﾝ3").set(28, "99").set(29, "1");
    }
    if (!GetParam().tags)
        lines[1].set(39, QStringLiteral("(USD)"));
    printAndScan(lines, 2, stem());
}

TEST_P(SampleFormsTest, FullWidthValuesStayReadableAndScan)
{
    // Every value at its full width: 25 double-byte characters in a 50-byte name,
    // 23-character keys, barcode lines of 40 characters on slips and 30 on tags.
    const bool tags = GetParam().tags;
    const int first = tags ? 36 : 31;
    const QString kanji = QStringLiteral("電子部品株式会社関東第一製造本部資材調達部購買課長殿");
    QList<DataLine> lines = documents(tags ? 6 : 2);
    for (int i = 0; i < lines.size(); ++i) {
        const QString key = QStringLiteral("KEY-%1-ABCDEFGHIJKLMNOPQR").arg(i).left(23);
        const QString tail =
            QStringLiteral("%1 1234567.125 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123").arg(i).left(tags ? 27 : 37);
        lines[i].set(2, kanji.left(25)).set(4, kanji.right(25)).set(5, key).set(6, key).set(tags ? 11 : 10, kanji);
        lines[i].set(9, QStringLiteral("ITEM-CODE-0123456789-ABCD")).barcodes(first, key, tail, tail, tail);
    }
    printAndScan(lines, 1, stem() + QStringLiteral("-full"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, SampleFormsTest,
                         ::testing::Values(SampleForm{"E_Slip.agr", false}, SampleForm{"K_Slip.agr", false},
                                           SampleForm{"E_Tag.agr", true}, SampleForm{"K_Tag.agr", true}),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param.layout).section(u'.', 0, 0).toStdString();
                         });

} // namespace
} // namespace plx
