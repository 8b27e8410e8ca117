#pragma once

#include "ProtocolDigit.h"

#include "core/text/FixedField.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace plx {

// The 53 fields of a delivery-slip record, in record order.
enum class DeliveryField {
    Kind,
    OrdererCode,
    SupplierCode,
    DeliveryKeyNo,
    Status,
    UpdatedAt,
    SourceNo,
    MessageKind,
    SourceDate,
    SlipIssued,
    TagIssued,
    SourceRef,
    OrderNo,
    InspectionClass,
    UnitPrice,
    OrderQty,
    BuyerName,
    BuyerNameKanji,
    ItemName,
    ItemNameKanji,
    ItemCode,
    Unit,
    DueDate,
    InstructedQty,
    ShipQty,
    ShipDate,
    PlannedDeliveryDate,
    ConsumptionTaxClass,
    TaxationClass,
    DeliveryPlace,
    DeliveryPlaceKanji,
    OrdererBarcodeInfo,
    OrdererRemarks,
    OrdererRemarksKanji,
    SupplierBarcodeInfo,
    SupplierRemarks,
    SupplierRemarksKanji,
    PriceDisplayClass,
    AmountExclTax,
    TaxAmount,
    AmountInclTax,
    BcOutputClass,
    OrdererUse1,
    OrdererUse2,
    OrdererUse3,
    SourceFlag,
    TagLines,
    Currency,
    UnitPriceX,
    AmountExclTaxX,
    TaxAmountX,
    AmountInclTaxX,
    RecordEnd,
};

struct DeliveryFieldInfo
{
    const char* name;
    FixedField field;
};

// One delivery-slip record: 2310 bytes of CP932 text in fixed-width fields, the
// same layout for EIAJ and KORVAN records, ending in CR LF.
class DeliveryRecord
{
public:
    static constexpr int kLength = 2310;
    static constexpr int kFieldCount = 53;
    static constexpr int kTagLineCount = 99;
    static constexpr int kTagLineLength = 15;

    static constexpr char kKindEiaj = '1';
    static constexpr char kKindKorvan = '2';
    static constexpr char kKindDeleted = ' ';

    // Zero texts of the number fields.
    static inline const QString kZeroQty = QStringLiteral("000000000.000");
    static inline const QString kZeroPrice = QStringLiteral("00000000000.000");
    static inline const QString kZeroAmount = QStringLiteral("0000000000");
    static inline const QString kZeroPriceX = QStringLiteral("000000000000.00000");
    static inline const QString kZeroAmountX = QStringLiteral("000000000000.000");

    static const std::array<DeliveryFieldInfo, kFieldCount>& fields();
    static FixedField field(DeliveryField f) { return fields()[static_cast<int>(f)].field; }
    static const char* name(DeliveryField f) { return fields()[static_cast<int>(f)].name; }
    static std::optional<DeliveryField> fieldByName(QStringView name);

    // A cleared record: every field blank, CR LF at the end.
    DeliveryRecord();
    // A record as read from a file; `bytes` must be kLength long.
    explicit DeliveryRecord(QByteArray bytes);

    const QByteArray& bytes() const { return m_bytes; }

    // The field decoded, trailing blanks kept.
    QString text(DeliveryField f) const { return fixed::read(m_bytes, field(f)); }
    // The field's bytes.
    QByteArray raw(DeliveryField f) const { return fixed::bytes(m_bytes, field(f)); }
    // Writes text into the field: cut at its width, blank-padded.
    void setText(DeliveryField f, QStringView value) { fixed::write(m_bytes, field(f), value); }

    // Takes the field's bytes from another record as they stand (no decoding).
    void copyField(const DeliveryRecord& from, DeliveryField f);

    // The Kind byte as stored: the protocol's digit, or a blank once deleted.
    char kind() const { return m_bytes.at(0); }
    void setKind(char digit) { m_bytes[0] = digit; }
    // The protocol of a live record; nothing once deleted.
    std::optional<Protocol> protocol() const { return protocolOfDigit(kind()); }
    void setProtocol(Protocol protocol) { setKind(protocolDigit(protocol)); }
    bool isLiveOf(Protocol protocol) const { return kind() == protocolDigit(protocol); }
    bool isDeleted() const { return kind() == kKindDeleted; }
    // The same test on a record's bytes in a file read whole.
    static bool isLiveOf(const char* recordBytes, Protocol protocol) { return *recordBytes == protocolDigit(protocol); }
    static bool isDeleted(const char* recordBytes) { return *recordBytes == kKindDeleted; }
    void setDeleted() { setKind(kKindDeleted); }

    // Shipping-tag line k (1..99): quantity per package and number of tags.
    QString tagQty(int k) const;
    QString tagCount(int k) const;
    void setTagLine(int k, QStringView qty, QStringView count);
    // The number of tags on line k, or nothing when its quantity or its count is
    // blank: the record's tag lines end before such a line.
    std::optional<int> tagLineTags(int k) const;
    // Every tag line set to the zero texts "000000000.000" and "00".
    void clearTagLines();

    // UpdatedAt = the time as "YYYYMMDDHHNN".
    void stamp(const QDateTime& at);

private:
    QByteArray m_bytes;
};

} // namespace plx
