#pragma once

#include "ListColumns.h"

#include "store/CodeTable.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace plx {

class CustStore;

// The delivery-slip list of one format: a row per live record of the data file,
// the columns of ListColumn (the running number and 12 texts). Cells are made
// from the record bytes when asked for, so a reload costs one pass over the
// kind bytes.
class DeliveryListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumnCount = kListColumnCount;

    explicit DeliveryListModel(Protocol protocol, QObject* parent = nullptr);

    Protocol protocol() const { return m_protocol; }

    // Takes the records of a data file (whole records, as RecordFile::data()
    // holds them), the ordering companies and the code table.
    void load(const QByteArray& records, const CustStore& companies, const CodeTable& codes);
    void clear();

    // Rows are 0-based here; the list's row k (from 1) is row k - 1.
    int listedCount() const { return int(m_records.size()); }
    // The data file's records as loaded (the list's rows are its live ones).
    const QByteArray& records() const { return m_data; }
    int recordNumber(int row) const { return m_records.at(row); }
    // The bytes of the record listed in `row`, as loaded.
    const char* recordBytes(int row) const { return recordAt(row); }
    QString cellText(int row, ListColumn column) const;
    // The same by the grid's column number (an empty text outside the list).
    QString cellText(int row, int column) const;
    // The orderer code, supplier code and delivery key of the record listed in
    // `row`, as stored: what names the record whatever its place in the file.
    QByteArray rowKeys(int row) const;
    // The row listing the record with these keys, or -1. One pass over the rows.
    int rowOfKeys(const QByteArray& keys) const;

    // A column's heading, by the column or by the grid's column number (an
    // empty text outside the list).
    static QString headerText(ListColumn column);
    static QString headerText(int column);
    // A column's width in twips (0 outside the list).
    static int columnWidthTwips(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The fixed column 0 cannot be selected itself.
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const char* recordAt(int row) const;
    // Drops the records and all that was read with them.
    void forgetRecords();

    Protocol m_protocol;
    QByteArray m_data;                         // the data file's records
    QList<int> m_records;                      // record numbers of the listed records
    QList<int> m_companies;                    // per listed row: index into m_names, or -1
    QList<QString> m_names;                    // ordering-company names (stored width)
    QList<bool> m_kanji;                       // per company: KanjiUse is not "0"
    QHash<QString, QString> m_inspectionNames; // code -> name, kind "01"
};

} // namespace plx
