#include "DocumentData.h"

#include "Barcodes.h"

#include "core/text/Cp932.h"
#include "core/text/Decimal.h"
#include "core/text/VbFormat.h"

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
    const QString format(QLatin1Char(r.kind()));
    const QString name = codes.nameOf(format, QStringLiteral("01"), r.text(DeliveryField::InspectionClass).trimmed());
    return cp932::decode(fixed::fit(name, 4));
}

// The barcode columns: the key's readable text and data, then the three lines.
QStringList barcodeColumns(const DeliveryRecord& r, const BarcodeLines& b)
{
    const QString key = fixed::trimmedRight(r.text(DeliveryField::DeliveryKeyNo));
    return {QStringLiteral("(Z)") + key,
            QStringLiteral("Z") + (CheckCode39(key) == 0 ? key : QString()),
            QStringLiteral("(3N)3") + b.text(0).mid(3),
            b.text(3),
            QStringLiteral("(3N)4") + b.text(1).mid(3),
            b.text(4),
            QStringLiteral("(3N)5") + b.text(2).mid(3),
            b.text(5)};
}

QString companyName(const CustRecord& c, CustField f)
{
    return cp932::decode(fixed::fit(c.text(f), 50));
}

// The first nine columns, the same on slips and tags: codes and names of both
// parties, key, order number, delivery place, buyer and item code.
QStringList leadingColumns(const DeliveryRecord& r, const CustRecord& c)
{
    return {r.text(DeliveryField::OrdererCode),
            companyName(c, CustField::OrdererName),
            r.text(DeliveryField::SupplierCode),
            companyName(c, CustField::SupplierName),
            r.text(DeliveryField::DeliveryKeyNo),
            r.text(DeliveryField::OrderNo),
            kanjiRule(r, c, DeliveryField::DeliveryPlace, DeliveryField::DeliveryPlaceKanji),
            kanjiRule(r, c, DeliveryField::BuyerName, DeliveryField::BuyerNameKanji),
            r.text(DeliveryField::ItemCode)};
}

int barcodeDigits(const CustRecord& c, CustField f)
{
    return c.text(f).trimmed().toInt();
}

} // namespace

QByteArray csvLine(const QStringList& values)
{
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i)
            line += QLatin1Char(',');
        QString v = values[i];
        v.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        line += QLatin1Char('"') + v + QLatin1Char('"');
    }
    return cp932::encode(line) + "\r\n";
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
    const bool eiaj = r.kind() == DeliveryRecord::kKindEiaj;
    const BarcodeLines b =
        EncodeBarcodes(barcodeVariantOf(r), r, BarcodeDocument::Slip, barcodeDigits(c, CustField::SlipBarcodeDigits));
    QString unit = r.text(DeliveryField::Unit);
    if (!eiaj && CheckUnitChars(unit) != 0)
        unit = QStringLiteral("   ");

    QStringList cols = leadingColumns(r, c);
    cols += QStringList{kanjiRule(r, c, DeliveryField::ItemName, DeliveryField::ItemNameKanji),
                        kanjiRule(r, c, DeliveryField::OrdererRemarks, DeliveryField::OrdererRemarksKanji),
                        r.text(DeliveryField::OrdererBarcodeInfo),
                        shortDate(r.text(DeliveryField::DueDate)),
                        plainNumber(r.text(DeliveryField::OrderQty)),
                        plainNumber(r.text(DeliveryField::InstructedQty)),
                        inspectionName(r, codes),
                        unit,
                        shortDate(r.text(DeliveryField::ShipDate)),
                        shortDate(r.text(DeliveryField::PlannedDeliveryDate)),
                        plainNumber(r.text(DeliveryField::ShipQty)),
                        kanjiRule(r, c, DeliveryField::SupplierRemarks, DeliveryField::SupplierRemarksKanji),
                        r.text(DeliveryField::SupplierBarcodeInfo),
                        QStringLiteral("0"),
                        QStringLiteral("000/000"),
                        QStringLiteral("0 ")};
    QString currencyNote;
    if (eiaj) {
        const bool yen = r.text(DeliveryField::Currency) == QLatin1String("JPY");
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
        cols << price << excl << tax << incl;
        if (!yen)
            currencyNote = QLatin1Char('(') + r.text(DeliveryField::Currency) + QLatin1Char(')');
    } else {
        cols << r.text(DeliveryField::OrdererUse1) << r.text(DeliveryField::OrdererUse2)
             << r.text(DeliveryField::OrdererUse3) << r.text(DeliveryField::BcOutputClass);
    }
    cols << QString(6, QLatin1Char(' '));
    cols << barcodeColumns(r, b);
    cols << currencyNote;
    return cols;
}

QStringList tagColumns(const DeliveryRecord& r, const CustRecord& c, const CodeTable& codes, int line, int tagNumber,
                       int tagTotal)
{
    const bool kanji = c.text(CustField::KanjiUse) != QLatin1String("0");
    const QString qty = r.tagQty(line);
    const BarcodeLines b = EncodeBarcodes(barcodeVariantOf(r), r, BarcodeDocument::Tag,
                                          barcodeDigits(c, CustField::TagBarcodeDigits), qty);
    const QString remarksKanji = r.text(DeliveryField::OrdererRemarksKanji);
    const bool remarksWide = kanji && !blank(remarksKanji);
    const QString supplierKanji = r.text(DeliveryField::SupplierRemarksKanji);
    const bool supplierWide = kanji && !blank(supplierKanji);
    const QString supplierRemarks = r.text(DeliveryField::SupplierRemarks);
    const QString tagNo =
        (vbFormat(Decimal(tagNumber), u"##0") + QLatin1Char('/') + vbFormat(Decimal(tagTotal), u"##0"))
            .leftJustified(7, QLatin1Char(' '));

    QStringList cols = leadingColumns(r, c);
    cols += QStringList{r.text(DeliveryField::ItemCode),
                        kanjiRule(r, c, DeliveryField::ItemName, DeliveryField::ItemNameKanji),
                        remarksWide ? remarksKanji : r.text(DeliveryField::OrdererRemarks),
                        remarksWide ? QStringLiteral(" ") : r.text(DeliveryField::OrdererRemarks),
                        r.text(DeliveryField::OrdererBarcodeInfo),
                        shortDate(r.text(DeliveryField::DueDate)),
                        plainNumber(r.text(DeliveryField::OrderQty)),
                        plainNumber(r.text(DeliveryField::InstructedQty)),
                        inspectionName(r, codes),
                        r.text(DeliveryField::Unit),
                        shortDate(r.text(DeliveryField::ShipDate)),
                        shortDate(r.text(DeliveryField::PlannedDeliveryDate)),
                        plainNumber(r.text(DeliveryField::ShipQty)),
                        supplierWide ? supplierKanji : supplierRemarks};
    for (int i = 0; i < 3; ++i)
        cols << (supplierWide ? QString() : supplierRemarks);
    cols << r.text(DeliveryField::SupplierBarcodeInfo) << plainNumber(qty) << tagNo
         << QString::number(r.tagCount(line).trimmed().toInt());
    for (int i = 0; i < 4; ++i)
        cols << QString();
    cols << QString(6, QLatin1Char(' '));
    cols << barcodeColumns(r, b);
    return cols;
}

} // namespace plx
