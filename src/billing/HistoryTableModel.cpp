#include "HistoryTableModel.h"

#include "core/text/Decimal.h"
#include "core/text/NumericText.h"
#include "store/TaxRate.h"

#include <QDate>
#include <QLocale>

#include <map>

namespace plx {

namespace {

const char16_t* const kHeadings[] = {u"ID",         u"発行日時",   u"帳票",       u"出荷日",   u"発注者ｺｰﾄﾞ",
                                     u"受注者ｺｰﾄﾞ", u"発注者名称", u"納品ｷｰ番号", u"注文番号", u"品名ｺｰﾄﾞ",
                                     u"納入数量",   u"単価",       u"税抜額",     u"税額",     u"税込額",
                                     u"通貨",       u"PDF"};
static_assert(std::size(kHeadings) == HistoryTableModel::ColumnCount);

QString isoDate(const QString& stored)
{
    const QDate date = QDate::fromString(stored, QStringLiteral("yyyyMMdd"));
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : stored;
}

} // namespace

void HistoryTableModel::setDocuments(QList<HistoryDocument> documents)
{
    beginResetModel();
    m_documents = std::move(documents);
    endResetModel();
}

QString HistoryTableModel::totalsText() const
{
    int slips = 0;
    int tags = 0;
    std::map<QString, Decimal> sums;
    for (const HistoryDocument& d : m_documents) {
        if (d.kind == OutputDocument::Tag) {
            ++tags;
            continue;
        }
        ++slips;
        Decimal& sum = sums[currencyOf(d.currency)];
        sum = sum + Decimal::parse(d.amountWithTax).value_or(Decimal());
    }
    QStringList parts{QStringLiteral("納品書 %1件").arg(slips), QStringLiteral("荷札 %1件").arg(tags)};
    QStringList amounts;
    if (const auto yen = sums.find(QStringLiteral("JPY")); yen != sums.end())
        amounts << QStringLiteral("JPY ") + withThousands(yen->second.toString());
    for (const auto& [currency, sum] : sums) {
        if (currency != QLatin1String("JPY"))
            amounts << currency + QLatin1Char(' ') + withThousands(sum.toString());
    }
    if (!amounts.isEmpty())
        parts << QStringLiteral("税込額合計 ") + amounts.join(QStringLiteral("  "));
    return parts.join(QStringLiteral("　"));
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_documents.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_documents.size())
        return {};
    const HistoryDocument& d = m_documents.at(index.row());
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        const bool number = column == Id || (column >= ShipQty && column <= AmountWithTax);
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (column) {
    case Id:
        return QString::number(d.id);
    case IssuedAt:
        return d.issuedAt.toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    case Document:
        return d.kind == OutputDocument::Tag ? QStringLiteral("荷札") : QStringLiteral("納品書");
    case OrdererCode:
        return d.ordererCode;
    case SupplierCode:
        return d.supplierCode;
    case OrdererName:
        return d.ordererName;
    case DeliveryKey:
        return d.deliveryKey;
    case OrderNo:
        return d.orderNo;
    case ItemCode:
        return d.itemCode;
    case ShipQty:
        return withThousands(d.shipQty);
    case UnitPrice:
        return withThousands(d.unitPrice);
    case Amount:
        return withThousands(d.amount);
    case Tax:
        return withThousands(d.tax);
    case AmountWithTax:
        return withThousands(d.amountWithTax);
    case Currency:
        return currencyOf(d.currency);
    case ShipDate:
        return isoDate(d.shipDate);
    case Pdf:
        return d.pdfPath;
    default:
        return {};
    }
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromUtf16(kHeadings[section]);
}

} // namespace plx
