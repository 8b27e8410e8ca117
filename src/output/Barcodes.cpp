#include "Barcodes.h"

#include "core/ErrorReport.h"
#include "core/text/Cp932.h"
#include "core/text/Decimal.h"
#include "core/text/NumericText.h"
#include "core/text/VbFormat.h"

namespace plx {

namespace {

// Fits three lines into `d` characters each by moving overflow between them.
void fitToCapacity(QString& l1, QString& l2, QString& l3, int d)
{
    const qsizetype r1 = d - l1.size();
    const qsizetype r2 = d - l2.size();
    const qsizetype r3 = d - l3.size();
    if (r1 >= 0 && r2 >= 0 && r3 >= 0)
        return;
    const QString data3 = l3.mid(3);
    if (r1 + r2 + r3 < 0) {
        l1 = QStringLiteral("3N3");
        l2 = QStringLiteral("3N4");
        l3 = QStringLiteral("3N5");
    } else if (r1 < 0 && r2 < 0) {
        const QString rest1 = l1.mid(d);
        const QString rest2 = l2.mid(d);
        l1 = l1.left(d);
        l2 = l2.left(d);
        l3 = QStringLiteral("3N5") + rest1 + rest2 + data3;
    } else if (r2 < 0) {
        const QString rest2 = l2.mid(d);
        l2 = l2.left(d);
        l3 = QStringLiteral("3N5") + rest2 + data3;
    } else if (r1 < 0) {
        const QString rest1 = l1.mid(d);
        l1 = l1.left(d);
        l2 += data3.left(r2);
        l3 = QStringLiteral("3N5") + rest1 + data3.mid(r2);
    } else {
        l2 += data3.left(r2);
        l3 = QStringLiteral("3N5") + data3.mid(r2);
    }
}

} // namespace

bool isCode39Text(QStringView text)
{
    for (QChar c : text) {
        if (!kCode39Alphabet.contains(c))
            return false;
    }
    return true;
}

QString BarcodeQuantity(QStringView text)
{
    QString digits;
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char(','))
            digits += c;
    }
    digits.truncate(20);
    const auto value = Decimal::parse(digits);
    if (!value)
        throw RuntimeFailure(QStringLiteral("数量が数値ではありません。(%1)").arg(text.toString()));
    const QString formatted = vbFormat(*value, u"#######0.000");
    const qsizetype point = formatted.indexOf(QLatin1Char('.'));
    const QString integer = formatted.left(point);
    QString decimals = formatted.mid(point + 1);
    while (decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    return decimals.isEmpty() ? integer : integer + QLatin1Char('.') + decimals;
}

QString RemoveChar(QStringView text, QChar c)
{
    QString out = text.toString();
    out.remove(c);
    return out;
}

bool isKorvanUnitText(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const short code = cp932::sjisCode(text.mid(i, 1));
        if (code < 32 || code > 92 || code == '!' || code == '"' || code == '[')
            return false;
    }
    return true;
}

BarcodeVariant barcodeVariantOf(const DeliveryRecord& record)
{
    if (record.protocol() == Protocol::Eiaj)
        return BarcodeVariant::Eiaj;
    return record.text(DeliveryField::BcOutputClass) == QLatin1String("1") ? BarcodeVariant::KorvanWithBarcode
                                                                           : BarcodeVariant::KorvanWithoutBarcode;
}

BarcodeLines EncodeBarcodes(BarcodeVariant variant, const DeliveryRecord& record, BarcodeDocument document, int digits,
                            QStringView tagQty)
{
    // 1. The fields.
    const QString k = fixed::trimmedRight(record.text(DeliveryField::DeliveryKeyNo));
    const QString i = fixed::trimmedRight(record.text(DeliveryField::ItemCode));
    const QString s = fixed::trimmedRight(record.text(DeliveryField::SupplierBarcodeInfo));
    QString o;
    if (variant == BarcodeVariant::Eiaj)
        o = fixed::trimmedRight(record.text(DeliveryField::OrdererBarcodeInfo));
    else if (variant == BarcodeVariant::KorvanWithBarcode)
        o = fixed::trimmedRight(record.text(DeliveryField::OrdererUse1));
    // 2. The quantities.
    const QString q1 = BarcodeQuantity(record.text(DeliveryField::ShipQty));
    const QString q2 = document == BarcodeDocument::Tag ? BarcodeQuantity(tagQty) : QString();
    // 4. A field outside the alphabet is masked in the barcode data.
    const auto barcodeForm = [](const QString& text) {
        return !text.isEmpty() && !isCode39Text(text) ? QString(text.size(), QLatin1Char('*')) : text;
    };
    const QString kb = barcodeForm(k), ib = barcodeForm(i), ob = barcodeForm(o), sb = barcodeForm(s);
    // 5. The lines.
    const QString sp(QLatin1Char(' '));
    QString l1 = QStringLiteral("3N3") + k + sp + q1 + sp;
    QString l2 = QStringLiteral("3N4") + i + sp + q2 + sp;
    QString l3 = QStringLiteral("3N5") + o + sp + s;
    QString b1 = QStringLiteral("3N3") + kb + sp + q1 + sp;
    QString b2 = QStringLiteral("3N4") + ib + sp + q2 + sp;
    QString b3 = QStringLiteral("3N5") + ob + sp + sb;
    // 6. Within the capacity.
    fitToCapacity(l1, l2, l3, digits);
    fitToCapacity(b1, b2, b3, digits);
    // 7. The masked fields leave the barcode data.
    b1 = RemoveChar(b1, QLatin1Char('*'));
    b2 = RemoveChar(b2, QLatin1Char('*'));
    b3 = RemoveChar(b3, QLatin1Char('*'));
    // 8. Forty characters each.
    BarcodeLines out;
    const QString all[6] = {l1, l2, l3, b1, b2, b3};
    for (int n = 0; n < 6; ++n) {
        out.lengths[n] = short(std::min<qsizetype>(all[n].size(), 40));
        out.lines[n] = all[n].left(40).leftJustified(40, QLatin1Char(' '));
    }
    return out;
}

} // namespace plx
