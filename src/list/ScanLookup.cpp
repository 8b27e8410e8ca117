#include "ScanLookup.h"

#include "core/text/Cp932.h"
#include "core/text/FixedField.h"
#include "store/DeliveryRecord.h"

#include <QHash>

namespace plx {

QStringList keysOfScan(const QString& scanned)
{
    // A scanner may end its text with CR or LF of its own; a key holds no blank.
    const QString text = scanned.trimmed();
    QStringList keys;
    if (text.isEmpty())
        return keys;
    if (text.startsWith(QLatin1String("3N3"))) {
        // "3N3" + key + " " + quantity: the key when the symbol carries it whole.
        const qsizetype blank = text.indexOf(QLatin1Char(' '));
        if (blank > 3)
            keys << text.mid(3, blank - 3);
    } else if (text.startsWith(QLatin1Char('Z')) && text.size() > 1) {
        keys << text.mid(1);
    }
    if (!text.contains(QLatin1Char(' ')) && !keys.contains(text))
        keys << text;
    return keys;
}

QList<ScanMatch> findScanned(const QByteArray& records, Protocol protocol, const QList<CompanyEntry>& companies,
                             const QString& scanned)
{
    QHash<QByteArray, QString> keys; // as stored, trailing blanks removed -> as scanned
    for (const QString& key : keysOfScan(scanned)) {
        // A key CP932 cannot hold is no stored key: encoded, "Aé1" would be
        // the bytes of "A?1", another record's key.
        if (cp932::holds(key))
            keys.insert(cp932::encode(key), key);
    }
    QHash<QByteArray, const CompanyEntry*> companyOf;
    for (const CompanyEntry& c : companies)
        companyOf.insert(cp932::encode(c.ordererCode) + '\x1f' + cp932::encode(c.supplierCode), &c);

    const FixedField keyField = DeliveryRecord::field(DeliveryField::DeliveryKeyNo);
    const FixedField ordererField = DeliveryRecord::field(DeliveryField::OrdererCode);
    const FixedField supplierField = DeliveryRecord::field(DeliveryField::SupplierCode);
    QList<ScanMatch> matches;
    int row = 0;
    for (qsizetype at = 0; at + DeliveryRecord::kLength <= records.size(); at += DeliveryRecord::kLength) {
        const char* rec = records.constData() + at;
        if (!DeliveryRecord::isLiveOf(rec, protocol))
            continue;
        ++row;
        const QByteArray key = fixed::trimmedRight(QByteArray(rec + keyField.offset, keyField.width));
        if (!keys.contains(key))
            continue;
        const QByteArray orderer = fixed::trimmedRight(QByteArray(rec + ordererField.offset, ordererField.width));
        const QByteArray supplier = fixed::trimmedRight(QByteArray(rec + supplierField.offset, supplierField.width));
        const CompanyEntry* company = companyOf.value(orderer + '\x1f' + supplier);
        matches.append({row, cp932::decode(orderer), cp932::decode(supplier),
                        company ? company->ordererName : QString(), keys.value(key)});
    }
    return matches;
}

} // namespace plx
