#include "DeliveryRecord.h"

#include <QHash>

#include <algorithm>
#include <cstring>

namespace plx {

const std::array<DeliveryFieldInfo, DeliveryRecord::kFieldCount>& DeliveryRecord::fields()
{
    static const std::array<DeliveryFieldInfo, kFieldCount> table = {{
        {"Kind", {0, 1}},
        {"OrdererCode", {1, 12}},
        {"SupplierCode", {13, 12}},
        {"DeliveryKeyNo", {25, 23}},
        {"Status", {48, 1}},
        {"UpdatedAt", {49, 12}},
        {"SourceNo", {61, 5}},
        {"MessageKind", {66, 4}},
        {"SourceDate", {70, 8}},
        {"SlipIssued", {78, 1}},
        {"TagIssued", {79, 1}},
        {"SourceRef", {80, 14}},
        {"OrderNo", {94, 23}},
        {"InspectionClass", {117, 3}},
        {"UnitPrice", {120, 15}},
        {"OrderQty", {135, 13}},
        {"BuyerName", {148, 7}},
        {"BuyerNameKanji", {155, 14}},
        {"ItemName", {169, 30}},
        {"ItemNameKanji", {199, 60}},
        {"ItemCode", {259, 25}},
        {"Unit", {284, 3}},
        {"DueDate", {287, 8}},
        {"InstructedQty", {295, 13}},
        {"ShipQty", {308, 13}},
        {"ShipDate", {321, 8}},
        {"PlannedDeliveryDate", {329, 8}},
        {"ConsumptionTaxClass", {337, 1}},
        {"TaxationClass", {338, 1}},
        {"DeliveryPlace", {339, 20}},
        {"DeliveryPlaceKanji", {359, 40}},
        {"OrdererBarcodeInfo", {399, 23}},
        {"OrdererRemarks", {422, 50}},
        {"OrdererRemarksKanji", {472, 100}},
        {"SupplierBarcodeInfo", {572, 23}},
        {"SupplierRemarks", {595, 25}},
        {"SupplierRemarksKanji", {620, 50}},
        {"PriceDisplayClass", {670, 1}},
        {"AmountExclTax", {671, 10}},
        {"TaxAmount", {681, 10}},
        {"AmountInclTax", {691, 10}},
        {"BcOutputClass", {701, 1}},
        {"OrdererUse1", {702, 15}},
        {"OrdererUse2", {717, 15}},
        {"OrdererUse3", {732, 20}},
        {"SourceFlag", {752, 2}},
        {"TagLines", {754, 1485}},
        {"Currency", {2239, 3}},
        {"UnitPriceX", {2242, 18}},
        {"AmountExclTaxX", {2260, 16}},
        {"TaxAmountX", {2276, 16}},
        {"AmountInclTaxX", {2292, 16}},
        {"RecordEnd", {2308, 2}},
    }};
    return table;
}

std::optional<DeliveryField> DeliveryRecord::fieldByName(QStringView name)
{
    static const QHash<QString, int> byName = [] {
        QHash<QString, int> h;
        for (int i = 0; i < kFieldCount; ++i)
            h.insert(QString::fromLatin1(fields()[i].name), i);
        return h;
    }();
    const auto it = byName.constFind(name.toString());
    if (it == byName.cend())
        return std::nullopt;
    return static_cast<DeliveryField>(*it);
}

DeliveryRecord::DeliveryRecord() : m_bytes(kLength, ' ')
{
    m_bytes[kLength - 2] = '\r';
    m_bytes[kLength - 1] = '\n';
}

DeliveryRecord::DeliveryRecord(QByteArray bytes) : m_bytes(std::move(bytes))
{
    Q_ASSERT(m_bytes.size() == kLength);
}

namespace {

FixedField tagQtyField(int k)
{
    const FixedField lines = DeliveryRecord::field(DeliveryField::TagLines);
    return {lines.offset + (k - 1) * DeliveryRecord::kTagLineLength, 13};
}

FixedField tagCountField(int k)
{
    const FixedField qty = tagQtyField(k);
    return {qty.offset + 13, 2};
}

} // namespace

QString DeliveryRecord::tagQty(int k) const
{
    return fixed::read(m_bytes, tagQtyField(k));
}

QString DeliveryRecord::tagCount(int k) const
{
    return fixed::read(m_bytes, tagCountField(k));
}

std::optional<int> DeliveryRecord::tagLineTags(int k) const
{
    const FixedField qtyField = tagQtyField(k);
    const FixedField countField = tagCountField(k);
    const QByteArrayView qty(m_bytes.constData() + qtyField.offset, qtyField.width);
    const QByteArrayView count(m_bytes.constData() + countField.offset, countField.width);
    const auto ascii = [](QByteArrayView bytes) {
        return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    };
    // Every line the program writes is ASCII, read without decoding; anything
    // else is decoded first, so a blank of another script counts as blank too.
    if (ascii(qty) && ascii(count)) {
        if (qty.trimmed().isEmpty() || count.trimmed().isEmpty())
            return std::nullopt;
        return count.trimmed().toInt();
    }
    const QString countText = tagCount(k).trimmed();
    if (tagQty(k).trimmed().isEmpty() || countText.isEmpty())
        return std::nullopt;
    return countText.toInt();
}

void DeliveryRecord::setTagLine(int k, QStringView qty, QStringView count)
{
    fixed::write(m_bytes, tagQtyField(k), qty);
    fixed::write(m_bytes, tagCountField(k), count);
}

void DeliveryRecord::clearTagLines()
{
    for (int k = 1; k <= kTagLineCount; ++k)
        setTagLine(k, kZeroQty, QStringLiteral("00"));
}

void DeliveryRecord::copyField(const DeliveryRecord& from, DeliveryField f)
{
    const FixedField fld = field(f);
    std::memcpy(m_bytes.data() + fld.offset, from.m_bytes.constData() + fld.offset, fld.width);
}

void DeliveryRecord::stamp(const QDateTime& at)
{
    setText(DeliveryField::UpdatedAt, at.toString(QStringLiteral("yyyyMMddHHmm")));
}

} // namespace plx
