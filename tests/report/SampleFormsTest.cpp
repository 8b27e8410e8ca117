// The delivered layouts printed with realistic data: they fill the sheets as
// intended and every barcode on them scans back to exactly its data column, up to
// the longest barcode line the output writes.

#include "ReportFixtures.h"

#include "core/Clock.h"
#include "report/BarcodeFit.h"
#include "report/Code39Symbol.h"
#include "report/LayoutReader.h"
#include "report/LayoutSlots.h"
#include "report/PdfReportEngine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace plx {
namespace {

using test::DataLine;

// The longest barcode data the output writes: a barcode line is cut to 40
// characters, the key symbol is "Z" and a key of 23.
constexpr int kLongestLine = 40;
constexpr int kLongestKey = 24;

struct SampleForm
{
    const char* layout;
    bool tags;
    int perSheet; // documents to a sheet

    friend void PrintTo(const SampleForm& form, std::ostream* os) { *os << form.layout; }
};

class SampleFormsTest : public ::testing::TestWithParam<SampleForm>
{
protected:
    // The data of the "Z" symbol and of the three "3N" symbols.
    QList<int> barcodeDataColumns() const
    {
        if (GetParam().tags)
            return {columnNumber(TagColumn::KeyBarcodeData), columnNumber(TagColumn::Barcode3N3Data),
                    columnNumber(TagColumn::Barcode3N4Data), columnNumber(TagColumn::Barcode3N5Data)};
        return {columnNumber(SlipColumn::KeyBarcodeData), columnNumber(SlipColumn::Barcode3N3Data),
                columnNumber(SlipColumn::Barcode3N4Data), columnNumber(SlipColumn::Barcode3N5Data)};
    }
    int keyColumn() const { return barcodeDataColumns().first(); }
    int keyTextColumn() const
    {
        return GetParam().tags ? columnNumber(TagColumn::KeyBarcodeText) : columnNumber(SlipColumn::KeyBarcodeText);
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
        if (!test::haveTools({QStringLiteral("pdfinfo"), QStringLiteral("pdftoppm"), QStringLiteral("zbarimg")}))
            GTEST_SKIP() << "poppler-utils or zbar-tools missing";
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
        const int perSheet = GetParam().perSheet;
        const QList<int> dataColumns = barcodeDataColumns();
        for (int page = 0; page < sheets; ++page) {
            QStringList expected;
            for (const DataLine& line : lines.mid(page * perSheet, perSheet)) {
                for (int column : dataColumns)
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
    // Seven tags take two sheets of four; three slips two sheets of two.
    QList<DataLine> lines = documents(GetParam().tags ? 7 : 3);
    for (DataLine& line : lines) {
        if (QByteArray(GetParam().layout).startsWith("K_Slip")) // 発注者使用欄 1-3 and BC出力区分
            line.set(SlipColumn::UnitPriceOrUse1, "KV-USE-1")
                .set(SlipColumn::AmountExclTaxOrUse2, "ﾗｲﾝ3")
                .set(SlipColumn::TaxAmountOrUse3, "99")
                .set(SlipColumn::AmountInclTaxOrBcOutputClass, "1");
    }
    if (!GetParam().tags)
        lines[1].set(SlipColumn::CurrencyNote, QStringLiteral("(USD)"));
    printAndScan(lines, 2, stem());
}

TEST_P(SampleFormsTest, FullWidthValuesStayReadableAndScan)
{
    // Every value at its full width: 25 double-byte characters in a 50-byte name,
    // 23-character keys, barcode lines of 40 characters.
    const bool tags = GetParam().tags;
    const QString kanji = QStringLiteral("電子部品株式会社関東第一製造本部資材調達部購買課長殿");
    QList<DataLine> lines = documents(GetParam().perSheet);
    for (int i = 0; i < lines.size(); ++i) {
        const QString key = QStringLiteral("KEY-%1-ABCDEFGHIJKLMNOPQR").arg(i).left(23);
        const QString tail = QStringLiteral("%1 1234567.125 ABCDEFGHIJKLMNOPQRSTUVWXYZ0123").arg(i).left(37);
        // The first nine columns are the same on slips and tags.
        lines[i]
            .set(SlipColumn::OrdererName, kanji.left(25))
            .set(SlipColumn::SupplierName, kanji.right(25))
            .set(SlipColumn::DeliveryKeyNo, key)
            .set(SlipColumn::OrderNo, key)
            .set(SlipColumn::ItemCode, QStringLiteral("ITEM-CODE-0123456789-ABCD"));
        if (tags)
            lines[i].set(TagColumn::ItemName, kanji);
        else
            lines[i].set(SlipColumn::ItemName, kanji);
        lines[i].barcodes(keyTextColumn(), key, tail, tail, tail);
        ASSERT_EQ(lines[i].at(keyColumn()).size(), kLongestKey);
        ASSERT_EQ(lines[i].at(barcodeDataColumns()[1]).size(), kLongestLine);
    }
    printAndScan(lines, 1, stem() + QStringLiteral("-full"));
}

TEST_P(SampleFormsTest, SlotsAreCountedFromTheLayout)
{
    QString error;
    EXPECT_EQ(slotsPerSheet(test::layoutPath(QString::fromLatin1(GetParam().layout)), error), GetParam().perSheet)
        << error.toStdString();
}

// Whatever the data, every symbol fits its area at the PDF's 600 dpi with a narrow
// bar of at least 0.19 mm and wide bars at least 2.5 times as wide, and no symbol
// comes closer than 5 mm to the sheet's edge, quiet zones and readable line included.
TEST_P(SampleFormsTest, EveryBarcodeAreaHoldsTheLongestDataAwayFromTheSheetEdge)
{
    constexpr double kDotsPerMm = 600 / 25.4;
    constexpr double kSheetMargin = 5;
    ReportLayout layout;
    QString error;
    ASSERT_TRUE(LayoutReader::read(test::layoutPath(QString::fromLatin1(GetParam().layout)), layout, error))
        << error.toStdString();
    const QSizeF sheet = layout.sheetSize();
    int barcodes = 0;
    for (const LayoutItem& item : layout.items) {
        if (item.kind != LayoutItem::Kind::Barcode)
            continue;
        ++barcodes;
        const int length = item.column == keyColumn() ? kLongestKey : kLongestLine;
        Code39Symbol symbol;
        ASSERT_TRUE(symbol.encode(QStringLiteral("Z%1").arg(QString(length - 1, u'9'))));
        const BarcodeFit fit = BarcodeFit::choose(symbol, item, kDotsPerMm);
        EXPECT_TRUE(fit.fits) << "column " << item.column << ": " << fit.span() / kDotsPerMm << " mm in "
                              << item.rect.width();
        EXPECT_GE(fit.narrow / kDotsPerMm, 0.19) << "column " << item.column;
        EXPECT_GE(double(fit.wide) / fit.narrow, 2.5) << "column " << item.column;
        const double bottom = item.rect.bottom() + kBarcodeTextGapMm + item.readableLineHeight();
        for (const QPointF& slot : layout.slotOrigins) {
            EXPECT_GE(slot.x() + item.rect.left(), kSheetMargin) << "column " << item.column;
            EXPECT_LE(slot.x() + item.rect.right(), sheet.width() - kSheetMargin) << "column " << item.column;
            EXPECT_GE(slot.y() + item.rect.top(), kSheetMargin) << "column " << item.column;
            EXPECT_LE(slot.y() + bottom, sheet.height() - kSheetMargin) << "column " << item.column;
        }
    }
    EXPECT_EQ(barcodes, 4);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SampleFormsTest,
                         ::testing::Values(SampleForm{"E_Slip.agr", false, 2}, SampleForm{"K_Slip.agr", false, 2},
                                           SampleForm{"E_Tag.agr", true, 4}, SampleForm{"K_Tag.agr", true, 4}),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param.layout).section(u'.', 0, 0).toStdString();
                         });

} // namespace
} // namespace plx
