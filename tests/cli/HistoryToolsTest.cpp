// A past print again and the month's billing, through real plx90-cli
// processes on a demo installation: the reprint reads back as the original,
// the billing's totals are the printed slips'.

#include "support/CliRunner.h"

#include "core/text/Cp932.h"
#include "core/text/Decimal.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;
using namespace plx::test;

namespace {

struct Desk
{
    QTemporaryDir dir;
    QString registry = dir.filePath(QStringLiteral("registry.ini"));
    QString base = dir.filePath(QStringLiteral("base"));
    QString file(const QString& relative) const { return base + QStringLiteral("/Plx90We/") + relative; }
};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString tool(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Every page's text and Code 39 symbols, as a reader and a scanner get them.
QStringList readBack(const QString& pdf, const QString& prefix)
{
    QStringList pages;
    tool(QStringLiteral("pdftoppm"), {"-png", "-r", "300", pdf, prefix});
    const QFileInfo base(prefix);
    const QFileInfoList images =
        QDir(base.absolutePath()).entryInfoList({base.fileName() + QStringLiteral("-*.png")}, QDir::Files, QDir::Name);
    for (int page = 1; page <= images.size(); ++page) {
        QStringList symbols = tool(QStringLiteral("zbarimg"),
                                   {"--raw", "-q", "-Sdisable", "-Scode39.enable", images[page - 1].absoluteFilePath()})
                                  .split(u'\n', Qt::SkipEmptyParts);
        symbols.sort();
        pages << tool(QStringLiteral("pdftotext"),
                      {"-layout", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"}) +
                     symbols.join(u'|');
    }
    return pages;
}

} // namespace

TEST(HistoryTools, AReprintReadsBackAsTheOriginalAndTheBillingTotalsThePrintedSlips)
{
    Desk desk;
    ASSERT_EQ(runCli(desk.registry, {"install", "--base", desk.base, "--demo"}).exitCode, 0);
    const QByteArray dataBefore = readAll(desk.file("Prg/E_Deliv.dat"));
    const CliResult print = runCli(desk.registry, {"print", "--eiaj", "--yes"});
    ASSERT_EQ(print.exitCode, 0) << print.err.toStdString();
    const CliResult looked = runCli(desk.registry, {"history", "--eiaj"});
    ASSERT_EQ(looked.exitCode, 0) << looked.err.toStdString();
    QList<QStringList> rows;
    for (const QString& row : looked.out.split(u'\n', Qt::SkipEmptyParts).mid(1))
        rows << row.split(u'\t');
    ASSERT_FALSE(rows.isEmpty());

    // The documents of the first PDF, in the order they were printed.
    const QString original = rows.last().value(15);
    QStringList ids;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
        if (row->value(15) == original)
            ids << row->value(0);
    }
    const QByteArray data = readAll(desk.file("Prg/E_Deliv.dat"));
    const CliResult reprint = runCli(desk.registry, QStringList{"history", "reprint"} + ids);
    ASSERT_EQ(reprint.exitCode, 0) << reprint.err.toStdString();
    const QStringList copies = reprint.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copies.size(), 1) << reprint.out.toStdString();
    EXPECT_TRUE(QFileInfo(copies[0]).fileName().startsWith(QStringLiteral("再発行_"))) << copies[0].toStdString();
    EXPECT_TRUE(tool(QStringLiteral("pdfinfo"), {copies[0]}).contains(QStringLiteral("再発行 ")));
    const QString shots = desk.dir.filePath(QStringLiteral("page"));
    const QStringList before = readBack(original, shots + QStringLiteral("-a"));
    ASSERT_FALSE(before.isEmpty());
    EXPECT_TRUE(before.first().contains(u'|')) << "the original's symbols are read";
    EXPECT_EQ(readBack(copies[0], shots + QStringLiteral("-b")), before);
    // A reprint changes no data file.
    EXPECT_EQ(readAll(desk.file("Prg/E_Deliv.dat")), data);
    EXPECT_NE(data, dataBefore);

    // Unknown IDs print nothing.
    const CliResult unknown = runCli(desk.registry, {"history", "reprint", ids.first(), "999999"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("999999"))) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(runCli(desk.registry, {"history", "reprint", "x1"}).exitCode, 2);

    // The month of the first slip: what the slips of that month add up to, per
    // currency, against the billing's total rows.
    QString month;
    QMap<QString, Decimal> printed; // currency -> amount with tax
    for (const QStringList& row : rows) {
        if (row.value(2) == QStringLiteral("納品書") && month.isEmpty())
            month = row.value(14).left(7);
    }
    ASSERT_FALSE(month.isEmpty());
    int slips = 0;
    for (const QStringList& row : rows) {
        if (row.value(2) != QStringLiteral("納品書") || !row.value(14).startsWith(month))
            continue;
        ++slips;
        const QString currency = row.value(13).isEmpty() ? QStringLiteral("JPY") : row.value(13);
        printed[currency] = printed.value(currency) + *Decimal::parse(row.value(12));
    }
    struct Case
    {
        QStringList options;
        const char* file;
    };
    const Case cases[] = {{{"--format", "xlsx"}, "billing.xlsx"},
                          {{"--format", "csv"}, "billing.csv"},
                          {{"--format", "csv", "--encoding", "utf-8"}, "billing-utf8.csv"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString out = desk.dir.filePath(QString::fromLatin1(c.file));
        const CliResult exported = runCli(desk.registry, QStringList{"history", "export", "--eiaj", "--month", month} +
                                                             c.options + QStringList{out});
        ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
        EXPECT_TRUE(exported.out.contains(QStringLiteral("%1件").arg(slips))) << exported.out.toStdString();
        // The rows as text cells, whatever the file.
        QList<QStringList> table;
        if (QString::fromLatin1(c.file).endsWith(QLatin1String(".xlsx"))) {
            const char* script = "import sys, openpyxl\n"
                                 "for row in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(values_only=True):\n"
                                 "    print('\\t'.join('' if v is None else str(v) for v in row))\n";
            for (const QString& line :
                 tool(QStringLiteral("/usr/bin/python3"), {"-c", QString::fromLatin1(script), out}).split(u'\n'))
                table << line.split(u'\t');
        } else {
            const QByteArray bytes = readAll(out);
            const bool utf8 = bytes.startsWith("\xEF\xBB\xBF");
            EXPECT_EQ(utf8, c.options.contains(QStringLiteral("utf-8")));
            const QString text = utf8 ? QString::fromUtf8(bytes.mid(3)) : cp932::decode(bytes);
            EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
            for (const QString& line : text.split(QStringLiteral("\r\n")))
                table << line.split(u',');
        }
        QMap<QString, Decimal> totals;
        for (const QStringList& row : table) {
            if (row.value(4).startsWith(QStringLiteral("合計")))
                totals[row.value(13)] = totals.value(row.value(13)) + *Decimal::parse(row.value(12));
        }
        EXPECT_EQ(totals, printed);
    }

    // ship --issue (the marked run, as at an entry window's close) records its
    // documents too: an unprocessed demo record shipped with two tags.
    const QString csv = desk.dir.filePath(QStringLiteral("ship.csv"));
    QFile ship(csv);
    ASSERT_TRUE(ship.open(QIODevice::WriteOnly));
    ship.write("OrdererCode,SupplierCode,DeliveryKeyNo,ShipQty,ShipDate,PlannedDeliveryDate,TagLines\n"
               "102851,M40217,HK26120100,10000,2026/12/09,20261210,5000x2\n");
    ship.close();
    const CliResult shipped = runCli(desk.registry, {"ship", "--eiaj", "--issue", "--yes", csv});
    ASSERT_EQ(shipped.exitCode, 0) << shipped.out.toStdString() << shipped.err.toStdString();
    QStringList documents;
    for (const QString& row : runCli(desk.registry, {"history", "--eiaj", "--key", "HK26120100"})
                                  .out.split(u'\n', Qt::SkipEmptyParts)
                                  .mid(1))
        documents << row.section(u'\t', 2, 2) + u' ' + row.section(u'\t', 14, 14);
    EXPECT_EQ(documents, (QStringList{"荷札 2026-12-09", "納品書 2026-12-09"}));
}
