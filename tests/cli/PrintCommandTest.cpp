#include "support/CliRunner.h"
#include "support/OutputFixtures.h"

#include "core/Registry.h"
#include "output/DocumentColumns.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace plx;
using namespace plx::test;

namespace {

// The columns of the data of the "Z", "3N3", "3N4" and "3N5" symbols.
const QList<int> kSlipBarcodeData = {columnNumber(SlipColumn::KeyBarcodeData), columnNumber(SlipColumn::Barcode3N3Data),
                                     columnNumber(SlipColumn::Barcode3N4Data),
                                     columnNumber(SlipColumn::Barcode3N5Data)};
const QList<int> kTagBarcodeData = {columnNumber(TagColumn::KeyBarcodeData), columnNumber(TagColumn::Barcode3N3Data),
                                    columnNumber(TagColumn::Barcode3N4Data), columnNumber(TagColumn::Barcode3N5Data)};

// Every barcode an independent reader finds on the PDF's pages.
QStringList scanBarcodes(const QString& pdf, const QString& workDir)
{
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {"-png", "-r", "300", pdf, workDir + QStringLiteral("/page")});
    raster.waitForFinished(120000);
    QStringList found;
    for (const QString& png : QDir(workDir).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name)) {
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"),
                   {"--raw", "-q", "-Sdisable", "-Scode39.enable", QDir(workDir).filePath(png)});
        zbar.waitForFinished(120000);
        for (const QString& line :
             QString::fromUtf8(zbar.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            found << line;
        QFile::remove(QDir(workDir).filePath(png));
    }
    return found;
}

// The values of the given 1-based columns of every line of a data file.
QStringList dataColumns(const QString& path, const QList<int>& columns)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QStringList out;
    for (const QString& line : cp932::decode(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const QStringList values = line.mid(1, line.size() - 2).split(QStringLiteral("\",\""));
        for (int c : columns) {
            if (!values.value(c - 1).isEmpty())
                out << values.value(c - 1);
        }
    }
    return out;
}

bool haveScanTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty();
}

// An installation whose only company 102851 has `company`'s settings and whose EIAJ
// data file holds `records`; returns the settings file.
QString installWith(const QTemporaryDir& dir, const CustRecord& company, const QList<DeliveryRecord>& records)
{
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    EXPECT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
    QFile cust(dir.path() + QStringLiteral("/Plx90We/Usr/Cust.DAT"));
    EXPECT_TRUE(cust.open(QIODevice::WriteOnly));
    cust.write(company.bytes());
    QByteArray bytes;
    for (const DeliveryRecord& r : records)
        bytes += r.bytes();
    QFile data(dir.path() + QStringLiteral("/Plx90We/Prg/E_Deliv.dat"));
    EXPECT_TRUE(data.open(QIODevice::WriteOnly));
    data.write(bytes);
    return registry;
}

// A record whose three barcode lines are 40 characters on a tag (a 23-character key, a
// 12-character quantity, a 25-character item code and barcode information that fills
// the "3N5" line) at 40 digits.
DeliveryRecord longestLines()
{
    DeliveryRecord r = due('1', "102851", "HK26120100-ABCDEFGHIJKL");
    r.setText(DeliveryField::ShipQty, u"012345678.125");
    r.setText(DeliveryField::ItemCode, u"RK73H1JTTD1002F-ABCDEFGHI");
    r.setText(DeliveryField::OrdererBarcodeInfo, u"OB-0123456789-ABCDEFGHI");
    r.setText(DeliveryField::SupplierBarcodeInfo, u"SB-0123456789-ABCDEF");
    r.setTagLine(1, u"000000250.000", u"02");
    return r;
}

} // namespace

