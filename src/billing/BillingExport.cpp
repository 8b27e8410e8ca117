#include "BillingExport.h"

#include "core/FileUtil.h"
#include "core/text/Cp932.h"
#include "store/TaxRate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <unistd.h>

#include <algorithm>
#include <map>
#include <tuple>

namespace plx {

namespace {

// The most decimals each kind of number is shown with; trailing zeros are
// dropped, so nothing that was printed is lost.
constexpr int kQuantityPlaces = 3;
constexpr int kPricePlaces = 5;
constexpr int kAmountPlaces = 3;

// One cell of the export as both writers need it.
struct Cell
{
    enum class Kind { Empty, Text, Number, Date };
    Kind kind = Kind::Empty;
    QString text;   // the text, or the number as plain decimal text, or "YYYYMMDD"
    int places = 0; // of a number: the decimals its format shows at most
    bool yen = false;
};

Cell text(const QString& value)
{
    return value.isEmpty() ? Cell{} : Cell{Cell::Kind::Text, value};
}

Cell number(const Decimal& value, int places, bool yen = false)
{
    return Cell{Cell::Kind::Number, value.rounded(places, Rounding::HalfAwayFromZero).toString(), places, yen};
}

Cell date(const QString& yyyymmdd)
{
    return yyyymmdd.trimmed().isEmpty() ? Cell{} : Cell{Cell::Kind::Date, yyyymmdd.trimmed()};
}

struct Row
{
    QList<Cell> cells;
    bool total = false;
};

QList<Row> rowsOf(const QList<CompanyBilling>& companies)
{
    QList<Row> rows;
    for (const CompanyBilling& company : companies) {
        for (const BillingLine& l : company.lines) {
            const bool yen = !isForeignCurrency(l.currency);
            rows.append({{text(l.ordererCode), text(l.supplierCode), text(l.ordererName), date(l.shipDate),
                          text(l.deliveryKeyNo), text(l.orderNo), text(l.itemCode), text(l.itemName),
                          number(l.quantity, kQuantityPlaces), number(l.unitPrice, kPricePlaces),
                          number(l.amount, kAmountPlaces, yen), number(l.tax, kAmountPlaces, yen),
                          number(l.amountWithTax, kAmountPlaces, yen), text(l.currency), text(l.consumptionTaxClass),
                          text(l.taxationClass), text(l.taxRate)},
                         false});
        }
        for (const BillingTotal& t : company.totals) {
            const bool yen = !isForeignCurrency(t.currency);
            rows.append({{text(company.ordererCode), text(company.supplierCode), text(company.ordererName), Cell{},
                          text(QStringLiteral("合計（%1件）").arg(t.lines)), Cell{}, Cell{}, Cell{}, Cell{}, Cell{},
                          number(t.amount, kAmountPlaces, yen), number(t.tax, kAmountPlaces, yen),
                          number(t.amountWithTax, kAmountPlaces, yen), text(t.currency), text(t.consumptionTaxClass),
                          text(t.taxationClass), text(t.taxRate)},
                         true});
        }
    }
    return rows;
}

QString csvField(const Cell& cell)
{
    QString value = cell.text;
    if (cell.kind == Cell::Kind::Date && value.size() == 8)
        value = value.left(4) + QLatin1Char('/') + value.mid(4, 2) + QLatin1Char('/') + value.mid(6, 2);
    if (value.contains(QLatin1Char(',')) || value.contains(QLatin1Char('"')) || value.contains(QLatin1Char('\n')) ||
        value.contains(QLatin1Char('\r'))) {
        value.replace(QLatin1String("\""), QLatin1String("\"\""));
        value = QLatin1Char('"') + value + QLatin1Char('"');
    }
    return value;
}

bool writeCsv(const QList<Row>& rows, BillingEncoding encoding, const QString& path, QString& why)
{
    QString content;
    const auto line = [&](const QStringList& fields) {
        content += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    };
    line(billingHeading());
    for (const Row& row : rows) {
        QStringList fields;
        for (const Cell& cell : row.cells)
            fields.append(csvField(cell));
        line(fields);
    }
    QByteArray bytes;
    if (encoding == BillingEncoding::Cp932) {
        if (!cp932::holds(content)) {
            // Names come from CP932 files, so this is a value the history got
            // from elsewhere: name it rather than write "?".
            for (const Row& row : rows) {
                for (const Cell& cell : row.cells) {
                    if (!cp932::holds(cell.text)) {
                        why = QStringLiteral(
                                  "「%1」はCP932で書けない文字を含みます。--encoding utf-8 で出力してください。")
                                  .arg(cell.text);
                        return false;
                    }
                }
            }
        }
        bytes = cp932::encode(content);
    } else {
        bytes = QByteArray("\xEF\xBB\xBF") + content.toUtf8();
    }
    return fileutil::writeAtomically(path, bytes, why);
}

// Writes the workbook to `path` (a new file).
bool writeWorkbook(const QList<Row>& rows, const QString& month, const QString& path, QString& why)
{
    const QByteArray name = QFile::encodeName(path);
    lxw_workbook* book = workbook_new(name.constData());
    if (!book) {
        why = QStringLiteral("ﾌｧｲﾙを作成できません。");
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, "請求明細");
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    const auto numberFormat = [&](const char* pattern, bool isBold) {
        lxw_format* f = workbook_add_format(book);
        format_set_num_format(f, pattern);
        if (isBold)
            format_set_bold(f);
        return f;
    };
    // Formats by (places, yen, total row).
    std::map<std::tuple<int, bool, bool>, lxw_format*> formats;
    for (bool isBold : {false, true}) {
        formats[{kQuantityPlaces, false, isBold}] = numberFormat("#,##0.###", isBold);
        formats[{kPricePlaces, false, isBold}] = numberFormat("#,##0.#####", isBold);
        formats[{kAmountPlaces, false, isBold}] = numberFormat("#,##0.000", isBold);
        formats[{kAmountPlaces, true, isBold}] = numberFormat("#,##0", isBold);
    }
    lxw_format* dateFormat = numberFormat("yyyy/mm/dd", false);

    const QByteArray title = QStringLiteral("請求明細 %1").arg(month).toUtf8();
    lxw_doc_properties properties{};
    properties.title = const_cast<char*>(title.constData());
    workbook_set_properties(book, &properties);

    const QStringList heading = billingHeading();
    for (int c = 0; c < heading.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), heading.at(c).toUtf8().constData(), bold);
    lxw_row_t r = 1;
    for (const Row& row : rows) {
        for (int c = 0; c < row.cells.size(); ++c) {
            const Cell& cell = row.cells.at(c);
            const auto col = lxw_col_t(c);
            switch (cell.kind) {
            case Cell::Kind::Empty:
                break;
            case Cell::Kind::Text:
                worksheet_write_string(sheet, r, col, cell.text.toUtf8().constData(), row.total ? bold : nullptr);
                break;
            case Cell::Kind::Number:
                // The value is shown with up to 15 significant digits, which
                // every stored amount and price has room in.
                worksheet_write_number(sheet, r, col, cell.text.toDouble(),
                                       formats[{cell.places, cell.yen && cell.places == kAmountPlaces, row.total}]);
                break;
            case Cell::Kind::Date: {
                lxw_datetime when{
                    cell.text.left(4).toInt(), cell.text.mid(4, 2).toInt(), cell.text.mid(6, 2).toInt(), 0, 0, 0.0};
                worksheet_write_datetime(sheet, r, col, &when, dateFormat);
                break;
            }
            }
        }
        ++r;
    }
    worksheet_freeze_panes(sheet, 1, 0);
    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR) {
        why = QString::fromUtf8(lxw_strerror(error));
        return false;
    }
    return true;
}

} // namespace

