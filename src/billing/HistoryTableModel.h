#pragma once

#include "history/HistoryStore.h"

#include <QAbstractTableModel>
#include <QList>

namespace plx {

// The documents a look-up found, as the 発行履歴 window's grid shows them: a
// row per document, newest first. The view asks for the rows it shows only.
class HistoryTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Id,
        IssuedAt,
        Document,
        ShipDate,
        OrdererCode,
        SupplierCode,
        OrdererName,
        DeliveryKey,
        OrderNo,
        ItemCode,
        ShipQty,
        UnitPrice,
        Amount,
        Tax,
        AmountWithTax,
        Currency,
        Pdf,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setDocuments(QList<HistoryDocument> documents);
    const HistoryDocument& document(int row) const { return m_documents.at(row); }
    int count() const { return int(m_documents.size()); }

    // What is shown, in one line: the number of slips and tags, and the sums
    // of the slips' amounts with tax per currency (yen first).
    QString totalsText() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<HistoryDocument> m_documents;
};

} // namespace plx
