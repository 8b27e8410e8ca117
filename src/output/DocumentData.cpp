#include "DocumentData.h"

#include "Barcodes.h"

#include "core/text/Cp932.h"
#include "core/text/Decimal.h"
#include "core/text/VbFormat.h"

#include <algorithm>
#include <array>
#include <utility>

namespace plx {

namespace {

bool blank(const QString& s)
{
    return s.trimmed().isEmpty();
}

// A double-byte field cut to its width, or the single-byte field when the
// company forbids kanji or the double-byte one is blank.
QString kanjiRule(const DeliveryRecord& r, const CustRecord& c, DeliveryField single, DeliveryField doubleByte)
{
    if (c.text(CustField::KanjiUse) == QLatin1String("0"))
        return r.text(single);
    const QString wide = r.text(doubleByte);
    return blank(wide) ? r.text(single) : wide;
}

QString inspectionName(const DeliveryRecord& r, const CodeTable& codes)
{
    const std::optional<Protocol> format = r.protocol();
    const QString name =
        format ? codes.nameOf(*format, QStringLiteral("01"), r.text(DeliveryField::InspectionClass).trimmed())
               : QString();
    return cp932::decode(fixed::fit(name, 4));
}

// The values of one data line, set by column name. Each column is set exactly
// once, and a line is complete only when every column is set, so no value can
// land in a neighbouring column.
template <typename Column, int Count> class ColumnLine
{
public:
    using ColumnType = Column;

    void set(Column column, QString value)
    {
        const int i = columnIndex(column);
        Q_ASSERT_X(!m_set[i], "ColumnLine::set", "a column set twice");
        m_values[i] = std::move(value);
        m_set[i] = true;
    }

    QStringList values() const
    {
        Q_ASSERT_X(std::all_of(m_set.begin(), m_set.end(), [](bool set) { return set; }), "ColumnLine::values",
                   "a column left unset");
        return QStringList(m_values.begin(), m_values.end());
    }

private:
    std::array<QString, Count> m_values;
    std::array<bool, Count> m_set{};
};

using SlipLine = ColumnLine<SlipColumn, kSlipColumnCount>;
using TagLine = ColumnLine<TagColumn, kTagColumnCount>;

// The barcode columns: the key's readable text and data, then the three lines.
template <typename Line> void setBarcodeColumns(Line& line, const DeliveryRecord& r, const BarcodeLines& b)
{
    using C = typename Line::ColumnType;
    const QString key = fixed::trimmedRight(r.text(DeliveryField::DeliveryKeyNo));
    line.set(C::KeyBarcodeText, QStringLiteral("(Z)") + key);
    line.set(C::KeyBarcodeData, QStringLiteral("Z") + (isCode39Text(key) ? key : QString()));
    line.set(C::Barcode3N3Text, QStringLiteral("(3N)3") + b.text(0).mid(3));
    line.set(C::Barcode3N3Data, b.text(3));
    line.set(C::Barcode3N4Text, QStringLiteral("(3N)4") + b.text(1).mid(3));
    line.set(C::Barcode3N4Data, b.text(4));
    line.set(C::Barcode3N5Text, QStringLiteral("(3N)5") + b.text(2).mid(3));
    line.set(C::Barcode3N5Data, b.text(5));
}

QString companyName(const CustRecord& c, CustField f)
{
    return cp932::decode(fixed::fit(c.text(f), 50));
}

// The first nine columns, the same on slips and tags: codes and names of both
// parties, key, order number, delivery place, buyer and item code.
template <typename Line> void setLeadingColumns(Line& line, const DeliveryRecord& r, const CustRecord& c)
{
    using C = typename Line::ColumnType;
    line.set(C::OrdererCode, r.text(DeliveryField::OrdererCode));
    line.set(C::OrdererName, companyName(c, CustField::OrdererName));
    line.set(C::SupplierCode, r.text(DeliveryField::SupplierCode));
    line.set(C::SupplierName, companyName(c, CustField::SupplierName));
    line.set(C::DeliveryKeyNo, r.text(DeliveryField::DeliveryKeyNo));
    line.set(C::OrderNo, r.text(DeliveryField::OrderNo));
    line.set(C::DeliveryPlace, kanjiRule(r, c, DeliveryField::DeliveryPlace, DeliveryField::DeliveryPlaceKanji));
    line.set(C::BuyerName, kanjiRule(r, c, DeliveryField::BuyerName, DeliveryField::BuyerNameKanji));
    line.set(C::ItemCode, r.text(DeliveryField::ItemCode));
}

int barcodeDigits(const CustRecord& c, CustField f)
{
    return c.text(f).trimmed().toInt();
}

} // namespace

QByteArray csvLine(const QStringList& values)
{
    // Built in one string: a print run writes tens of thousands of these lines.
    qsizetype size = 0;
    for (const QString& v : values)
        size += v.size() + 3;
    QString line;
    line.reserve(size);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            line += QLatin1Char(',');
        line += QLatin1Char('"');
        const QString& v = values[i];
        if (v.contains(QLatin1Char('"')))
            line += QString(v).replace(QLatin1Char('"'), QStringLiteral("\"\""));
        else
            line += v;
        line += QLatin1Char('"');
    }
    QByteArray bytes = cp932::encode(line);
    bytes += "\r\n";
    return bytes;
}