TEST(PrintCommand, FortyCharacterSymbolsScanWholeOnTheSampleForms)
{
    if (!haveScanTools())
        GTEST_SKIP() << "pdftoppm or zbarimg is not installed";
    QTemporaryDir dir;
    const QString registry = installWith(dir, outputCompany('1', "102851", "3"), {longestLines()});
    const QString usr = dir.path() + QStringLiteral("/Plx90We/Usr/");

    const CliResult run = runCli(registry, {"print", "--eiaj", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList pdfs = pdfLines(run.out);
    ASSERT_EQ(pdfs.size(), 2) << run.out.toStdString() << run.err.toStdString();

    QTemporaryDir pages;
    // The "3N" lines at their longest.
    for (const QString& line : dataColumns(usr + QStringLiteral("E_Tcsv.dat"), kTagBarcodeData.mid(1)))
        EXPECT_EQ(line.size(), 40) << line.toStdString();
    QStringList tagCodes = scanBarcodes(pdfs[1], pages.path());
    QStringList tagData = dataColumns(usr + QStringLiteral("E_Tcsv.dat"), kTagBarcodeData);
    EXPECT_EQ(tagData.size(), 8) << "two tags";
    tagCodes.removeDuplicates();
    tagData.removeDuplicates();
    tagCodes.sort();
    tagData.sort();
    EXPECT_EQ(tagCodes, tagData);

    QStringList slipCodes = scanBarcodes(pdfs[0], pages.path());
    QStringList slipData = dataColumns(usr + QStringLiteral("E_Dcsv.dat"), kSlipBarcodeData);
    EXPECT_EQ(slipData.value(1).size(), 40);
    slipCodes.sort();
    slipData.sort();
    EXPECT_EQ(slipCodes, slipData);
}

TEST(PrintCommand, ASymbolTooWideForItsAreaFailsTheGroupNamingTheLayoutAndItem)
{
    QTemporaryDir dir;
    CustRecord company = outputCompany('1', "102851", "3");
    company.setText(CustField::TagFormFile, u"Narrow_Tag.agr");
    const QString registry = installWith(dir, company, {longestLines()});
    QFile layout(dir.path() + QStringLiteral("/Plx90We/Usr/Narrow_Tag.agr"));
    ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
    static_assert(columnNumber(TagColumn::Barcode3N3Data) == 39); // the "column" below
    layout.write(R"({"version": 1, "page": {"size": "A4"}, "slot": {"width": 105, "height": 99},
        "slots": [{"x": 0, "y": 0}], "items": [
        {"kind": "barcode", "x": 5, "y": 10, "width": 95, "height": 9, "column": 39, "minModule": 0.19}]})");
    layout.close();

    const CliResult run = runCli(registry, {"print", "--eiaj", "--yes"});
    EXPECT_EQ(pdfLines(run.out).size(), 1) << "the slip PDF only";
    // One tag to a sheet in this layout: the confirmation counts two sheets.
    EXPECT_TRUE(run.err.contains(QStringLiteral("出力対象  2件(用紙  2枚)"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("バーコードが帳票定義ファイルの枠に収まりません。(Narrow_Tag.agr: "
                                                "1 件目のデータ、items[0] (列 39) の 40 文字は")))
        << run.err.toStdString();
    EXPECT_TRUE(QDir(dir.path() + QStringLiteral("/Plx90We/Usr/Print"))
                    .entryList({QStringLiteral("荷札_*")}, QDir::Files)
                    .isEmpty());

    // The slips went out, the tags did not: the record waits for its tags.
    QFile data(dir.path() + QStringLiteral("/Plx90We/Prg/E_Deliv.dat"));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const DeliveryRecord after(data.readAll().left(DeliveryRecord::kLength));
    EXPECT_EQ(after.text(DeliveryField::SlipIssued), QStringLiteral("1"));
    EXPECT_EQ(after.text(DeliveryField::TagIssued), QStringLiteral("0"));
    EXPECT_NE(after.text(DeliveryField::Status), QStringLiteral("2"));
}

TEST(PrintCommand, PrintsScannableBarcodesAndIssuesTheRecords)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
        GTEST_SKIP() << "pdftoppm or zbarimg is not installed";
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
    const QString usr = dir.path() + QStringLiteral("/Plx90We/Usr/");

    CustRecord c = outputCompany('1', "102851", "3");
    c.setText(CustField::SlipBarcodeDigits, u"20");
    c.setText(CustField::TagBarcodeDigits, u"20");
    QFile cust(usr + QStringLiteral("Cust.DAT"));
    ASSERT_TRUE(cust.open(QIODevice::WriteOnly));
    cust.write(c.bytes());
    cust.close();
    DeliveryRecord a = due('1', "102851", "HK26120100");
    a.setText(DeliveryField::ItemCode, u"RK73H1JTTD1002F");
    a.setText(DeliveryField::ShipQty, u"000001000.000");
    a.setText(DeliveryField::OrdererBarcodeInfo, u"OB-1");
    a.setTagLine(1, u"000000250.000", u"04");
    DeliveryRecord b = due('1', "102851", "hk-lower"); // not encodable: left out of the barcode data
    b.setText(DeliveryField::ItemCode, u"TLP785");
    QFile data(dir.path() + QStringLiteral("/Plx90We/Prg/E_Deliv.dat"));
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write(a.bytes() + b.bytes());
    data.close();

    const CliResult run = runCli(registry, {"print", "--eiaj", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList pdfs = pdfLines(run.out);
    ASSERT_EQ(pdfs.size(), 2) << run.out.toStdString();
    EXPECT_TRUE(pdfs[0].contains(QStringLiteral("/Usr/Print/納品書_EIAJ_102851_")) &&
                pdfs[0].endsWith(QStringLiteral("_1.pdf")))
        << pdfs[0].toStdString();
    EXPECT_TRUE(pdfs[1].contains(QStringLiteral("/Usr/Print/荷札_EIAJ_102851_")) &&
                pdfs[1].endsWith(QStringLiteral("_1.pdf")))
        << pdfs[1].toStdString();

    QTemporaryDir pages;
    QStringList slipCodes = scanBarcodes(pdfs[0], pages.path());
    QStringList slipData = dataColumns(usr + QStringLiteral("E_Dcsv.dat"), kSlipBarcodeData);
    slipCodes.sort();
    slipData.sort();
    EXPECT_EQ(slipCodes, slipData);
    EXPECT_TRUE(slipData.contains(QStringLiteral("ZHK26120100")));
    EXPECT_TRUE(slipData.contains(QStringLiteral("3N3 5 "))); // the lower-case key left the data

    // Tags of one record repeat the same symbols on a page, which the reader
    // reports once: compare the distinct values.
    QStringList tagCodes = scanBarcodes(pdfs[1], pages.path());
    QStringList tagData = dataColumns(usr + QStringLiteral("E_Tcsv.dat"), kTagBarcodeData);
    EXPECT_EQ(tagData.count(QStringLiteral("ZHK26120100")), 4); // four tags of record a
    tagCodes.removeDuplicates();
    tagData.removeDuplicates();
    tagCodes.sort();
    tagData.sort();
    EXPECT_EQ(tagCodes, tagData);

    // Both documents issued: both records are 発行済.
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray after = data.readAll();
    EXPECT_EQ(DeliveryRecord(after.left(DeliveryRecord::kLength)).text(DeliveryField::Status), QStringLiteral("2"));
    EXPECT_EQ(DeliveryRecord(after.mid(DeliveryRecord::kLength)).text(DeliveryField::Status), QStringLiteral("2"));
}

TEST(PrintCommand, WithoutYesNothingIsIssued)
{
    QTemporaryDir dir;
    const QString registry = dir.path() + QStringLiteral("/registry.ini");
    ASSERT_EQ(runCli(registry, {"install", "--base", dir.path(), "--demo"}).exitCode, 0);
    const QString data = dir.path() + QStringLiteral("/Plx90We/Prg/E_Deliv.dat");
    QFile f(data);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    const CliResult run = runCli(registry, {"print", "--eiaj"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(pdfLines(run.out).isEmpty()) << run.out.toStdString();
    EXPECT_EQ(summaryLines(run.out).last(), QStringLiteral("発行した帳票はありません。"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_EQ(runCli(registry, {"print", "--eiaj", "--orderer", "X"}).exitCode, 2);
    const CliResult none = runCli(registry, {"print", "--korvan", "--orderer", "NONE", "--supplier", "NONE"});
    EXPECT_EQ(none.exitCode, 1);
}

TEST(PrintCommand, ACompanyOfAnUnknownOutputKindFailsTheRunAndKeepsItsRecords)
{
    QTemporaryDir dir;
    const QString registry = installWith(dir, outputCompany('1', "102851", "9"), {due('1', "102851", "K1")});
    const CliResult run = runCli(registry, {"print", "--eiaj", "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("102851 北斗星電機 の出力区分「9」"))) << run.err.toStdString();
    EXPECT_TRUE(summaryLines(run.out).contains(QStringLiteral("発行した帳票はありません。"))) << run.out.toStdString();
    QFile data(dir.path() + QStringLiteral("/Plx90We/Prg/E_Deliv.dat"));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    EXPECT_EQ(data.readAll(), due('1', "102851", "K1").bytes());
}

TEST(PrintCommand, TheSummaryNamesEachCompanyAndAMissingPrinterIsToldOnceBeforeTheQuestions)
{
    QTemporaryDir dir;
    const QString registry = installWith(dir, outputCompany('1', "102851", "3"), {due('1', "102851", "K1")});
    Registry(registry).regPutValue(kRegistryKey, QStringLiteral("PrinterName"), QStringLiteral("PLX90-NO-SUCH"));
    const CliResult run = runCli(registry, {"print", "--eiaj", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString missing = QStringLiteral("プリンタ「PLX90-NO-SUCH」が見つかりません。");
    EXPECT_EQ(run.err.count(missing), 1) << run.err.toStdString();
    EXPECT_LT(run.err.indexOf(missing), run.err.indexOf(QStringLiteral("[質問]"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("発注者  102851  北斗星電機"))) << run.err.toStdString();

    const QStringList summary = summaryLines(run.out);
    ASSERT_EQ(summary.size(), 4) << run.out.toStdString();
    EXPECT_TRUE(summary[0].startsWith(QStringLiteral("納品書 102851 北斗星電機 1件 用紙"))) << summary[0].toStdString();
    EXPECT_TRUE(summary[0].endsWith(QStringLiteral(" 発行")));
    EXPECT_TRUE(summary[1].startsWith(QStringLiteral("荷札 102851 北斗星電機 1件 用紙")));
    EXPECT_TRUE(summary[2].startsWith(QStringLiteral("計 102851 北斗星電機 納品書1件 荷札1件 用紙")));
    EXPECT_TRUE(summary[2].endsWith(QStringLiteral("PDF2件")));
    EXPECT_EQ(summary[3],
              QStringLiteral("プリンタ「PLX90-NO-SUCH」が見つからないため、PDFファイルだけに出力しました。"));
    const QStringList pdfs = pdfLines(run.out);
    ASSERT_EQ(pdfs.size(), 2);
    for (const QString& pdf : pdfs)
        EXPECT_TRUE(QFileInfo(pdf).isAbsolute() && QFileInfo::exists(pdf)) << pdf.toStdString();
}

namespace {

// A CUPS scheduler of the test's own: configuration, spool, logs and its socket
// in a temporary folder, and one queue PLX90PDF, a generic PDF printer whose
// device is a file there. Clients reach it through CUPS_SERVER.
class PrivateCups
{
public:
    PrivateCups()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("cupsd"), {"/usr/sbin", "/sbin"}).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("lpadmin"), {"/usr/sbin", "/usr/bin"}).isEmpty()) {
            m_why = QStringLiteral("cupsd or lpadmin is not installed (scripts/install-deps installs cups)");
            return;
        }
        const QString root = m_dir.path();
        for (const char* sub : {"serverroot", "spool", "cache", "state", "tmp", "log", "out"})
            QDir(root).mkpath(QLatin1String(sub));
        // Run as root, cupsd hands filters to the unprivileged user "lp": they
        // must reach the folders.
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                        QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                        QFileDevice::ExeOther);
        for (const char* open : {"tmp", "out"})
            QProcess::execute(QStringLiteral("chmod"), {"1777", root + u'/' + QLatin1String(open)});
        m_socket = root + QStringLiteral("/cups.sock");
        write(QStringLiteral("cupsd.conf"),
              QStringLiteral("Listen %1\nLogLevel info\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n"
                             "</Policy>\n")
                  .arg(m_socket));
        QString files = QStringLiteral("ServerRoot %1/serverroot\nRequestRoot %1/spool\nCacheDir %1/cache\n"
                                       "StateDir %1/state\nTempDir %1/tmp\nErrorLog %1/log/error_log\n"
                                       "AccessLog %1/log/access_log\nPageLog %1/log/page_log\nFileDevice Yes\n")
                            .arg(root);
        if (::geteuid() != 0) // a user's own scheduler runs everything as that user
            files += QStringLiteral("User %1\n").arg(qEnvironmentVariable("USER"));
        write(QStringLiteral("cups-files.conf"), files);

        m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
        m_cupsd.start(QStringLiteral("cupsd"), {"-f", "-c", root + QStringLiteral("/cupsd.conf"), "-s",
                                                root + QStringLiteral("/cups-files.conf")});
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(m_socket) && m_cupsd.state() != QProcess::NotRunning && waited.elapsed() < 15000)
            m_cupsd.waitForFinished(100);
        if (!QFileInfo::exists(m_socket)) {
            m_why = QStringLiteral("cupsd did not start here: ") + QString::fromUtf8(m_cupsd.readAll()) +
                    QString::fromUtf8(readLog().right(600));
            return;
        }
        m_oldServer = qgetenv("CUPS_SERVER");
        m_hadServer = qEnvironmentVariableIsSet("CUPS_SERVER");
        qputenv("CUPS_SERVER", m_socket.toUtf8());
        m_running = true;
    }
    ~PrivateCups()
    {
        if (m_running) {
            if (m_hadServer)
                qputenv("CUPS_SERVER", m_oldServer);
            else
                qunsetenv("CUPS_SERVER");
        }
        if (m_cupsd.state() != QProcess::NotRunning) {
            m_cupsd.terminate();
            if (!m_cupsd.waitForFinished(10000))
                m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
    bool running() const { return m_running; }
    const QString& whyNot() const { return m_why; }
    QString outputPath() const { return m_dir.path() + QStringLiteral("/out/job.pdf"); }

    // Adds the queue; returns lpadmin's complaint, empty when it was added.
    QString addQueue(const QString& name) const
    {
        QProcess lpadmin;
        lpadmin.setProcessChannelMode(QProcess::MergedChannels);
        lpadmin.start(QStringLiteral("lpadmin"),
                      {"-p", name, "-E", "-v", QStringLiteral("file://") + outputPath(), "-m",
                       QStringLiteral("lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd")});
        lpadmin.waitForFinished(30000);
        return lpadmin.exitCode() == 0 ? QString() : QString::fromUtf8(lpadmin.readAll());
    }
    // Waits until the queue has no job left; false after `ms`.
    bool waitIdle(int ms) const
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ms) {
            QProcess lpstat;
            lpstat.start(QStringLiteral("lpstat"), {"-o"});
            lpstat.waitForFinished(10000);
            if (lpstat.exitCode() == 0 && lpstat.readAllStandardOutput().trimmed().isEmpty() &&
                QFileInfo(outputPath()).size() > 0)
                return true;
            QThread::msleep(200);
        }
        return false;
    }
    QByteArray readLog() const
    {
        QFile log(m_dir.path() + QStringLiteral("/log/error_log"));
        log.open(QIODevice::ReadOnly);
        return log.readAll();
    }

private:
    void write(const QString& name, const QString& text) const
    {
        QFile f(m_dir.path() + u'/' + name);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
    }

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    QString m_socket;
    QString m_why;
    QByteArray m_oldServer;
    bool m_hadServer = false;
    bool m_running = false;
};

} // namespace

TEST(PrintCommand, PrintsThroughARealPrintQueueWhoseOutputScans)
{
    if (!haveScanTools())
        GTEST_SKIP() << "pdftoppm or zbarimg is not installed";
    PrivateCups cups;
    if (!cups.running())
        GTEST_SKIP() << cups.whyNot().toStdString();
    const QString refused = cups.addQueue(QStringLiteral("PLX90PDF"));
    ASSERT_TRUE(refused.isEmpty()) << refused.toStdString();

    // Slips only: one job, one output file.
    QTemporaryDir dir;
    DeliveryRecord a = due('1', "102851", "HK26120100");
    a.setText(DeliveryField::ItemCode, u"RK73H1JTTD1002F");
    a.setText(DeliveryField::OrdererBarcodeInfo, u"OB-1");
    CustRecord company = outputCompany('1', "102851", "1");
    company.setText(CustField::SlipBarcodeDigits, u"20");
    const QString registry = installWith(dir, company, {a});
    Registry(registry).regPutValue(kRegistryKey, QStringLiteral("PrinterName"), QStringLiteral("PLX90PDF"));

    const CliResult run = runCli(registry, {"print", "--eiaj", "--yes"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString() << run.out.toStdString();
    EXPECT_FALSE(run.err.contains(QStringLiteral("見つかりません"))) << run.err.toStdString();
    EXPECT_EQ(summaryLines(run.out).last(), QStringLiteral("プリンタ: PLX90PDF")) << run.out.toStdString();
    const QStringList pdfs = pdfLines(run.out);
    ASSERT_EQ(pdfs.size(), 1) << run.out.toStdString();
    ASSERT_TRUE(cups.waitIdle(60000)) << cups.readLog().right(2000).toStdString();

    // What came out of the queue carries the same symbols as the data and as the PDF.
    QTemporaryDir pages;
    QStringList printed = scanBarcodes(cups.outputPath(), pages.path());
    QStringList data = dataColumns(dir.path() + QStringLiteral("/Plx90We/Usr/E_Dcsv.dat"), kSlipBarcodeData);
    QStringList inPdf = scanBarcodes(pdfs[0], pages.path());
    printed.sort();
    data.sort();
    inPdf.sort();
    EXPECT_FALSE(printed.isEmpty());
    EXPECT_TRUE(data.contains(QStringLiteral("ZHK26120100")));
    EXPECT_EQ(printed, data);
    EXPECT_EQ(printed, inPdf);
}

// An EIAJ and a KORVAN print for the same orderer code in the same second each
// keep a PDF of their own with their own slips, and every record marked issued
// is in a PDF that is there. Started together at the turn of a second, tried
// again should the two runs still straddle one.
TEST(PrintCommand, TwoFormatsPrintingTheSameOrdererInOneSecondEachKeepTheirPdf)
{
    if (!haveScanTools() || QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    struct Format
    {
        const char* flag;
        char kind;
        const char* data;
        const char* layout;
        const char* keyPrefix;
    };
    const Format formats[] = {{"--eiaj", '1', "Prg/E_Deliv.dat", "E_Slip.agr", "EK"},
                              {"--korvan", '2', "Prg/K_Deliv.dat", "K_Slip.agr", "KK"}};
    constexpr int kSlips = 20;
    const auto keysOf = [](const Format& f) {
        QStringList keys;
        for (int i = 1; i <= kSlips; ++i)
            keys << QStringLiteral("%1261208%2").arg(QLatin1String(f.keyPrefix)).arg(i, 2, 10, QLatin1Char('0'));
        return keys;
    };
    static const QRegularExpression stampOf(QStringLiteral("_(\\d{8}-\\d{6})"));

    for (int attempt = 1; attempt <= 5; ++attempt) {
        QTemporaryDir dir;
        const QString registry = dir.path() + QStringLiteral("/registry.ini");
        ASSERT_EQ(runCli(registry, {"install", "--base", dir.path()}).exitCode, 0);
        const QString root = dir.path() + QStringLiteral("/Plx90We/");
        QByteArray companies;
        for (const Format& f : formats) {
            CustRecord c = outputCompany(f.kind, QStringLiteral("102851"), QStringLiteral("1"));
            c.setText(CustField::SlipFormFile, QString::fromLatin1(f.layout));
            companies += c.bytes();
            QByteArray records;
            for (const QString& key : keysOf(f))
                records += due(f.kind, QStringLiteral("102851"), key).bytes();
            QFile data(root + QLatin1String(f.data));
            ASSERT_TRUE(data.open(QIODevice::WriteOnly));
            data.write(records);
        }
        QFile cust(root + QStringLiteral("Usr/Cust.DAT"));
        ASSERT_TRUE(cust.open(QIODevice::WriteOnly));
        cust.write(companies);
        cust.close();

        // At the turn of a second, both at once.
        QThread::msleep(ulong(1000 - QTime::currentTime().msec() + 20));
        QProcess runs[2];
        for (int i = 0; i < 2; ++i) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PLX90_REGISTRY"), registry);
            runs[i].setProcessEnvironment(env);
            runs[i].start(QStringLiteral(PLX90_CLI_PATH), {"print", QLatin1String(formats[i].flag), "--yes"});
        }
        QStringList pdfs;
        for (QProcess& run : runs) {
            ASSERT_TRUE(run.waitForFinished(120000));
            const QString out = QString::fromUtf8(run.readAllStandardOutput());
            ASSERT_EQ(run.exitCode(), 0) << out.toStdString() << run.readAllStandardError().toStdString();
            const QStringList paths = pdfLines(out);
            ASSERT_EQ(paths.size(), 1) << out.toStdString();
            pdfs << paths[0];
        }
        if (stampOf.match(pdfs[0]).captured(1) != stampOf.match(pdfs[1]).captured(1))
            continue; // the two runs began in different seconds: not the case looked for

        EXPECT_NE(pdfs[0], pdfs[1]);
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(formats[i].flag);
            ASSERT_TRUE(QFileInfo::exists(pdfs[i])) << pdfs[i].toStdString();
            QProcess pdftotext;
            pdftotext.start(QStringLiteral("pdftotext"), {pdfs[i], QStringLiteral("-")});
            pdftotext.waitForFinished(60000);
            const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
            for (const QString& key : keysOf(formats[i]))
                EXPECT_TRUE(text.contains(key)) << key.toStdString() << " is not in " << pdfs[i].toStdString();
            for (const QString& key : keysOf(formats[1 - i]))
                EXPECT_FALSE(text.contains(key)) << key.toStdString() << " is in " << pdfs[i].toStdString();
            // Every record is marked issued, and its PDF (checked above) is there.
            QFile data(root + QLatin1String(formats[i].data));
            ASSERT_TRUE(data.open(QIODevice::ReadOnly));
            const QByteArray bytes = data.readAll();
            for (qsizetype at = 0; at < bytes.size(); at += DeliveryRecord::kLength)
                EXPECT_EQ(DeliveryRecord(bytes.mid(at, DeliveryRecord::kLength)).text(DeliveryField::Status),
                          QStringLiteral("2"));
        }
        return;
    }
    FAIL() << "the two prints never started in the same second";
}
