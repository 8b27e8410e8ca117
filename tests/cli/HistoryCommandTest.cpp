// The history of issued documents through real plx90-cli processes: what a
// print records and `history` shows, a history that cannot be written, and
// print runs killed at random moments.

#include "support/CliRunner.h"
#include "support/RecordBuilders.h"

#include "core/text/Cp932.h"
#include "history/HistoryStore.h"
#include "output/DocumentData.h"
#include "output/OutputSelection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>

using namespace plx;
using namespace plx::test;

namespace {

using F = DeliveryField;

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Installation
{
    QTemporaryDir dir;
    QString registry = dir.filePath(QStringLiteral("registry.ini"));
    QString base = dir.filePath(QStringLiteral("base"));
    QString usr() const { return base + QStringLiteral("/Plx90We/Usr/"); }
    QString eDeliv() const { return base + QStringLiteral("/Plx90We/Prg/E_Deliv.dat"); }
    QString history() const { return usr() + QStringLiteral("History.db"); }
};

// A record's document as `history` prints it, from the record itself:
// document, key, shipped quantity, unit price, the three amounts, currency.
QString documentLine(const DeliveryRecord& r, bool tag)
{
    const QString currency = r.text(F::Currency).trimmed();
    const bool yen = currency.isEmpty() || currency == QLatin1String("JPY");
    const auto amount = [&](F yenField, F other) { return plainNumber(r.text(yen ? yenField : other)); };
    return QStringList{tag ? QStringLiteral("荷札") : QStringLiteral("納品書"),
                       r.text(F::OrdererCode).trimmed(),
                       r.text(F::SupplierCode).trimmed(),
                       r.text(F::DeliveryKeyNo).trimmed(),
                       r.text(F::OrderNo).trimmed(),
                       r.text(F::ItemCode).trimmed(),
                       plainNumber(r.text(F::ShipQty)),
                       amount(F::UnitPrice, F::UnitPriceX),
                       amount(F::AmountExclTax, F::AmountExclTaxX),
                       amount(F::TaxAmount, F::TaxAmountX),
                       amount(F::AmountInclTax, F::AmountInclTaxX),
                       currency}
        .join(u'\t');
}

// The documents a print issued, by comparing the data file before and after:
// a slip for each record it marked slip-issued, tags for each it marked
// tag-issued that has tags.
QStringList issuedBetween(const QByteArray& before, const QByteArray& after)
{
    const QList<DeliveryRecord> was = recordsOf(before);
    const QList<DeliveryRecord> now = recordsOf(after);
    QStringList out;
    for (qsizetype i = 0; i < now.size() && i < was.size(); ++i) {
        if (!now[i].isLiveOf(Protocol::Eiaj))
            continue;
        if (now[i].text(F::SlipIssued) == QLatin1String("1") && was[i].text(F::SlipIssued) != QLatin1String("1"))
            out << documentLine(now[i], false);
        if (now[i].text(F::TagIssued) == QLatin1String("1") && was[i].text(F::TagIssued) != QLatin1String("1") &&
            OutputSelection::countTags(now[i]) > 0)
            out << documentLine(now[i], true);
    }
    out.sort();
    return out;
}

// The rows of `history`'s output (header left out) as documentLine gives them.
QStringList historyLines(const QString& out)
{
    QStringList rows = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList lines;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList c = rows[i].split(QLatin1Char('\t'));
        lines << QStringList{c.value(2), c.value(3), c.value(4),  c.value(5),  c.value(6),  c.value(7),
                             c.value(8), c.value(9), c.value(10), c.value(11), c.value(12), c.value(13)}
                     .join(u'\t');
    }
    lines.sort();
    return lines;
}

} // namespace

