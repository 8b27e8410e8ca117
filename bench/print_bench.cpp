// A normal print run of 50 companies x N records to PDF: every record gets its
// slip and one tag. Prints slips and tags per second and peak memory, for
// 2,500, 5,000 and 10,000 records.
//
//   build-bench/bench/bench_print [--records N] [--keep DIR]
//
// --records N runs 50 companies x N/50 records only (for profiling); --keep DIR
// copies the PDFs of the last run to DIR, to compare them before and after a change.

#include "cli/Installer.h"
#include "core/Clock.h"
#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ProcessSettings.h"
#include "core/Registry.h"
#include "core/StartUp.h"
#include "output/PrintRun.h"
#include "report/PdfReportEngine.h"
#include "report/ReportApplication.h"
#include "store/CustRecord.h"
#include "store/DeliveryRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

class YesDialogs : public plx::Dialogs
{
public:
    plx::Answer show(plx::MessageIcon, const QString&, plx::MessageButtons buttons, plx::DefaultButton) override
    {
        return buttons == plx::MessageButtons::Ok ? plx::kAnswerOk : plx::kAnswerYes;
    }
};

// The program's engine, timing each kind of document it prints.
class TimingEngine : public plx::ReportControl
{
public:
    explicit TimingEngine(const plx::Clock& clock) : m_engine(clock) {}
    bool print(const plx::PrintJob& job, QString& error) override
    {
        QElapsedTimer t;
        t.start();
        const bool ok = m_engine.print(job, error);
        const bool slip = job.document == plx::PrintJob::Document::Slip;
        (slip ? slipSeconds : tagSeconds) += t.nsecsElapsed() / 1e9;
        if (ok)
            (slip ? slips : tags) += m_engine.lastDocumentCount();
        return ok;
    }
    double slipSeconds = 0, tagSeconds = 0;
    int slips = 0, tags = 0;

private:
    plx::PdfReportEngine m_engine;
};

double peakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char* argv[])
{
    // As the programs do: the run's figures are the programs' figures.
    plx::applyProcessSettings();
    const auto app = plx::report::makePrintingApplication(argc, argv);
    QList<int> perCompanyRuns{50, 100, 200};
    QString keepFolder;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--records")) {
            perCompanyRuns = {std::max(1, args[i + 1].toInt() / 50)};
        } else if (args[i] == QStringLiteral("--keep")) {
            keepFolder = args[i + 1];
        } else {
            std::fprintf(stderr, "usage: bench_print [--records N] [--keep DIR]\n");
            return 2;
        }
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

    QByteArray companies;
    for (int c = 0; c < 50; ++c) {
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
        companies += r.bytes();
    }
    QFile cust(env.paths.custPath);
    cust.open(QIODevice::WriteOnly);
    cust.write(companies);
    cust.close();

    const QString printFolder = plx::PdfReportEngine::printFolder(env.paths.slipListPath(1));
    std::printf("%-8s %10s %8s %10s %8s %10s %6s %9s\n", "records", "run s", "slips", "slips/s", "tags", "tags/s",
                "pdfs", "peak MB");
    for (int perCompany : perCompanyRuns) {
        QByteArray data;
        for (int i = 0; i < perCompany; ++i) {
            for (int c = 0; c < 50; ++c) {
                plx::DeliveryRecord r;
                r.setKind('1');
                r.setText(plx::DeliveryField::OrdererCode, QStringLiteral("C%1").arg(c, 5, 10, QLatin1Char('0')));
                r.setText(plx::DeliveryField::SupplierCode, u"M40217");
                r.setText(plx::DeliveryField::DeliveryKeyNo,
                          QStringLiteral("K%1%2").arg(c).arg(i, 6, 10, QLatin1Char('0')));
                r.setText(plx::DeliveryField::Status, u"1");
                r.setText(plx::DeliveryField::SlipIssued, u"0");
                r.setText(plx::DeliveryField::TagIssued, u"0");
                r.setText(plx::DeliveryField::OrderNo, QStringLiteral("PO-%1").arg(i));
                r.setText(plx::DeliveryField::ItemCode, u"RK73H1JTTD1002F");
                r.setText(plx::DeliveryField::ItemNameKanji, u"チップ抵抗　１０ｋΩ");
                r.setText(plx::DeliveryField::ShipQty, u"000001000.000");
                r.setText(plx::DeliveryField::OrderQty, u"000001000.000");
                r.setText(plx::DeliveryField::DueDate, u"20261224");
                r.setText(plx::DeliveryField::ShipDate, u"20261207");
                r.setText(plx::DeliveryField::Currency, u"JPY");
                r.setText(plx::DeliveryField::PriceDisplayClass, u"2");
                r.clearTagLines();
                r.setTagLine(1, u"000001000.000", u"01");
                data += r.bytes();
            }
        }
        QFile file(env.paths.eDelivPath);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(data);
        file.close();

        // Each run starts with an empty print folder.
        QDir(printFolder).removeRecursively();
        TimingEngine engine(clock);
        QElapsedTimer t;
        t.start();
        const plx::PrintRunResult result = plx::runNormalPrint(env, plx::Protocol::Eiaj, engine);
        const double seconds = t.nsecsElapsed() / 1e9;
        std::printf("%-8d %10.2f %8d %10.0f %8d %10.0f %6d %9.1f\n", perCompany * 50, seconds, engine.slips,
                    engine.slips / engine.slipSeconds, engine.tags, engine.tags / engine.tagSeconds,
                    result.slipGroups + result.tagGroups, peakMb());
    }
    if (!keepFolder.isEmpty()) {
        // The PDFs of the last run, numbered in the order of their names (which carry the time).
        QDir().mkpath(keepFolder);
        const QDir print(printFolder);
        int n = 0;
        for (const QString& name : print.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
            QFile::copy(print.filePath(name),
                        QDir(keepFolder).filePath(QStringLiteral("%1.pdf").arg(++n, 3, 10, QLatin1Char('0'))));
        std::printf("%d PDFs kept in %s\n", n, qPrintable(keepFolder));
    }
    return 0;
}