QStringList billingHeading()
{
    return {QStringLiteral("発注者ｺｰﾄﾞ"), QStringLiteral("受注者ｺｰﾄﾞ"), QStringLiteral("発注者名称"),
            QStringLiteral("出荷日"),     QStringLiteral("納品ｷｰ番号"), QStringLiteral("注文番号"),
            QStringLiteral("品名ｺｰﾄﾞ"),   QStringLiteral("品名"),       QStringLiteral("納入数量"),
            QStringLiteral("単価"),       QStringLiteral("税抜額"),     QStringLiteral("税額"),
            QStringLiteral("税込額"),     QStringLiteral("通貨"),       QStringLiteral("消費税区分"),
            QStringLiteral("課税区分"),   QStringLiteral("税率")};
}

QList<BillingLine> billingLinesOf(const QList<HistoryDocument>& documents)
{
    const auto number = [](const QString& text) { return Decimal::parse(text).value_or(Decimal()); };
    QList<BillingLine> lines;
    for (const HistoryDocument& d : documents) {
        if (d.kind != OutputDocument::Slip)
            continue;
        BillingLine l;
        l.ordererCode = d.ordererCode;
        l.supplierCode = d.supplierCode;
        l.ordererName = d.ordererName;
        l.shipDate = d.shipDate;
        l.deliveryKeyNo = d.deliveryKey;
        l.orderNo = d.orderNo;
        l.itemCode = d.itemCode;
        l.itemName = d.itemName;
        l.quantity = number(d.shipQty);
        l.unitPrice = number(d.unitPrice);
        l.amount = number(d.amount);
        l.tax = number(d.tax);
        l.amountWithTax = number(d.amountWithTax);
        l.currency = currencyOf(d.currency);
        l.consumptionTaxClass = d.taxClassName;
        l.taxationClass = d.taxationClassName;
        l.taxRate = d.taxRate;
        lines.append(std::move(l));
    }
    return lines;
}

