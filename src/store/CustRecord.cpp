#include "CustRecord.h"

#include <QHash>

namespace plx {

const std::array<CustFieldInfo, CustRecord::kFieldCount>& CustRecord::fields()
{
    static const std::array<CustFieldInfo, kFieldCount> table = {{
        {"Protocol", {0, 1}},           {"Reserved1", {1, 10}},
        {"OrdererCode", {11, 12}},      {"SupplierCode", {23, 12}},
        {"OrdererName", {35, 50}},      {"SupplierName", {85, 50}},
        {"KanjiUse", {135, 1}},         {"OutputKind", {136, 1}},
        {"PriceDisplayKind", {137, 1}}, {"ConsumptionTaxKind", {138, 1}},
        {"TaxationKind", {139, 1}},     {"AmountRounding", {140, 1}},
        {"TaxRounding", {141, 1}},      {"SlipFormFile", {142, 36}},
        {"TagFormFile", {178, 36}},     {"SlipBarcodeDigits", {214, 2}},
        {"TagBarcodeDigits", {216, 2}}, {"Reserved2", {218, 22}},
        {"Comment", {240, 16}},         {"LineEnd", {256, 2}},
    }};
    return table;
}

std::optional<CustField> CustRecord::fieldByName(QStringView name)
{
    for (int i = 0; i < kFieldCount; ++i) {
        if (name == QLatin1String(fields()[i].name))
            return static_cast<CustField>(i);
    }
    return std::nullopt;
}

CustRecord::CustRecord() : m_bytes(kLength, ' ')
{
    m_bytes[kLength - 2] = '\r';
    m_bytes[kLength - 1] = '\n';
}

CustRecord::CustRecord(QByteArray bytes) : m_bytes(std::move(bytes))
{
    Q_ASSERT(m_bytes.size() == kLength);
}

} // namespace plx
