#pragma once

#include "core/text/Decimal.h"
#include "history/HistoryStore.h"

#include <QList>
#include <QString>

namespace plx {

// One delivered item of a month's billing: a slip as it was printed.
struct BillingLine
{
    QString ordererCode;
    QString supplierCode;
    QString ordererName;
    QString shipDate; // "YYYYMMDD"
    QString deliveryKeyNo;
    QString orderNo;
    QString itemCode;
    QString itemName;
    Decimal quantity;
    Decimal unitPrice;
    Decimal amount;              // without tax
    Decimal tax;                 // consumption tax
    Decimal amountWithTax;       // with tax
    QString currency;            // "JPY", or the foreign currency's code
    QString consumptionTaxClass; // its name, as the code table has it (外税, 内税)
    QString taxationClass;       // its name (課税, 消費税対象外)
    QString taxRate;             // the rate in percent, as the code table has it ("10", "8", "0")
};

// The totals of one company for one tax class, rate and currency: yen and
// each foreign currency are never added together.
struct BillingTotal
{
    QString consumptionTaxClass;
    QString taxationClass;
    QString taxRate;
    QString currency;
    int lines = 0;
    Decimal amount;
    Decimal tax;
    Decimal amountWithTax;
};

// A company's lines of the month and their totals.
struct CompanyBilling
{
    QString ordererCode;
    QString supplierCode;
    QString ordererName; // the name of its latest line
    QList<BillingLine> lines;
    QList<BillingTotal> totals; // in the order their class first appears
};

// The billing lines of issued documents: one per slip (a document that is
// only tags bills nothing), with the amounts, names and rate it was printed
// with. A blank currency is yen ("JPY").
QList<BillingLine> billingLinesOf(const QList<HistoryDocument>& documents);

// Groups the lines by company (ordering and supplier code, in code order), each
// company's lines by ship date and delivery key, and adds the totals exactly.
// One pass over the lines after the sort.
QList<CompanyBilling> groupBilling(QList<BillingLine> lines);

enum class BillingFormat { Xlsx, Csv };
enum class BillingEncoding { Cp932, Utf8 };

// Writes the billing to `path`: a workbook (one sheet, amounts and quantities
// as numbers, ship dates as dates) or CSV (CP932 or UTF-8 with a byte order
// mark, CR LF line ends, numbers without separators). Each company's lines are
// followed by its total rows. The file appears whole or not at all (written
// beside it, then renamed). False with the reason in `why` when it cannot be
// written, or when a text cannot be written in CP932 (naming it).
bool writeBilling(const QList<CompanyBilling>& companies, const QString& month, BillingFormat format,
                  BillingEncoding encoding, const QString& path, QString& why);

// The rows as the CSV and the sheet hold them, without the heading row: text
// cells as given, numbers as plain decimal text. For tests and readers.
QStringList billingHeading();

} // namespace plx