QList<CompanyBilling> groupBilling(QList<BillingLine> lines)
{
    std::stable_sort(lines.begin(), lines.end(), [](const BillingLine& a, const BillingLine& b) {
        return std::tie(a.ordererCode, a.supplierCode, a.shipDate, a.deliveryKeyNo) <
               std::tie(b.ordererCode, b.supplierCode, b.shipDate, b.deliveryKeyNo);
    });
    QList<CompanyBilling> companies;
    for (BillingLine& line : lines) {
        if (companies.isEmpty() || companies.last().ordererCode != line.ordererCode ||
            companies.last().supplierCode != line.supplierCode) {
            companies.append({line.ordererCode, line.supplierCode, line.ordererName, {}, {}});
        }
        CompanyBilling& company = companies.last();
        if (!line.ordererName.isEmpty())
            company.ordererName = line.ordererName;
        // A company has a handful of classes: finding its total is a short look.
        auto total = std::find_if(company.totals.begin(), company.totals.end(), [&](const BillingTotal& t) {
            return t.consumptionTaxClass == line.consumptionTaxClass && t.taxationClass == line.taxationClass &&
                   t.taxRate == line.taxRate && t.currency == line.currency;
        });
        if (total == company.totals.end()) {
            BillingTotal added;
            added.consumptionTaxClass = line.consumptionTaxClass;
            added.taxationClass = line.taxationClass;
            added.taxRate = line.taxRate;
            added.currency = line.currency;
            company.totals.append(added);
            total = company.totals.end() - 1;
        }
        ++total->lines;
        total->amount = total->amount + line.amount;
        total->tax = total->tax + line.tax;
        total->amountWithTax = total->amountWithTax + line.amountWithTax;
        company.lines.append(std::move(line));
    }
    return companies;
}

bool writeBilling(const QList<CompanyBilling>& companies, const QString& month, BillingFormat format,
                  BillingEncoding encoding, const QString& path, QString& why)
{
    const QList<Row> rows = rowsOf(companies);
    if (format == BillingFormat::Csv)
        return writeCsv(rows, encoding, path, why);
    // The workbook is written beside its place and renamed there whole.
    const QFileInfo target(path);
    QString work;
    const int fd = fileutil::createUniqueFile(target.absolutePath(),
                                              QStringLiteral(".") + target.fileName() + QLatin1Char('.'), work, why);
    if (fd < 0)
        return false;
    ::close(fd);
    if (!writeWorkbook(rows, month, work, why) || !fileutil::renameKeepingMode(work, path, why)) {
        QFile::remove(work);
        return false;
    }
    return true;
}

} // namespace plx