// A print records exactly the documents it issued, with the amounts the
// records hold; the look-up selects by its conditions; deleting the records
// takes nothing from the history.
TEST(HistoryCommand, ShowsWhatAPrintIssuedAndKeepsItAfterDeletion)
{
    Installation in;
    ASSERT_EQ(runCli(in.registry, {"install", "--base", in.base, "--demo"}).exitCode, 0);
    const QByteArray before = readAll(in.eDeliv());
    const CliResult print = runCli(in.registry, {"print", "--eiaj", "--yes"});
    ASSERT_EQ(print.exitCode, 0) << print.err.toStdString();
    const QStringList issued = issuedBetween(before, readAll(in.eDeliv()));
    ASSERT_FALSE(issued.isEmpty());

    const CliResult all = runCli(in.registry, {"history", "--eiaj"});
    ASSERT_EQ(all.exitCode, 0) << all.err.toStdString();
    const QStringList rows = all.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(rows.value(0),
              QStringLiteral("ID\t発行日時\t帳票\t発注者ｺｰﾄﾞ\t受注者ｺｰﾄﾞ\t納入ｷｰ\t注文番号\t品番\t出荷数量\t単"
                             "価\t金額\t消費税額\t税込金額\t通貨\t出荷日\tPDF\tﾍﾟｰｼﾞ"));
    EXPECT_EQ(historyLines(all.out), issued);
    // Newest first, each naming a PDF the print wrote.
    const QStringList pdfs = pdfLines(print.out);
    qint64 last = std::numeric_limits<qint64>::max();
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList c = rows[i].split(QLatin1Char('\t'));
        EXPECT_LT(c[0].toLongLong(), last);
        last = c[0].toLongLong();
        EXPECT_TRUE(pdfs.contains(c[15])) << c[15].toStdString();
        EXPECT_GE(c[16].toInt(), 1);
    }
    // The page is where the document begins: its key is printed there and
    // not on the page before.
    const auto pageText = [](const QString& pdf, int page) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
        text.waitForFinished(60000);
        return QString::fromUtf8(text.readAllStandardOutput());
    };
    for (qsizetype i = 1; i < rows.size(); ++i) {
        const QStringList c = rows[i].split(QLatin1Char('\t'));
        const int page = c[16].toInt();
        EXPECT_TRUE(pageText(c[15], page).contains(c[5])) << c[5].toStdString() << " page " << page;
        if (page > 1) {
            EXPECT_FALSE(pageText(c[15], page - 1).contains(c[5])) << c[5].toStdString() << " page " << page;
        }
    }
    // The log tells that the history was begun.
    const QString log = cp932::decode(readAll(in.base + QStringLiteral("/Plx90We/Log/Deliv.log")));
    EXPECT_TRUE(log.contains(QStringLiteral("履歴ﾌｧｲﾙがないため新しく作成しました"))) << log.toStdString();

    // The conditions, against the rows they must give.
    const QStringList first = rows.value(1).split(QLatin1Char('\t'));
    const QString shipDate = first[14];
    struct Case
    {
        QStringList args;
        std::function<bool(const QStringList&)> keeps;
    };
    const QList<Case> cases = {
        {{"--key", first[5]}, [&](const QStringList& c) { return c[5] == first[5]; }},
        {{"--order-no", first[6]}, [&](const QStringList& c) { return c[6] == first[6]; }},
        {{"--item", first[7]}, [&](const QStringList& c) { return c[7] == first[7]; }},
        {{"--orderer", first[3], "--supplier", first[4]},
         [&](const QStringList& c) { return c[3] == first[3] && c[4] == first[4]; }},
        {{"--from", shipDate}, [&](const QStringList& c) { return c[14] >= shipDate; }},
        {{"--to", QString(shipDate).remove(u'-')}, [&](const QStringList& c) { return c[14] <= shipDate; }},
        {{"--from", shipDate, "--to", shipDate}, [&](const QStringList& c) { return c[14] == shipDate; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QStringList wanted = {rows[0]};
        for (qsizetype i = 1; i < rows.size(); ++i) {
            if (c.keeps(rows[i].split(QLatin1Char('\t'))))
                wanted << rows[i];
        }
        const CliResult found = runCli(in.registry, QStringList{"history", "--eiaj"} + c.args);
        EXPECT_EQ(found.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), wanted);
        EXPECT_GT(wanted.size(), 1);
    }
    EXPECT_EQ(runCli(in.registry, {"history", "--eiaj", "--from", "2026-02-30"}).exitCode, 2);

    // Deleting the issued records leaves the history as it was.
    const CliResult deleted = runCli(in.registry, {"delete", "--eiaj", "--issued-only", "--yes"});
    ASSERT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(runCli(in.registry, {"history", "--eiaj"}).out, all.out);
}

// A history that cannot be opened for writing stops the print before anything
// is printed or marked, with a message that says so.
TEST(HistoryCommand, AnUnwritableHistoryStopsThePrintBeforeAnyMark)
{
    Installation in;
    ASSERT_EQ(runCli(in.registry, {"install", "--base", in.base, "--demo"}).exitCode, 0);
    ASSERT_TRUE(QDir().mkpath(in.history())); // a folder where the file should be
    const QByteArray before = readAll(in.eDeliv());
    const CliResult print = runCli(in.registry, {"print", "--eiaj", "--yes"});
    EXPECT_EQ(print.exitCode, 1);
    EXPECT_TRUE(print.err.contains(QStringLiteral("発行履歴"))) << print.err.toStdString();
    EXPECT_EQ(readAll(in.eDeliv()), before);
    EXPECT_TRUE(pdfLines(print.out).isEmpty()) << print.out.toStdString();
}

