#include "DeliveryListModel.h"

#include "core/text/Cp932.h"
#include "core/text/VbFormat.h"
#include "store/CustStore.h"
#include "store/DeliveryRecord.h"

namespace plx {
namespace {

constexpr int kLen = DeliveryRecord::kLength;

QString fieldText(const char* record, DeliveryField f)
{
    const FixedField field = DeliveryRecord::field(f);
    return cp932::decode(record + field.offset, field.width);
}

bool fieldBlank(const char* record, DeliveryField f)
{
    const FixedField field = DeliveryRecord::field(f);
    for (int i = 0; i < field.width; ++i) {
        if (record[field.offset + i] != ' ')
            return false;
    }
    return true;
}

QString statusText(const char* record)
{
    switch (record[DeliveryRecord::field(DeliveryField::Status).offset]) {
    case '0':
        return QString();
    case '2':
        return QStringLiteral("済");
    default:
        return QStringLiteral("待ち");
    }
}

QString dateText(const char* record, DeliveryField f)
{
    const QString stored = fieldText(record, f);
    if (stored == QLatin1String("00000000"))
        return QString();
    return vbFormatText(stored, u"####/##/##");
}

QString qtyText(const char* record, DeliveryField f)
{
    return vbFormatText(fieldText(record, f), u"###,###,##0.000");
}

// How a column is shown: its heading, its width and where its texts stand.
// Most columns centre their texts; the others keep the grid's general
// alignment, numbers to the right and texts (the dates) to the left.
struct ColumnLook
{
    ListColumn column;
    const char16_t* header;
    int widthTwips;
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kCentred = Qt::AlignCenter;
constexpr Qt::Alignment kNumber = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment kText = Qt::AlignLeft | Qt::AlignVCenter;

constexpr ColumnLook kColumnLooks[kListColumnCount] = {
    {ListColumn::Number, u"No.", 610, kNumber},
    {ListColumn::Status, u"状態", 710, kCentred},
    {ListColumn::OrdererName, u"発注者名称", 2100, kCentred},
    {ListColumn::OrderNo, u"注文番号", 2500, kCentred},
    {ListColumn::DeliveryKeyNo, u"納品キー番号", 2300, kCentred},
    {ListColumn::ItemName, u"品名", 3000, kCentred},
    {ListColumn::ItemCode, u"品名コード", 2500, kCentred},
    {ListColumn::OrderQty, u"注文数量", 1800, kNumber},
    {ListColumn::InspectionClassName, u"単位", 560, kCentred},
    {ListColumn::DueDate, u"納期", 1150, kText},
    {ListColumn::InstructedQty, u"納入指示数量", 1800, kNumber},
    {ListColumn::ShipDate, u"出荷日", 1150, kText},
    {ListColumn::ShipQty, u"納入数量", 1800, kNumber},
};

constexpr bool looksInColumnOrder()
{
    for (int c = 0; c < kListColumnCount; ++c) {
        if (columnIndex(kColumnLooks[c].column) != c)
            return false;
    }
    return true;
}
static_assert(looksInColumnOrder(), "one look per column, in column order");

const ColumnLook& lookOf(ListColumn column)
{
    return kColumnLooks[columnIndex(column)];
}

} // namespace

DeliveryListModel::DeliveryListModel(Protocol protocol, QObject* parent)
    : QAbstractTableModel(parent), m_protocol(protocol)
{
}

void DeliveryListModel::forgetRecords()
{
    m_data.clear();
    m_records.clear();
    m_companies.clear();
    m_names.clear();
    m_kanji.clear();
    m_inspectionNames.clear();
}

void DeliveryListModel::clear()
{
    beginResetModel();
    forgetRecords();
    endResetModel();
}

void DeliveryListModel::load(const QByteArray& records, const CustStore& companies, const CodeTable& codes)
{
    beginResetModel();
    forgetRecords();
    m_data = records;

    for (const CodeEntry& e : codes.list(m_protocol, QStringLiteral("01"))) {
        if (!m_inspectionNames.contains(e.code))
            m_inspectionNames.insert(e.code, e.name);
    }

    // Each company is decoded once, however many rows name it.
    QHash<int, int> companyIndex; // company record number -> index into m_names
    const FixedField orderer = DeliveryRecord::field(DeliveryField::OrdererCode);
    const FixedField supplier = DeliveryRecord::field(DeliveryField::SupplierCode);
    const int count = int(m_data.size() / kLen);
    for (int n = 1; n <= count; ++n) {
        const char* record = m_data.constData() + qsizetype(n - 1) * kLen;
        if (!DeliveryRecord::isLiveOf(record, m_protocol))
            continue;
        m_records.append(n);
        const int company =
            companies.lookupRaw(m_protocol, QByteArray::fromRawData(record + orderer.offset, orderer.width),
                                QByteArray::fromRawData(record + supplier.offset, supplier.width));
        if (company == 0) {
            m_companies.append(-1);
            continue;
        }
        auto it = companyIndex.constFind(company);
        if (it == companyIndex.cend()) {
            const CustRecord c = companies.read(company);
            m_names.append(c.text(CustField::OrdererName));
            m_kanji.append(c.text(CustField::KanjiUse) != QLatin1String("0"));
            it = companyIndex.insert(company, int(m_names.size() - 1));
        }
        m_companies.append(*it);
    }
    endResetModel();
}

const char* DeliveryListModel::recordAt(int row) const
{
    return m_data.constData() + qsizetype(m_records.at(row) - 1) * kLen;
}

QByteArray DeliveryListModel::rowKeys(int row) const
{
    const char* r = recordAt(row);
    QByteArray keys;
    for (DeliveryField f : {DeliveryField::OrdererCode, DeliveryField::SupplierCode, DeliveryField::DeliveryKeyNo}) {
        const FixedField field = DeliveryRecord::field(f);
        keys.append(r + field.offset, field.width);
    }
    return keys;
}

int DeliveryListModel::rowOfKeys(const QByteArray& keys) const
{
    for (int row = 0; row < listedCount(); ++row) {
        if (rowKeys(row) == keys)
            return row;
    }
    return -1;
}

QString DeliveryListModel::cellText(int row, ListColumn column) const
{
    const char* r = recordAt(row);
    const int company = m_companies.at(row);
    switch (column) {
    case ListColumn::Number:
        return QString::number(row + 1);
    case ListColumn::Status:
        return statusText(r);
    case ListColumn::OrdererName:
        return company < 0 ? QString() : m_names.at(company);
    case ListColumn::OrderNo:
        return fieldText(r, DeliveryField::OrderNo);
    case ListColumn::DeliveryKeyNo:
        return fieldText(r, DeliveryField::DeliveryKeyNo);
    case ListColumn::ItemName: {
        // Kanji name unless the company forbids kanji; a company that is not
        // found does not forbid it. Only the EIAJ list falls back to the
        // single-byte name when the kanji name is blank.
        const bool kanji = company < 0 || m_kanji.at(company);
        if (!kanji)
            return fieldText(r, DeliveryField::ItemName);
        if (m_protocol == Protocol::Eiaj && fieldBlank(r, DeliveryField::ItemNameKanji))
            return fieldText(r, DeliveryField::ItemName);
        return fieldText(r, DeliveryField::ItemNameKanji);
    }
    case ListColumn::ItemCode:
        return fieldText(r, DeliveryField::ItemCode);
    case ListColumn::OrderQty:
        return qtyText(r, DeliveryField::OrderQty);
    case ListColumn::InspectionClassName:
        return m_inspectionNames.value(fieldText(r, DeliveryField::InspectionClass).trimmed());
    case ListColumn::DueDate:
        return dateText(r, DeliveryField::DueDate);
    case ListColumn::InstructedQty:
        return qtyText(r, DeliveryField::InstructedQty);
    case ListColumn::ShipDate:
        return dateText(r, DeliveryField::ShipDate);
    case ListColumn::ShipQty:
        return qtyText(r, DeliveryField::ShipQty);
    }
    return QString();
}

QString DeliveryListModel::cellText(int row, int column) const
{
    return column >= 0 && column < kListColumnCount ? cellText(row, ListColumn(column)) : QString();
}

QString DeliveryListModel::headerText(ListColumn column)
{
    return QString::fromUtf16(lookOf(column).header);
}

QString DeliveryListModel::headerText(int column)
{
    return column >= 0 && column < kListColumnCount ? headerText(ListColumn(column)) : QString();
}

int DeliveryListModel::columnWidthTwips(int column)
{
    return column >= 0 && column < kListColumnCount ? lookOf(ListColumn(column)).widthTwips : 0;
}

int DeliveryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : listedCount();
}

int DeliveryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant DeliveryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= listedCount())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return int(lookOf(ListColumn(index.column())).alignment);
    return {};
}

Qt::ItemFlags DeliveryListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return index.column() == columnIndex(ListColumn::Number) ? Qt::ItemIsEnabled
                                                             : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant DeliveryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return headerText(section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

} // namespace plx
