// The history of issued documents: what recording adds to a normal print run
// of 50 companies x 199 records (slip and one tag each): the median of five
// runs with the history against five without it, taking turns, the bytes a document
// takes, and a look-up by delivery key and a month's documents in a history
// of N documents (default 100,000; --documents 1000000 for the full size,
// about 1.3 GB of disk in a temporary folder).
//
//   build-bench/bench/bench_history [--documents N]

#include "billing/BillingExport.h"
#include "cli/Installer.h"
#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ProcessSettings.h"
#include "core/Registry.h"
#include "core/StartUp.h"
#include "history/HistoryStore.h"
#include "output/PrintRun.h"
#include "report/PdfReportEngine.h"
#include "report/ReportApplication.h"
#include "store/CustRecord.h"
#include "store/DeliveryRecord.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

class YesDialogs : public plx::Dialogs
{
public:
    plx::Answer show(plx::MessageIcon icon, const QString& text, plx::MessageButtons buttons,
                     plx::DefaultButton) override
    {
        if (icon != plx::MessageIcon::Question)
            std::fprintf(stderr, "%s\n", qPrintable(text));
        return buttons == plx::MessageButtons::Ok ? plx::kAnswerOk : plx::kAnswerYes;
    }
};

constexpr int kCompanies = 50;
constexpr int kPerCompany = 199;

QByteArray companies()
{
    QByteArray out;
    for (int c = 0; c < kCompanies; ++c) {
        plx::CustRecord r;
        r.setProtocolByte('1');
        r.setText(plx::CustField::OrdererCode, QStringLiteral("C%1").arg(c, 5, 10, QLatin1Char('0')));
        r.setText(plx::CustField::SupplierCode, u"M40217");
        r.setText(plx::CustField::OrdererName, QStringLiteral("株式会社北斗星電機 第%1工場").arg(c + 1));
        r.setText(plx::CustField::SupplierName, u"株式会社メリディア電子");
        r.setText(plx::CustField::KanjiUse, u"1");
        r.setText(plx::CustField::OutputKind, u"3");
        r.setText(plx::CustField::SlipFormFile, u"E_Slip.agr");
        r.setText(plx::CustField::TagFormFile, u"E_Tag.agr");
        r.setText(plx::CustField::SlipBarcodeDigits, u"20");
        r.setText(plx::CustField::TagBarcodeDigits, u"20");
        out += r.bytes();
    }
    return out;
}

QByteArray records(int run)
{
    QByteArray data;
    for (int i = 0; i < kPerCompany; ++i) {
        for (int c = 0; c < kCompanies; ++c) {
            plx::DeliveryRecord r;
            r.setKind('1');
            r.setText(plx::DeliveryField::OrdererCode, QStringLiteral("C%1").arg(c, 5, 10, QLatin1Char('0')));
            r.setText(plx::DeliveryField::SupplierCode, u"M40217");
            r.setText(plx::DeliveryField::DeliveryKeyNo,
                      QStringLiteral("K%1%2%3").arg(run).arg(c).arg(i, 6, 10, QLatin1Char('0')));
            r.setText(plx::DeliveryField::Status, u"1");
            r.setText(plx::DeliveryField::SlipIssued, u"0");
            r.setText(plx::DeliveryField::TagIssued, u"0");
            r.setText(plx::DeliveryField::OrderNo, QStringLiteral("PO-%1").arg(i));
            r.setText(plx::DeliveryField::ItemCode, u"RK73H1JTTD1002F");
            r.setText(plx::DeliveryField::ItemNameKanji, u"チップ抵抗　１０ｋΩ");
            r.setText(plx::DeliveryField::ShipQty, u"000001000.000");
            r.setText(plx::DeliveryField::UnitPrice, u"00000000001.500");
            r.setText(plx::DeliveryField::AmountExclTax, u"0000001500");
            r.setText(plx::DeliveryField::TaxAmount, u"0000000150");
            r.setText(plx::DeliveryField::AmountInclTax, u"0000001650");
            r.setText(plx::DeliveryField::DueDate, u"20261224");
            r.setText(plx::DeliveryField::ShipDate, u"20261207");
            r.setText(plx::DeliveryField::Currency, u"JPY");
            r.setText(plx::DeliveryField::PriceDisplayClass, u"2");
            r.clearTagLines();
            r.setTagLine(1, u"000001000.000", u"01");
            data += r.bytes();
        }
    }
    return data;
}

