#include "ReportFixtures.h"

#include "core/Clock.h"
#include "output/Reprint.h"
#include "report/PdfReportEngine.h"
#include "support/TestInstall.h"

#include <gtest/gtest.h>

namespace plx {
namespace {

// The text and the symbols of every page of a PDF, as a reader and a scanner
// get them back.
struct Read
{
    QString text;
    QList<QStringList> barcodes; // per page
};

Read readBack(const QString& pdf, const QString& prefix)
{
    Read read{test::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}), {}};
    for (const QString& page : test::rasterise(pdf, prefix, 300))
        read.barcodes.append(test::scanBarcodes(page));
    return read;
}

} // namespace

// A reprint prints the documents as they were (the layout and data lines of the
// time), to a PDF of its own marked as a copy, and leaves no file behind.
TEST(Reprint, TheCopyHasTheOriginalsTextAndBarcodesAndIsMarkedAsACopy)
{
    if (!test::haveTools({QStringLiteral("pdftotext"), QStringLiteral("pdftoppm"), QStringLiteral("zbarimg"),
                          QStringLiteral("pdfinfo")}))
        GTEST_SKIP() << "poppler-utils or zbar-tools missing";
    test::TestInstall inst;
    inst.buildPaths();
    QDir().mkpath(inst.env.paths.usrFolder);
    FixedClock clock{QDateTime(QDate(2026, 12, 15), QTime(10, 15, 0))};
    PdfReportEngine engine{clock};

    // The original: three slips of one company.
    const QByteArray layout = test::readFile(test::layoutPath(QStringLiteral("E_Slip.agr")));
    const QList<test::DataLine> lines{test::slipLine(1), test::slipLine(2), test::slipLine(3)};
    const QString layoutPath = inst.env.paths.usrFolder + QStringLiteral("E_Slip.agr");
    const QString dataPath = inst.env.paths.usrFolder + QStringLiteral("E_Dcsv.dat");
    test::writeFile(layoutPath, layout);
    test::writeFile(dataPath, test::linesOf(lines));
    QString error;
    PrintJob original{layoutPath,
                      dataPath,
                      PrintJob::Document::Slip,
                      QStringLiteral("102851"),
                      QStringLiteral("東和精密"),
                      true,
                      QStringLiteral("EIAJ"),
                      QDateTime(QDate(2026, 12, 1), QTime(9, 0, 0)),
                      1};
    ASSERT_TRUE(engine.print(original, error)) << error.toStdString();
    const QString originalPdf = engine.lastPdfPath();

    // The layout file has been edited since, and the data file rewritten by
    // later runs: the copy does not care.
    test::writeFile(layoutPath, "{}");
    test::writeFile(dataPath, "");
    QList<ReprintDocument> documents;
    for (const test::DataLine& line : lines) {
        documents.append({Protocol::Eiaj, OutputDocument::Slip, QStringLiteral("E_Slip.agr"), layout,
                          test::dataLine(line.values), QStringLiteral("102851"), QStringLiteral("東和精密")});
    }
    const QStringList pdfs = reprintDocuments(inst.env, engine, documents, false, error);
    ASSERT_EQ(pdfs.size(), 1) << error.toStdString();
    EXPECT_EQ(QFileInfo(pdfs[0]).fileName(), QStringLiteral("再発行_納品書_EIAJ_102851_20261215-101500.pdf"));
    EXPECT_TRUE(test::runTool(QStringLiteral("pdfinfo"), {pdfs[0]})
                    .contains(QStringLiteral("再発行 2026/12/15 納品書 EIAJ 102851 東和精密")));

    const QString shots = inst.base() + QStringLiteral("/shot");
    const Read before = readBack(originalPdf, shots + QStringLiteral("-a"));
    const Read after = readBack(pdfs[0], shots + QStringLiteral("-b"));
    EXPECT_FALSE(before.text.trimmed().isEmpty());
    EXPECT_EQ(after.text, before.text);
    ASSERT_FALSE(before.barcodes.isEmpty());
    EXPECT_FALSE(before.barcodes.first().isEmpty());
    EXPECT_EQ(after.barcodes, before.barcodes);

    // Another company's slip and a tag go to PDFs of their own; the work
    // files are gone.
    documents.append(documents.first());
    documents.last().ordererCode = QStringLiteral("200001");
    EXPECT_EQ(reprintDocuments(inst.env, engine, documents, false, error).size(), 2) << error.toStdString();
    EXPECT_EQ(QDir(inst.env.paths.usrFolder).entryList({QStringLiteral(".reprint*")}, QDir::Files | QDir::Hidden),
              QStringList());
}

} // namespace plx
