#pragma once

#include "ProtocolDigit.h"

#include "core/text/FixedField.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace plx {

// The 20 fields of an ordering-company record, in record order.
enum class CustField {
    Protocol,
    Reserved1,
    OrdererCode,
    SupplierCode,
    OrdererName,
    SupplierName,
    KanjiUse,
    OutputKind,
    PriceDisplayKind,
    ConsumptionTaxKind,
    TaxationKind,
    AmountRounding,
    TaxRounding,
    SlipFormFile,
    TagFormFile,
    SlipBarcodeDigits,
    TagBarcodeDigits,
    Reserved2,
    Comment,
    LineEnd,
};

struct CustFieldInfo
{
    const char* name;
    FixedField field;
};

// One ordering company (a pair of orderer and our own supplier code within one
// protocol) with its document settings: 258 bytes of CP932 text ending in CR LF.
class CustRecord
{
public:
    static constexpr int kLength = 258;
    static constexpr int kFieldCount = 20;

    static constexpr char kProtocolEiaj = '1';
    static constexpr char kProtocolKorvan = '2';
    static constexpr char kProtocolDeleted = ' ';

    static const std::array<CustFieldInfo, kFieldCount>& fields();
    static FixedField field(CustField f) { return fields()[static_cast<int>(f)].field; }
    static std::optional<CustField> fieldByName(QStringView name);

    // A cleared record: every field blank, CR LF at the end.
    CustRecord();
    explicit CustRecord(QByteArray bytes);

    const QByteArray& bytes() const { return m_bytes; }
    QString text(CustField f) const { return fixed::read(m_bytes, field(f)); }
    QByteArray raw(CustField f) const { return fixed::bytes(m_bytes, field(f)); }
    void setText(CustField f, QStringView value) { fixed::write(m_bytes, field(f), value); }

    // The Protocol byte as stored: the protocol's digit, or a blank once deleted.
    char protocolByte() const { return m_bytes.at(0); }
    void setProtocolByte(char digit) { m_bytes[0] = digit; }
    // The protocol of a live company; nothing once deleted or unreadable.
    std::optional<Protocol> protocol() const { return protocolOfDigit(protocolByte()); }
    void setProtocol(Protocol protocol) { setProtocolByte(protocolDigit(protocol)); }

private:
    QByteArray m_bytes;
};

} // namespace plx