// A print run's recorder that keeps nothing: the run as it was without the
// history.
class NoRecorder : public plx::IssueRecorder
{
public:
    void open() override {}
    void beginGroup(const plx::GroupPrint&, plx::OutputDocument, const QList<std::pair<int, plx::DeliveryRecord>>&,
                    const QString&) override
    {
    }
    void awaitGroup(const QString&) override {}
    void commitGroup() override {}
    void discardGroup() override {}
    void finish() override {}
};

int countDocuments(const QString& path)
{
    if (!QFileInfo::exists(path))
        return 0;
    plx::HistoryStore history(path);
    history.open();
    return history.documentCount(false);
}

qint64 sizeWithWal(const QString& path)
{
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

} // namespace

int main(int argc, char* argv[])
{
    plx::applyProcessSettings();
    const auto app = plx::report::makePrintingApplication(argc, argv);
    int documents = 100000;
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QStringLiteral("--documents")) {
        documents = args[2].toInt();
    } else if (args.size() != 1) {
        std::fprintf(stderr, "usage: bench_history [--documents N]\n");
        return 2;
    }
    QTemporaryDir dir;
    plx::Registry registry(dir.path() + QStringLiteral("/registry.ini"));
    plx::Installer installer(registry, {dir.path(), QStringLiteral("EIAJ"), true, true, false});
    if (!installer.run())
        return 1;
    YesDialogs dialogs;
    plx::SystemClock clock;
    plx::Environment env(dialogs, clock, registry);
    plx::StartUp(env, {false});
    QFile cust(env.paths.custPath);
    cust.open(QIODevice::WriteOnly);
    cust.write(companies());
    cust.close();

    // 1. The print run as the desk runs it, with the history and without it
    // (a recorder that keeps nothing), taking turns so the machine's changing
    // load falls on both alike.
    const QString printFolder = plx::PdfReportEngine::printFolder(env.paths.slipListPath(1));
    std::printf("print run of %d companies x %d records (slip and tag each)\n", kCompanies, kPerCompany);
    constexpr int kTurns = 5;
    QList<double> with;
    QList<double> without;
    qint64 documentsRecorded = 0;
    qint64 bytesRecorded = 0;
    for (int turn = 1; turn <= 2 * kTurns; ++turn) {
        const bool recording = turn % 2 == 1;
        QFile file(env.paths.eDelivPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(records(turn));
        file.close();
        QDir(printFolder).removeRecursively();
        const qint64 sizeBefore = sizeWithWal(env.paths.historyPath);
        const int documentsBefore = countDocuments(env.paths.historyPath);
        plx::PdfReportEngine engine(clock);
        NoRecorder nothing;
        QElapsedTimer t;
        t.start();
        const plx::PrintRunResult result =
            plx::runNormalPrint(env, plx::Protocol::Eiaj, engine, {}, {}, nullptr, recording ? nullptr : &nothing);
        const double seconds = t.nsecsElapsed() / 1e9;
        if (!result.issued) {
            std::fprintf(stderr, "the run issued nothing: %s\n", qPrintable(result.summaryLines().join(u'\n')));
            return 1;
        }
        (recording ? with : without).append(seconds);
        if (recording) {
            documentsRecorded += countDocuments(env.paths.historyPath) - documentsBefore;
            bytesRecorded += sizeWithWal(env.paths.historyPath) - sizeBefore;
        }
        std::printf("  run %d %s the history: %.2f s\n", turn, recording ? "with" : "without", seconds);
    }
    std::sort(with.begin(), with.end());
    std::sort(without.begin(), without.end());
    const double withMedian = with.at(kTurns / 2);
    const double withoutMedian = without.at(kTurns / 2);
    std::printf("median of %d runs: %.2f s with the history, %.2f s without: recording adds %.1f %%\n", kTurns,
                withMedian, withoutMedian, 100.0 * (withMedian - withoutMedian) / withoutMedian);
    std::printf("%lld documents recorded, %.0f bytes per document\n", static_cast<long long>(documentsRecorded),
                double(bytesRecorded) / double(std::max<qint64>(1, documentsRecorded)));

    // 2. Look-ups in a history of `documents` documents.
    plx::HistoryStore big(dir.path() + QStringLiteral("/big.db"));
    big.open();
    plx::HistoryStore source(env.paths.historyPath);
    source.open();
    plx::HistoryQuery first;
    first.withContent = true;
    const plx::HistoryDocument model = source.find(first).value(0);
    QElapsedTimer t;
    t.start();
    // Copies of `from` in batches of 5,000 (one run each): the key, company
    // and ship date of copy i as `firstDay` + i modulo `days`.
    const auto fill = [](plx::HistoryStore& store, const plx::HistoryDocument& from, int count, const QString& prefix,
                         QDate firstDay, int days) {
        constexpr int kBatch = 5000;
        for (int at = 0; at < count; at += kBatch) {
            QList<plx::HistoryDocument> batch;
            for (int i = at; i < std::min(count, at + kBatch); ++i) {
                plx::HistoryDocument d = from;
                d.deliveryKey = prefix + QStringLiteral("%1").arg(i, 9, 10, QLatin1Char('0'));
                d.ordererCode = QStringLiteral("C%1").arg(i % kCompanies, 5, 10, QLatin1Char('0'));
                d.shipDate = firstDay.addDays(i % days).toString(QStringLiteral("yyyyMMdd"));
                batch.append(d);
            }
            plx::HistoryRun run;
            store.addPending(run, batch);
            QList<qint64> ids;
            for (const plx::HistoryDocument& d : batch)
                ids.append(d.id);
            store.commit(run.id, ids);
        }
    };
    // Spread over three years of ship dates.
    fill(big, model, documents, QStringLiteral("B"), QDate(2024, 1, 1), 1095);
    std::printf("history of %d documents: written in %.1f s, %.0f bytes per document\n", documents,
                t.nsecsElapsed() / 1e9, double(sizeWithWal(dir.path() + QStringLiteral("/big.db"))) / documents);
    plx::HistoryQuery byKey;
    byKey.deliveryKey = QStringLiteral("B%1").arg(documents / 2, 9, 10, QLatin1Char('0'));
    t.start();
    const qsizetype keyFound = big.find(byKey).size();
    std::printf("look-up by key: %lld found in %.2f ms\n", static_cast<long long>(keyFound), t.nsecsElapsed() / 1e6);
    plx::HistoryQuery month;
    month.fromShipDate = QStringLiteral("20251201");
    month.toShipDate = QStringLiteral("20251231");
    t.start();
    const qsizetype monthFound = big.find(month).size();
    std::printf("a month by ship date: %lld found in %.2f ms\n", static_cast<long long>(monthFound),
                t.nsecsElapsed() / 1e6);

    // 3. The month's billing of 30,000 slips of 50 companies, from the look-up
    // to the file written.
    plx::HistoryStore billed(dir.path() + QStringLiteral("/month.db"));
    billed.open();
    {
        plx::HistoryDocument slip = model;
        for (const plx::HistoryDocument& d : source.find(first)) {
            if (d.kind == plx::OutputDocument::Slip) {
                slip = d;
                break;
            }
        }
        fill(billed, slip, 30000, QStringLiteral("M"), QDate(2025, 12, 1), 31);
    }
    for (const auto& [format, name] :
         {std::pair{plx::BillingFormat::Xlsx, "billing.xlsx"}, std::pair{plx::BillingFormat::Csv, "billing.csv"}}) {
        t.start();
        const QList<plx::CompanyBilling> companies = plx::groupBilling(plx::billingLinesOf(billed.find(month)));
        QString why;
        const QString path = dir.path() + QLatin1Char('/') + QLatin1String(name);
        if (!plx::writeBilling(companies, QStringLiteral("2025-12"), format, plx::BillingEncoding::Cp932, path, why)) {
            std::fprintf(stderr, "the export failed: %s\n", qPrintable(why));
            return 1;
        }
        qsizetype lines = 0;
        for (const plx::CompanyBilling& company : companies)
            lines += company.lines.size();
        std::printf("a month's billing (%s): %lld lines of %lld companies in %.2f s, %lld bytes\n", name,
                    static_cast<long long>(lines), static_cast<long long>(companies.size()), t.nsecsElapsed() / 1e9,
                    static_cast<long long>(QFileInfo(path).size()));
    }
    return 0;
}
