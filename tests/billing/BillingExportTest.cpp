#include "billing/BillingExport.h"

#include "core/text/Cp932.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace plx;

namespace {

Decimal dec(const char* text)
{
    return *Decimal::parse(QString::fromLatin1(text));
}

BillingLine line(const char* orderer, const char* date, const char* key, const char* amount, const char* tax,
                 const char* withTax, const char* rate = "10", const char* currency = "JPY")
{
    BillingLine l;
    l.ordererCode = QString::fromLatin1(orderer);
    l.supplierCode = QStringLiteral("S01");
    l.ordererName = QString::fromLatin1(orderer) == QLatin1String("A001") ? QStringLiteral("東和精密") : QString();
    l.shipDate = QString::fromLatin1(date);
    l.deliveryKeyNo = QString::fromLatin1(key);
    l.orderNo = QStringLiteral("PO,") + QString::fromLatin1(key); // a comma the CSV must quote
    l.itemCode = QStringLiteral("IC-1");
    l.itemName = QStringLiteral("ｺﾈｸﾀ \"A\"");
    l.quantity = dec("000000005.000");
    l.unitPrice = dec("00000000012.500");
    l.amount = dec(amount);
    l.tax = dec(tax);
    l.amountWithTax = dec(withTax);
    l.currency = QString::fromLatin1(currency);
    l.consumptionTaxClass = QStringLiteral("外税");
    l.taxationClass = QStringLiteral("課税");
    l.taxRate = QString::fromLatin1(rate);
    return l;
}

// The month of the tests: company A with two 10 % lines, one at 8 % and one in
// dollars (never added to yen); company B with one line, given first.
QList<CompanyBilling> month()
{
    return groupBilling(
        {line("B002", "20261203", "B1", "0000000100", "0000000010", "0000000110"),
         line("A001", "20261210", "K2", "0000002500", "0000000250", "0000002750"),
         line("A001", "20261201", "K1", "0000001001", "0000000100", "0000001101"),
         line("A001", "20261205", "K3", "0000000500", "0000000040", "0000000540", "8"),
         line("A001", "20261206", "K4", "000000000012.345", "000000000000.000", "000000000012.345", "10", "USD")});
}

} // namespace

TEST(BillingExport, CompaniesAreTotalledPerTaxClassRateAndCurrencyExactly)
{
    const QList<CompanyBilling> companies = month();
    ASSERT_EQ(companies.size(), 2);
    EXPECT_EQ(companies[0].ordererCode, QStringLiteral("A001"));
    QStringList keys;
    for (const BillingLine& l : companies[0].lines)
        keys << l.deliveryKeyNo;
    EXPECT_EQ(keys, (QStringList{"K1", "K3", "K4", "K2"})); // by ship date
    struct Expected
    {
        const char* rate;
        const char* currency;
        int lines;
        const char* amount;
        const char* tax;
        const char* withTax;
    };
    const Expected expected[] = {{"10", "JPY", 2, "3501", "350", "3851"},
                                 {"8", "JPY", 1, "500", "40", "540"},
                                 {"10", "USD", 1, "12.345", "0", "12.345"}};
    ASSERT_EQ(companies[0].totals.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const BillingTotal& t = companies[0].totals[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(t.taxRate, QLatin1String(expected[i].rate));
        EXPECT_EQ(t.currency, QLatin1String(expected[i].currency));
        EXPECT_EQ(t.lines, expected[i].lines);
        EXPECT_EQ(t.amount, dec(expected[i].amount));
        EXPECT_EQ(t.tax, dec(expected[i].tax));
        EXPECT_EQ(t.amountWithTax, dec(expected[i].withTax));
    }
}

TEST(BillingExport, CsvIsCp932WithCrLfOrUtf8WithABom)
{
    QTemporaryDir dir;
    QString why;
    const QString path = dir.filePath(QStringLiteral("billing.csv"));
    ASSERT_TRUE(writeBilling(month(), QStringLiteral("2026-12"), BillingFormat::Csv, BillingEncoding::Cp932, path, why))
        << why.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const QStringList lines = cp932::decode(bytes).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 1 + 5 + 4 + 1) << cp932::decode(bytes).toStdString(); // heading, lines, totals, end
    EXPECT_EQ(lines[0], billingHeading().join(QLatin1Char(',')));
    EXPECT_EQ(lines[1], QStringLiteral("A001,S01,東和精密,2026/12/01,K1,\"PO,K1\",IC-1,\"ｺﾈｸﾀ \"\"A\"\"\",5,12.5,"
                                       "1001,100,1101,JPY,外税,課税,10"));
    EXPECT_EQ(lines[3], QStringLiteral("A001,S01,東和精密,2026/12/06,K4,\"PO,K4\",IC-1,\"ｺﾈｸﾀ \"\"A\"\"\",5,12.5,"
                                       "12.345,0,12.345,USD,外税,課税,10"));
    EXPECT_EQ(lines[5], QStringLiteral("A001,S01,東和精密,,合計（2件）,,,,,,3501,350,3851,JPY,外税,課税,10"));
    EXPECT_EQ(lines[7], QStringLiteral("A001,S01,東和精密,,合計（1件）,,,,,,12.345,0,12.345,USD,外税,課税,10"));
    EXPECT_EQ(lines[9], QStringLiteral("B002,S01,,,合計（1件）,,,,,,100,10,110,JPY,外税,課税,10"));
    EXPECT_TRUE(lines[10].isEmpty());

    ASSERT_TRUE(writeBilling(month(), QStringLiteral("2026-12"), BillingFormat::Csv, BillingEncoding::Utf8, path, why));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray utf8 = file.readAll();
    EXPECT_TRUE(utf8.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(utf8.mid(3)), cp932::decode(bytes));
}

