#pragma once

#include "store/CustStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace plx {

// A live record a scanned key names: its list row (from 1) and its company.
struct ScanMatch
{
    int row = 0;
    QString ordererCode;
    QString supplierCode;
    QString ordererName; // of the ordering company; empty when it has none
    QString deliveryKeyNo;
};

// What a keyboard-wedge scanner typed at the packing table: a delivery key as
// the customer's instruction sheet carries it, or the data of one of our own
// slip or tag symbols that carry the key ("Z" + key, "3N3" + key + " " +
// quantity). Returns the keys the text may stand for, the symbol's first:
// "ZHK100" may be our key symbol of HK100 or a key that starts with Z.
QStringList keysOfScan(const QString& scanned);

// Every live record of the protocol whose delivery key is one of the scan's, in
// list order (a key CP932 cannot hold matches none); `companies` names their ordering companies. One pass over the
// records.
QList<ScanMatch> findScanned(const QByteArray& records, Protocol protocol, const QList<CompanyEntry>& companies,
                             const QString& scanned);

} // namespace plx
