#pragma once

#include "ListFixtures.h"

#include "core/ReportControl.h"
#include "output/PrintRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QTemporaryDir>

namespace plx::test {

// A report engine that records what it was asked to print.
class RecordingReport : public ReportControl
{
public:
    struct Printed
    {
        PrintJob job;
        QByteArray data; // the data file as it was when printed
    };
    bool print(const PrintJob& job, QString& error) override
    {
        QFile f(job.dataPath);
        f.open(QIODevice::ReadOnly);
        printed.append({job, f.readAll()});
        if (failWith.isEmpty() && !failFor.contains(job.ordererCode)) {
            written = nameOf(job, int(printed.size()));
            QDir().mkpath(m_folder.path() + QStringLiteral("/print"));
            QFile pdf(written);
            if (writesPdf && pdf.open(QIODevice::WriteOnly))
                pdf.write(pdfBytes);
            return true;
        }
        error = failWith.isEmpty() ? QStringLiteral("印刷できません。") : failWith;
        return false;
    }
    QString writtenPdfPath() const override { return written; }
    // The name print() gives, but for the companies whose name is "taken".
    QString plannedPdfPath(const PrintJob& job) const override
    {
        return takenFor.contains(job.ordererCode) ? pdfPath(QStringLiteral("taken.pdf"))
                                                  : nameOf(job, int(printed.size()) + 1);
    }
    QString printerName() const override { return printer; }
    void setPrinterName(const QString& name) override { printer = name; }
    QStringList availablePrinters() const override { return printers; }
    int documentsPerSheet(const QString& layoutPath) const override
    {
        return perSheet.value(QFileInfo(layoutPath).fileName(), 0);
    }
    // The PDF below `folder()` that the engine names after a print.
    QString pdfPath(const QString& name) const { return m_folder.path() + QStringLiteral("/print/") + name; }

    QList<Printed> printed;
    QString failWith;
    QStringList failFor;                       // orderer codes whose print fails
    QStringList takenFor;                      // orderer codes whose planned PDF name is taken by the print
    QByteArray pdfBytes = "%PDF-1.4\n%%EOF\n"; // what each PDF holds
    bool writesPdf = true;                     // false: the PDF named is not there
    QHash<QString, int> perSheet;              // layout file name -> documents per sheet
    QString written;                           // the PDF of the last print: ".../print/納品書_A_1.pdf"
    QString printer;                           // the printer the engine prints on; empty: PDF only
    QStringList printers;                      // the printers "of the system"

private:
    QString nameOf(const PrintJob& job, int nth) const
    {
        return pdfPath(
            QStringLiteral("%1_%2_%3.pdf")
                .arg(job.document == PrintJob::Document::Tag ? QStringLiteral("荷札") : QStringLiteral("納品書"),
                     job.ordererCode)
                .arg(nth));
    }

    QTemporaryDir m_folder;
};

// An installation for print runs: the list installation with the messages of
// the run (2, 3, 4, the questions 200 and 210, 230, 240) and two layouts.
inline void writeOutputInstallation(TestInstall& inst)
{
    writeListInstallation(inst);
    inst.env.apUse = QStringLiteral("ALL");
    inst.env.logCount = 10;
    inst.writeFile(
        QStringLiteral("Prg/Msg.DAT"),
        cp932::encode(u"002,3,\"発注企業なし\"\r\n003,1,\"コードなし\"\r\n004,3,\"帳票定義ファイルがありません。\"\r\n"
                      u"200,2,\"納品書を印刷しますか？\"\r\n210,2,\"荷札を印刷しますか？\"\r\n"
                      u"230,3,\"納品書200件\"\r\n240,3,\"荷札200件\"\r\n"));
    inst.writeFile(QStringLiteral("Usr/E_Slip.agr"), "{}");
    inst.writeFile(QStringLiteral("Usr/E_Tag.agr"), "{}");
}

// A company of the given output kind with layout files and digit counts.
inline CustRecord outputCompany(char protocol, const QString& orderer, const QString& outputKind,
                                const QString& name = QStringLiteral("北斗星電機"))
{
    CustRecord c = company(protocol, orderer, QStringLiteral("SUP"), name);
    c.setText(CustField::SupplierName, u"メリディア電子");
    c.setText(CustField::KanjiUse, u"1");
    c.setText(CustField::OutputKind, outputKind);
    c.setText(CustField::SlipFormFile, u"E_Slip.agr");
    c.setText(CustField::TagFormFile, u"E_Tag.agr");
    c.setText(CustField::SlipBarcodeDigits, u"40");
    c.setText(CustField::TagBarcodeDigits, u"40");
    return c;
}

// A slips-only EIAJ company with supplier S01 and every setting the company
// window's checks ask for (kanji not allowed, outer tax, prices shown).
inline CustRecord entryCompany(const QString& orderer)
{
    CustRecord c = outputCompany('1', orderer, "1");
    c.setText(CustField::SupplierCode, u"S01");
    c.setText(CustField::KanjiUse, u"0");
    c.setText(CustField::ConsumptionTaxKind, u"2");
    c.setText(CustField::TaxationKind, u"1");
    c.setText(CustField::PriceDisplayKind, u"2");
    c.setText(CustField::AmountRounding, u"3");
    c.setText(CustField::TaxRounding, u"2");
    return c;
}

// A registered record ready for issue.
inline DeliveryRecord due(char kind, const QString& orderer, const QString& key,
                          const QString& status = QStringLiteral("1"))
{
    DeliveryRecord r = delivery(kind, orderer, QStringLiteral("SUP"), key, status);
    r.setText(DeliveryField::SlipIssued, u"0");
    r.setText(DeliveryField::TagIssued, u"0");
    r.setText(DeliveryField::ShipQty, u"000000005.000");
    r.setText(DeliveryField::Currency, u"JPY");
    r.clearTagLines();
    r.setTagLine(1, u"000000005.000", u"01");
    return r;
}

// `count` EIAJ companies C1, C2, ... that issue slips only, each with one
// record K1, K2, ... waiting for its slip: a run of `count` groups.
inline void writeDueCompanies(TestInstall& inst, int count)
{
    QList<CustRecord> companies;
    QList<DeliveryRecord> records;
    for (int n = 1; n <= count; ++n) {
        companies.append(outputCompany('1', QStringLiteral("C%1").arg(n), "1"));
        records.append(due('1', QStringLiteral("C%1").arg(n), QStringLiteral("K%1").arg(n)));
    }
    inst.writeFile(QStringLiteral("Usr/Cust.DAT"), fileOf(companies));
    inst.writeFile(QStringLiteral("Prg/E_Deliv.dat"), fileOf(records));
}

// The outcome of each group of a run, a letter each: I issued, D declined,
// S stopped (中止), F failed.
inline QString outcomeLetters(const PrintRunResult& result)
{
    QString out;
    for (const PrintedGroup& g : result.groups)
        out += g.outcome == PrintedGroup::Outcome::Issued        ? QLatin1Char('I')
               : g.outcome == PrintedGroup::Outcome::Declined    ? QLatin1Char('D')
               : g.outcome == PrintedGroup::Outcome::Interrupted ? QLatin1Char('S')
                                                                 : QLatin1Char('F');
    return out;
}

} // namespace plx::test