TEST(BillingExport, WhatCannotBeWrittenIsRefusedAndLeavesNoFile)
{
    QTemporaryDir dir;
    struct Case
    {
        const char* name;
        QString path;
        BillingFormat format;
        QString orderer; // the first company's name
        const char* told;
    };
    const Case cases[] = {
        {"a name CP932 cannot hold", dir.filePath("a.csv"), BillingFormat::Csv, QStringLiteral("Café"),
         "「Café」はCP932で書けない文字を含みます。"},
        {"no such folder", dir.filePath("none/a.xlsx"), BillingFormat::Xlsx, QStringLiteral("東和精密"), ""},
        {"no such folder, CSV", dir.filePath("none/a.csv"), BillingFormat::Csv, QStringLiteral("東和精密"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<CompanyBilling> companies = month();
        companies[0].lines[0].ordererName = c.orderer;
        QString why;
        EXPECT_FALSE(writeBilling(companies, QStringLiteral("2026-12"), c.format, BillingEncoding::Cp932, c.path, why));
        EXPECT_TRUE(why.startsWith(QString::fromUtf8(c.told))) << why.toStdString();
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }
}

// A spreadsheet reader sees numbers and dates, and the totals of the slips.
TEST(BillingExport, TheWorkbookHoldsNumbersAndDatesASpreadsheetReaderTotals)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("billing.xlsx"));
    QString why;
    ASSERT_TRUE(
        writeBilling(month(), QStringLiteral("2026-12"), BillingFormat::Xlsx, BillingEncoding::Cp932, path, why))
        << why.toStdString();
    // Each row as the reader gives it: the type and value of every cell.
    const char* script = R"(
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
print(ws.title)
for row in ws.iter_rows(values_only=True):
    print("|".join("" if v is None else type(v).__name__ + ":" + str(v) for v in row))
)";
    QProcess python;
    // Debian's Python, which the spreadsheet reader is installed for.
    python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(script), path});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QStringList rows = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'));
    ASSERT_GE(rows.size(), 11);
    EXPECT_EQ(rows[0], QStringLiteral("請求明細"));
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("str:発注者ｺｰﾄﾞ|str:受注者ｺｰﾄﾞ")));
    EXPECT_EQ(rows[2], QStringLiteral("str:A001|str:S01|str:東和精密|datetime:2026-12-01 00:00:00|str:K1|str:PO,K1|"
                                      "str:IC-1|str:ｺﾈｸﾀ \"A\"|int:5|float:12.5|int:1001|int:100|int:1101|"
                                      "str:JPY|str:外税|str:課税|str:10"));
    EXPECT_EQ(rows[6], QStringLiteral("str:A001|str:S01|str:東和精密||str:合計（2件）|||||"
                                      "|int:3501|int:350|int:3851|str:JPY|str:外税|str:課税|str:10"));
    EXPECT_EQ(rows[8], QStringLiteral("str:A001|str:S01|str:東和精密||str:合計（1件）|||||"
                                      "|float:12.345|int:0|float:12.345|str:USD|str:外税|str:課税|str:10"));
}
