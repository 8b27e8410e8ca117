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
    r.setProtocol(protocol);
    r.setText(CustField::OrdererCode, orderer);
    r.setText(CustField::SupplierCode, supplier);
    r.setText(CustField::OrdererName, name);
    return r;
}

template <typename Record> QByteArray fileOf(const QList<Record>& records)
{
    QByteArray out;
    for (const Record& r : records)
        out += r.bytes();
    return out;
}

} // namespace plx::test
