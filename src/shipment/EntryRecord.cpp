#include "EntryRecord.h"

#include "AmountCalculation.h"
#include "EntryFormats.h"

#include "core/text/Cp932.h"
#include "core/text/FixedField.h"
#include "core/text/VbFormat.h"
#include "store/CodeTable.h"
#include "store/StatusRules.h"

namespace plx {

namespace {

using B = EntryBox;
using F = DeliveryField;

QString rtrim(const QString& text)
{
    return fixed::trimmedRight(text);
}

// A stored number shown in a box pattern; a blank field stays blank.
QString shown(const QString& stored, QStringView pattern)
{
    return stored.trimmed().isEmpty() ? QString() : vbFormatText(stored.trimmed(), pattern);
}

// A box value in a stored pattern; nothing typed (or nothing numeric) stores
// the pattern's zero.
QString stored(const QString& box, QStringView pattern)
{
    const auto value = boxNumber(box);
    return vbFormat(value ? *value : Decimal(0), pattern);
}

QString storedDate(const QString& box)
{
    return boxDate(box).value_or(QString());
}

struct KanjiPair
{
    EntryBox box;
    F single;
    F kanji;
};

// The kanji pairs of the order data (item, buyer, place, orderer remarks).
constexpr KanjiPair kOrderPairs[] = {{B::ItemName, F::ItemName, F::ItemNameKanji},
                                     {B::BuyerName, F::BuyerName, F::BuyerNameKanji},
                                     {B::DeliveryPlace, F::DeliveryPlace, F::DeliveryPlaceKanji},
                                     {B::OrdererRemarks, F::OrdererRemarks, F::OrdererRemarksKanji}};
constexpr KanjiPair kRemarksPair{B::SupplierRemarks, F::SupplierRemarks, F::SupplierRemarksKanji};

QString shownPair(const DeliveryRecord& r, const KanjiPair& pair, bool kanji)
{
    if (kanji && r.raw(pair.kanji).at(0) != ' ')
        return rtrim(r.text(pair.kanji));
    return rtrim(r.text(pair.single));
}

bool hasSingleByte(const QString& text)
{
    for (QChar c : text) {
        if (cp932::encode(QString(c)).size() == 1)
            return true;
    }
    return false;
}

// EIAJ: with kanji allowed a text goes to the double-byte field when it holds
// only double-byte characters, else to the single-byte field (which then
// blanks the double-byte one, so that it is what the window shows).
void writeEiajPair(DeliveryRecord& r, const KanjiPair& pair, const QString& text, bool kanji)
{
    if (!kanji) {
        r.setText(pair.single, text);
        return;
    }
    if (hasSingleByte(text) || text.isEmpty()) {
        r.setText(pair.single, text);
        r.setText(pair.kanji, QString());
    } else {
        r.setText(pair.kanji, text);
    }
}

// KORVAN: the setting alone decides the field.
void writeKorvanPair(DeliveryRecord& r, const KanjiPair& pair, const QString& text, bool kanji)
{
    r.setText(kanji ? pair.kanji : pair.single, text);
}

QString kindText(const DeliveryRecord& r, Protocol format)
{
    const QString kind = r.text(F::MessageKind).trimmed();
    if (format == Protocol::Korvan)
        return kind == QLatin1String("D10") ? QStringLiteral("(納品書)") : QStringLiteral("(画面入力)");
    if (kind == QLatin1String("0502"))
        return QStringLiteral("(確定注文)");
    if (kind == QLatin1String("0503"))
        return QStringLiteral("(変更注文)");
    if (kind == QLatin1String("0703"))
        return QStringLiteral("(納入指示)");
    return QStringLiteral("(画面入力)");
}

// The selected entry of a code list: the code of the record's field when the
// list has it, else none.
QString selectedCode(const CodeTable& codes, Protocol format, const char* kind, const QString& field)
{
    const CodeEntry* e = codes.find(format, QLatin1String(kind), field.trimmed());
    return e ? e->code : QString();
}

} // namespace

QString statusLabel(const QString& status)
{
    switch (statusOf(status)) {
    case RecordStatus::Waiting:
    case RecordStatus::Marked:
        return QStringLiteral("発行待");
    case RecordStatus::Issued:
        return QStringLiteral("発行済");
    case RecordStatus::Unprocessed:
        break;
    }
    return QStringLiteral("未処理");
}

EntryView displayRecord(const DeliveryRecord& r, Protocol format, const std::optional<CustRecord>& company,
                        const CodeTable& codes, int tagRows)
{
    EntryView v;
    EntryForm& f = v.form;
    v.companyFound = company.has_value();
    const bool kanji = kanjiAllowed(company);
    v.kanjiLabels = kanji;
    v.gridEnabled = !slipsOnly(company);

    const QString status = r.text(F::Status);
    const RecordStatus st = statusOf(status);
    v.registerEnabled =
        !(st == RecordStatus::Issued || (st == RecordStatus::Marked && r.text(F::SlipIssued) == QLatin1String("1") &&
                                         r.text(F::TagIssued) == QLatin1String("1")));
    v.label1 = kindText(r, format) + statusLabel(status);

    // Codes and keys without their trailing blanks: a key shown as stored would
    // fail the blank check of the registration.
    f[B::OrdererCode] = rtrim(r.text(F::OrdererCode));
    f[B::OrdererName] = company ? rtrim(company->text(CustField::OrdererName)) : QString();
    f[B::SupplierCode] = rtrim(r.text(F::SupplierCode));
    f[B::DeliveryKeyNo] = rtrim(r.text(F::DeliveryKeyNo));
    f[B::OrderNo] = rtrim(r.text(F::OrderNo));
    f[B::UpdatedOn] = updatedAtText(r.text(F::UpdatedAt));
    f[B::ItemCode] = rtrim(r.text(F::ItemCode));
    f[B::Unit] = rtrim(r.text(F::Unit));
    for (const KanjiPair& pair : kOrderPairs)
        f[pair.box] = shownPair(r, pair, kanji);
    f[B::OrderQty] = shown(r.text(F::OrderQty), u"##,###,##0.000");
    f[B::InstructedQty] = shown(r.text(F::InstructedQty), u"##,###,##0.000");
    f[B::DueDate] = shown(r.text(F::DueDate), u"0000/00/00");
    f[B::InspectionClass] = selectedCode(codes, format, "01", r.text(F::InspectionClass));

    const auto shipped = boxNumber(r.text(F::ShipQty));
    f[B::ShipQty] =
        shown(shipped && !shipped->isZero() ? r.text(F::ShipQty) : r.text(F::InstructedQty), u"##,###,##0.000");
    f[B::ShipDate] = storedDateText(r.text(F::ShipDate));
    f[B::PlannedDeliveryDate] = storedDateText(r.text(F::PlannedDeliveryDate));
    f[B::SupplierBarcodeInfo] = rtrim(r.text(F::SupplierBarcodeInfo));
    f[B::SupplierRemarks] = shownPair(r, kRemarksPair, kanji);

    if (format == Protocol::Eiaj) {
        f[B::OrdererBarcodeInfo] = rtrim(r.text(F::OrdererBarcodeInfo));
        f[B::ConsumptionTaxClass] = selectedCode(codes, format, "02", r.text(F::ConsumptionTaxClass));
        f[B::TaxationClass] = selectedCode(codes, format, "03", r.text(F::TaxationClass));
        f[B::PriceDisplayClass] = selectedCode(codes, format, "04", r.text(F::PriceDisplayClass));
        const QString currency = r.text(F::Currency).trimmed();
        f[B::Currency] = currency.isEmpty() ? QStringLiteral("JPY") : currency;
        v.foreign = isForeignCurrency(currency);
        if (v.foreign) {
            f[B::UnitPrice] = shown(r.text(F::UnitPriceX), u"###,###,###,##0.00000");
            f[B::AmountExclTax] = shown(r.text(F::AmountExclTaxX), u"###,###,###,##0.000");
            f[B::TaxAmount] = shown(r.text(F::TaxAmountX), u"###,###,###,##0.000");
            f[B::AmountInclTax] = shown(r.text(F::AmountInclTaxX), u"###,###,###,##0.000");
        } else {
            f[B::UnitPrice] = shown(r.text(F::UnitPrice), u"#,###,###,##0.000");
            f[B::AmountExclTax] = shown(r.text(F::AmountExclTax), u"#,###,###,##0");
            f[B::TaxAmount] = shown(r.text(F::TaxAmount), u"#,###,###,##0");
            f[B::AmountInclTax] = shown(r.text(F::AmountInclTax), u"#,###,###,##0");
        }
    } else {
        f.bcOption = r.text(F::BcOutputClass) == QLatin1String("1") ? 1 : 2;
        f[B::OrdererUse1] = rtrim(r.text(F::OrdererUse1));
        f[B::OrdererUse2] = rtrim(r.text(F::OrdererUse2));
        f[B::OrdererUse3] = rtrim(r.text(F::OrdererUse3));
    }

    for (int row = 0; row < tagRows; ++row) {
        if (row < DeliveryRecord::kTagLineCount) {
            f.tags.append({shown(r.tagQty(row + 1), u"###,###,##0.000"), shown(r.tagCount(row + 1), u"#0")});
        } else {
            f.tags.append({QStringLiteral("0.000"), QStringLiteral("0")});
        }
    }
    return v;
}

EntryView newRecordScreen(Protocol format, const RememberedOrderer& remembered, const QDate& today, int tagRows)
{
    EntryView v;
    EntryForm& f = v.form;
    v.label1 = QStringLiteral("新規（画面入力）");
    v.registerEnabled = true;
    f[B::OrdererCode] = remembered.ordererCode;
    f[B::OrdererName] = remembered.ordererName;
    f[B::SupplierCode] = remembered.supplierCode;
    const QString date = today.toString(QStringLiteral("yyyy/MM/dd"));
    f[B::UpdatedOn] = date;
    f[B::ShipDate] = date;
    f[B::PlannedDeliveryDate] = date;
    if (format == Protocol::Eiaj)
        f[B::Currency] = QStringLiteral("JPY");
    for (int row = 0; row < tagRows; ++row)
        f.tags.append({QStringLiteral("0.000"), QStringLiteral("0")});
    return v;
}

void applyRegistrationStatus(DeliveryRecord& r, bool issue)
{
    const IssueState after = afterRegistration({r.text(F::Status), r.text(F::SlipIssued), r.text(F::TagIssued)}, issue);
    r.setText(F::Status, after.status);
    r.setText(F::SlipIssued, after.slipIssued);
    r.setText(F::TagIssued, after.tagIssued);
}

void writeEntry(DeliveryRecord& r, const EntryForm& f, Protocol format, EntryMode mode,
                const std::optional<CustRecord>& company)
{
    const bool kanji = kanjiAllowed(company);
    const bool eiaj = format == Protocol::Eiaj;

    // Shipment.
    r.setText(F::ShipQty, stored(f[B::ShipQty], u"000000000.000"));
    r.setText(F::ShipDate, storedDate(f[B::ShipDate]));
    r.setText(F::PlannedDeliveryDate, storedDate(f[B::PlannedDeliveryDate]));
    if (eiaj) {
        const bool foreign = isForeignCurrency(f[B::Currency]);
        const QString yenZero = DeliveryRecord::kZeroAmount;
        const QString foreignZero = DeliveryRecord::kZeroAmountX;
        const std::pair<EntryBox, std::pair<F, F>> amounts[] = {
            {B::AmountExclTax, {F::AmountExclTax, F::AmountExclTaxX}},
            {B::TaxAmount, {F::TaxAmount, F::TaxAmountX}},
            {B::AmountInclTax, {F::AmountInclTax, F::AmountInclTaxX}}};
        for (const auto& [box, fields] : amounts) {
            r.setText(fields.first, foreign ? yenZero : stored(f[box], u"0000000000"));
            r.setText(fields.second, foreign ? stored(f[box], u"000000000000.000") : foreignZero);
        }
    }
    r.setText(F::SupplierBarcodeInfo, f[B::SupplierBarcodeInfo]);
    if (eiaj)
        writeEiajPair(r, kRemarksPair, f[B::SupplierRemarks], kanji);
    else
        writeKorvanPair(r, kRemarksPair, f[B::SupplierRemarks], kanji);

    // Tag lines, packed from the first element.
    r.clearTagLines();
    if (!slipsOnly(company)) {
        int next = 1;
        for (const TagRow& row : f.tags) {
            const auto qty = boxNumber(row.qty.isEmpty() ? QStringLiteral("0") : row.qty);
            const auto count = boxNumber(row.count.isEmpty() ? QStringLiteral("0") : row.count);
            if (!qty || !count || qty->isZero() || count->isZero() || next > DeliveryRecord::kTagLineCount)
                continue;
            r.setTagLine(next++, vbFormat(*qty, u"000000000.000"), vbFormat(*count, u"00"));
        }
    }

    if (mode == EntryMode::Existing)
        return;

    // Order data.
    if (mode == EntryMode::New) {
        r.setProtocol(format);
        r.setText(F::OrdererCode, f[B::OrdererCode]);
        r.setText(F::SupplierCode, f[B::SupplierCode]);
        r.setText(F::DeliveryKeyNo, f[B::DeliveryKeyNo]);
        r.setText(F::OrderNo, f[B::OrderNo]);
        r.setText(F::MessageKind, u"    ");
    }
    r.setText(F::ItemCode, f[B::ItemCode]);
    for (const KanjiPair& pair : kOrderPairs) {
        if (eiaj)
            writeEiajPair(r, pair, f[pair.box], kanji);
        else
            writeKorvanPair(r, pair, f[pair.box], kanji);
    }
    r.setText(F::Unit, f[B::Unit]);
    r.setText(F::OrderQty, stored(f[B::OrderQty], u"000000000.000"));
    r.setText(F::InstructedQty, stored(f[B::InstructedQty], u"000000000.000"));
    r.setText(F::InspectionClass, f[B::InspectionClass].left(3));
    r.setText(F::DueDate, storedDate(f[B::DueDate]));
    if (eiaj) {
        r.setText(F::OrdererBarcodeInfo, f[B::OrdererBarcodeInfo]);
        const QString currency = f[B::Currency].trimmed().toUpper();
        r.setText(F::Currency, currency);
        if (isForeignCurrency(currency)) {
            r.setText(F::UnitPrice, DeliveryRecord::kZeroPrice);
            r.setText(F::UnitPriceX, stored(f[B::UnitPrice], u"000000000000.00000"));
        } else {
            r.setText(F::UnitPrice, stored(f[B::UnitPrice], u"00000000000.000"));
            r.setText(F::UnitPriceX, DeliveryRecord::kZeroPriceX);
        }
        r.setText(F::ConsumptionTaxClass, f[B::ConsumptionTaxClass].left(1));
        r.setText(F::TaxationClass, f[B::TaxationClass].left(1));
        r.setText(F::PriceDisplayClass, f[B::PriceDisplayClass].left(1));
    } else {
        r.setText(F::UnitPrice, DeliveryRecord::kZeroPrice);
        r.setText(F::ConsumptionTaxClass, u" ");
        r.setText(F::TaxationClass, u" ");
        r.setText(F::PriceDisplayClass, u"1");
        r.setText(F::BcOutputClass, f.bcOption == 1 ? u"1" : u"0");
        r.setText(F::OrdererUse1, f[B::OrdererUse1]);
        r.setText(F::OrdererUse2, f[B::OrdererUse2]);
        r.setText(F::OrdererUse3, f[B::OrdererUse3]); // cut to its 20 bytes
    }
}

DeliveryRecord newRecordBase(Protocol format, const std::optional<DeliveryRecord>& copied)
{
    if (format == Protocol::Korvan && copied)
        return *copied;
    return DeliveryRecord();
}

} // namespace plx