// A damaged history is set aside under a name that says so, named in a
// message, and the print goes on into a new one.
TEST(HistoryCommand, ADamagedHistoryIsSetAsideAndThePrintGoesOn)
{
    Installation in;
    ASSERT_EQ(runCli(in.registry, {"install", "--base", in.base, "--demo"}).exitCode, 0);
    QFile damaged(in.history());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'z'));
    damaged.close();
    const CliResult print = runCli(in.registry, {"print", "--eiaj", "--yes"});
    EXPECT_EQ(print.exitCode, 0) << print.err.toStdString();
    const QStringList aside = QDir(in.usr()).entryList({QStringLiteral("History.db.damaged-*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readAll(in.usr() + aside.first()), QByteArray(4096, 'z'));
    EXPECT_TRUE(print.err.contains(aside.first())) << print.err.toStdString();
    EXPECT_TRUE(cp932::decode(readAll(in.base + QStringLiteral("/Plx90We/Log/Deliv.log"))).contains(aside.first()));
    EXPECT_GT(runCli(in.registry, {"history", "--eiaj"}).out.count(QLatin1Char('\n')), 1);
}

// Print runs killed with SIGKILL at random moments: after the next program's
// start the history and the data file agree. Every record the run marked
// issued has its committed document, and no document names a record the file
// does not show issued; nothing is left pending.
TEST(HistoryCommand, KilledPrintRunsLeaveHistoryAndDataFileAgreeing)
{
    Installation in;
    ASSERT_EQ(runCli(in.registry, {"install", "--base", in.base, "--demo"}).exitCode, 0);
    const QByteArray initial = readAll(in.eDeliv());
    // The kills fall between the start of a program (as long as a list
    // takes) and the end of a whole run here, where the run prints and marks.
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runCli(in.registry, {"list", "--eiaj"}).exitCode, 0);
    const int startMs = int(timer.elapsed() * 0.8);
    timer.start();
    ASSERT_EQ(runCli(in.registry, {"print", "--eiaj", "--yes"}).exitCode, 0);
    const int runMs = std::max<int>(startMs + 50, int(timer.elapsed() * 1.2));
    const qsizetype whole = issuedBetween(initial, readAll(in.eDeliv())).size();

    constexpr int kTrials = 40;
    int none = 0, part = 0, all = 0; // how much of the run the kills let through
    for (int trial = 0; trial < kTrials; ++trial) {
        SCOPED_TRACE(trial);
        // A fresh start: the data file as installed, no history, no PDFs.
        for (const QString& name : QDir(in.usr()).entryList({QStringLiteral("History.db*")}, QDir::Files))
            QFile::remove(in.usr() + name);
        QDir(in.usr() + QStringLiteral("Print")).removeRecursively();
        {
            QFile f(in.eDeliv());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(initial);
        }
        QProcess victim;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PLX90_REGISTRY"), in.registry);
        victim.setProcessEnvironment(env);
        victim.start(QStringLiteral(PLX90_CLI_PATH), {"print", "--eiaj", "--yes"});
        ASSERT_TRUE(victim.waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(startMs, runMs));
        victim.kill();
        victim.waitForFinished();

        // Any program that starts settles what the run left.
        ASSERT_EQ(runCli(in.registry, {"list", "--eiaj"}).exitCode, 0);

        const QByteArray after = readAll(in.eDeliv());
        const QStringList issued = issuedBetween(initial, after);
        HistoryStore history(in.history());
        if (!QFile::exists(in.history())) {
            EXPECT_TRUE(issued.isEmpty()) << issued.join(u'\n').toStdString();
            ++none;
            continue;
        }
        history.open();
        EXPECT_EQ(history.documentCount(true), 0);
        QStringList recorded;
        for (const HistoryDocument& d : history.find({})) {
            recorded << QStringList{d.kind == OutputDocument::Tag ? QStringLiteral("荷札") : QStringLiteral("納品書"),
                                    d.ordererCode,
                                    d.supplierCode,
                                    d.deliveryKey,
                                    d.orderNo,
                                    d.itemCode,
                                    d.shipQty,
                                    d.unitPrice,
                                    d.amount,
                                    d.tax,
                                    d.amountWithTax,
                                    d.currency}
                            .join(u'\t');
        }
        recorded.sort();
        EXPECT_EQ(recorded, issued);
        ++(issued.isEmpty() ? none : issued.size() < whole ? part : all);
    }
    std::printf("killed runs: %d marked nothing, %d part, %d all\n", none, part, all);
}
