#pragma once

#include "store/CustRecord.h"
#include "store/DeliveryRecord.h"

#include <QByteArray>
#include <QList>

namespace plx::test {

// A live delivery record with its keys set and every other field cleared.
inline DeliveryRecord delivery(char kind, const QString& orderer, const QString& supplier, const QString& key,
                               const QString& status = QStringLiteral("0"))
{
    DeliveryRecord r;
    r.setKind(kind);
    r.setText(DeliveryField::OrdererCode, orderer);
    r.setText(DeliveryField::SupplierCode, supplier);
    r.setText(DeliveryField::DeliveryKeyNo, key);
    r.setText(DeliveryField::Status, status);
    return r;
}

inline CustRecord company(char protocol, const QString& orderer, const QString& supplier, const QString& name)
{
    CustRecord r;
    r.setProtocolByte(protocol);
    r.setText(CustField::OrdererCode, orderer);
    r.setText(CustField::SupplierCode, supplier);
    r.setText(CustField::OrdererName, name);
    return r;
}

// The whole records of a data file's bytes.
inline QList<DeliveryRecord> recordsOf(const QByteArray& bytes)
{
    QList<DeliveryRecord> out;
    for (qsizetype at = 0; at + DeliveryRecord::kLength <= bytes.size(); at += DeliveryRecord::kLength)
        out.append(DeliveryRecord(bytes.mid(at, DeliveryRecord::kLength)));
    return out;
}

// An imported EIAJ record whose order data the registration checks accept:
// item, classes and a yen price; its shipment is still to be typed in.
inline DeliveryRecord entryReady(const QString& orderer, const QString& supplier, const QString& key)
{
    DeliveryRecord r = delivery('1', orderer, supplier, key, QStringLiteral("0"));
    r.setText(DeliveryField::MessageKind, u"0502");
    r.setText(DeliveryField::OrderNo, QStringLiteral("PO-") + key);
    r.setText(DeliveryField::ItemCode, u"RK73H");
    r.setText(DeliveryField::ItemName, u"CHIP");
    r.setText(DeliveryField::InspectionClass, u"1");
    r.setText(DeliveryField::ConsumptionTaxClass, u"2");
    r.setText(DeliveryField::TaxationClass, u"1");
    r.setText(DeliveryField::PriceDisplayClass, u"2");
    r.setText(DeliveryField::Currency, u"JPY");
    r.clearTagLines();
    return r;
}

template <typename Record> QByteArray fileOf(const QList<Record>& records)
{
    QByteArray out;
    for (const Record& r : records)
        out += r.bytes();
    return out;
}

// A data file of the older layout, written before the currency fields existed:
// each record's first 2239 bytes, then CR LF.
inline QByteArray olderLayoutOf(const QList<DeliveryRecord>& records)
{
    const int width = DeliveryRecord::field(DeliveryField::Currency).offset;
    QByteArray out;
    for (const DeliveryRecord& r : records)
        out += r.bytes().left(width) + "\r\n";
    return out;
}

// What the conversion makes of olderLayoutOf(records): every line keeps its
// bytes and gains a blank currency and the zero texts of the amounts.
inline QByteArray convertedOf(const QList<DeliveryRecord>& records)
{
    const int width = DeliveryRecord::field(DeliveryField::Currency).offset;
    QByteArray out;
    for (const DeliveryRecord& r : records)
        out += r.bytes().left(width) + "   000000000000.00000000000000000.000000000000000.000000000000000.000\r\n";
    return out;
}

} // namespace plx::test