QString plainNumber(const QString& stored)
{
    if (blank(stored))
        return QString();
    const auto value = Decimal::parse(stored);
    if (!value)
        return stored.trimmed();
    QString text = value->toString();
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString shortDate(const QString& stored)
{
    return vbFormatText(stored, u"0000/00/00").right(8);
}

int tagTotalOf(const DeliveryRecord& record)
{
    int total = 0;
    for (int k = 1; k <= DeliveryRecord::kTagLineCount; ++k) {
        const QString count = record.tagCount(k);
        if (count == QLatin1String("00"))
            break;
        total += count.trimmed().toInt();
    }
    return total;
}

QStringList slipColumns(const DeliveryRecord& r, const CustRecord& c, const CodeTable& codes)
{
    using C = SlipColumn;
    const bool eiaj = r.protocol() == Protocol::Eiaj;
    const BarcodeLines b =
        EncodeBarcodes(barcodeVariantOf(r), r, BarcodeDocument::Slip, barcodeDigits(c, CustField::SlipBarcodeDigits));
    QString unit = r.text(DeliveryField::Unit);
    if (!eiaj && !isKorvanUnitText(unit))
        unit = QStringLiteral("   ");

    SlipLine line;
    setLeadingColumns(line, r, c);
    line.set(C::ItemName, kanjiRule(r, c, DeliveryField::ItemName, DeliveryField::ItemNameKanji));
    line.set(C::OrdererRemarks, kanjiRule(r, c, DeliveryField::OrdererRemarks, DeliveryField::OrdererRemarksKanji));
    line.set(C::OrdererBarcodeInfo, r.text(DeliveryField::OrdererBarcodeInfo));
    line.set(C::DueDate, shortDate(r.text(DeliveryField::DueDate)));
    line.set(C::OrderQty, plainNumber(r.text(DeliveryField::OrderQty)));
    line.set(C::InstructedQty, plainNumber(r.text(DeliveryField::InstructedQty)));
    line.set(C::InspectionClassName, inspectionName(r, codes));
    line.set(C::Unit, unit);
    line.set(C::ShipDate, shortDate(r.text(DeliveryField::ShipDate)));
    line.set(C::PlannedDeliveryDate, shortDate(r.text(DeliveryField::PlannedDeliveryDate)));
    line.set(C::ShipQty, plainNumber(r.text(DeliveryField::ShipQty)));
    line.set(C::SupplierRemarks, kanjiRule(r, c, DeliveryField::SupplierRemarks, DeliveryField::SupplierRemarksKanji));
    line.set(C::SupplierBarcodeInfo, r.text(DeliveryField::SupplierBarcodeInfo));
    line.set(C::FixedZero, QStringLiteral("0"));
    line.set(C::FixedZeroOfZero, QStringLiteral("000/000"));
    line.set(C::FixedZeroPadded, QStringLiteral("0 "));
    QString currencyNote;
    if (eiaj) {
        // A blank currency (an order without one, every delivery instruction)
        // is yen, as the entry window shows and registers it.
        const QString currency = r.text(DeliveryField::Currency).trimmed();
        const bool yen = currency.isEmpty() || currency == QLatin1String("JPY");
        const auto amount = [&](DeliveryField yenField, DeliveryField other) {
            return plainNumber(r.text(yen ? yenField : other));
        };
        const QString display = r.text(DeliveryField::PriceDisplayClass);
        QString price, excl, tax, incl;
        if (display == QLatin1String("2") || display == QLatin1String("3") || display == QLatin1String("4"))
            price = amount(DeliveryField::UnitPrice, DeliveryField::UnitPriceX);
        if (display == QLatin1String("2") || display == QLatin1String("3"))
            excl = amount(DeliveryField::AmountExclTax, DeliveryField::AmountExclTaxX);
        if (display == QLatin1String("2")) {
            tax = amount(DeliveryField::TaxAmount, DeliveryField::TaxAmountX);
            incl = amount(DeliveryField::AmountInclTax, DeliveryField::AmountInclTaxX);
        }
        line.set(C::UnitPriceOrUse1, price);
        line.set(C::AmountExclTaxOrUse2, excl);
        line.set(C::TaxAmountOrUse3, tax);
        line.set(C::AmountInclTaxOrBcOutputClass, incl);
        if (!yen)
            currencyNote = QLatin1Char('(') + r.text(DeliveryField::Currency) + QLatin1Char(')');
    } else {
        line.set(C::UnitPriceOrUse1, r.text(DeliveryField::OrdererUse1));
        line.set(C::AmountExclTaxOrUse2, r.text(DeliveryField::OrdererUse2));
        line.set(C::TaxAmountOrUse3, r.text(DeliveryField::OrdererUse3));
        line.set(C::AmountInclTaxOrBcOutputClass, r.text(DeliveryField::BcOutputClass));
    }
    line.set(C::Blanks, QString(6, QLatin1Char(' ')));
    setBarcodeColumns(line, r, b);
    line.set(C::CurrencyNote, currencyNote);
    return line.values();
}

QStringList tagColumns(const DeliveryRecord& r, const CustRecord& c, const CodeTable& codes, int tagLine, int tagNumber,
                       int tagTotal)
{
    using C = TagColumn;
    const bool kanji = c.text(CustField::KanjiUse) != QLatin1String("0");
    const QString qty = r.tagQty(tagLine);
    const BarcodeLines b = EncodeBarcodes(barcodeVariantOf(r), r, BarcodeDocument::Tag,
                                          barcodeDigits(c, CustField::TagBarcodeDigits), qty);
    const QString remarks = r.text(DeliveryField::OrdererRemarks);
    const QString remarksKanji = r.text(DeliveryField::OrdererRemarksKanji);
    const bool remarksWide = kanji && !blank(remarksKanji);
    const QString supplierKanji = r.text(DeliveryField::SupplierRemarksKanji);
    const bool supplierWide = kanji && !blank(supplierKanji);
    const QString supplierRemarks = r.text(DeliveryField::SupplierRemarks);
    const QString supplierSingle = supplierWide ? QString() : supplierRemarks;
    const QString tagNo =
        (vbFormat(Decimal(tagNumber), u"##0") + QLatin1Char('/') + vbFormat(Decimal(tagTotal), u"##0"))
            .leftJustified(7, QLatin1Char(' '));

    TagLine line;
    setLeadingColumns(line, r, c);
    line.set(C::ItemCodeAgain, r.text(DeliveryField::ItemCode));
    line.set(C::ItemName, kanjiRule(r, c, DeliveryField::ItemName, DeliveryField::ItemNameKanji));
    line.set(C::OrdererRemarks, remarksWide ? remarksKanji : remarks);
    line.set(C::OrdererRemarksSingleByte, remarksWide ? QStringLiteral(" ") : remarks);
    line.set(C::OrdererBarcodeInfo, r.text(DeliveryField::OrdererBarcodeInfo));
    line.set(C::DueDate, shortDate(r.text(DeliveryField::DueDate)));
    line.set(C::OrderQty, plainNumber(r.text(DeliveryField::OrderQty)));
    line.set(C::InstructedQty, plainNumber(r.text(DeliveryField::InstructedQty)));
    line.set(C::InspectionClassName, inspectionName(r, codes));
    line.set(C::Unit, r.text(DeliveryField::Unit));
    line.set(C::ShipDate, shortDate(r.text(DeliveryField::ShipDate)));
    line.set(C::PlannedDeliveryDate, shortDate(r.text(DeliveryField::PlannedDeliveryDate)));
    line.set(C::ShipQty, plainNumber(r.text(DeliveryField::ShipQty)));
    line.set(C::SupplierRemarks, supplierWide ? supplierKanji : supplierRemarks);
    line.set(C::SupplierRemarksSingleByte1, supplierSingle);
    line.set(C::SupplierRemarksSingleByte2, supplierSingle);
    line.set(C::SupplierRemarksSingleByte3, supplierSingle);
    line.set(C::SupplierBarcodeInfo, r.text(DeliveryField::SupplierBarcodeInfo));
    line.set(C::PackageQty, plainNumber(qty));
    line.set(C::TagNumber, tagNo);
    line.set(C::TagCount, QString::number(r.tagCount(tagLine).trimmed().toInt()));
    for (C empty : {C::Empty1, C::Empty2, C::Empty3, C::Empty4})
        line.set(empty, QString());
    line.set(C::Blanks, QString(6, QLatin1Char(' ')));
    setBarcodeColumns(line, r, b);
    return line.values();
}

} // namespace plx
