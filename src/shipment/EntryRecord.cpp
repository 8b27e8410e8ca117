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

QString shownPair(const DeliveryRecord& r, const EntryBoxInfo& b, bool kanji)
{
    if (kanji && r.raw(*b.kanjiField).at(0) != ' ')
        return rtrim(r.text(*b.kanjiField));
    return rtrim(r.text(*b.field));
}

bool hasSingleByte(const QString& text)
{
    for (QChar c : text) {
        if (cp932::encode(QString(c)).size() == 1)
            return true;
    }
    return false;
}

// A kanji pair's text. EIAJ: with kanji allowed a text goes to the double-byte
// field when it holds only double-byte characters, else to the single-byte
// field (which then blanks the double-byte one, so that it is what the window
// shows). KORVAN: the setting alone decides the field.
void writePair(DeliveryRecord& r, const EntryBoxInfo& b, const QString& text, Protocol format, bool kanji)
{
    const F single = *b.field;
    const F doubleByte = *b.kanjiField;
    if (format == Protocol::Korvan) {
        r.setText(kanji ? doubleByte : single, text);
        return;
    }
    if (!kanji) {
        r.setText(single, text);
        return;
    }
    if (hasSingleByte(text) || text.isEmpty()) {
        r.setText(single, text);
        r.setText(doubleByte, QString());
    } else {
        r.setText(doubleByte, text);
    }
}

// The fields the KORVAN window has no box for, as its order data writes them.
struct FixedValue
{
    F field;
    const QString& value;
};
const QString kBlank = QStringLiteral(" ");
const QString kPriceDisplayAll = QStringLiteral("1");
const FixedValue kKorvanOrderData[] = {{F::UnitPrice, DeliveryRecord::kZeroPrice},
                                       {F::ConsumptionTaxClass, kBlank},
                                       {F::TaxationClass, kBlank},
                                       {F::PriceDisplayClass, kPriceDisplayAll}};

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
QString selectedCode(const CodeTable& codes, Protocol format, const EntryBoxInfo& b, const QString& field)
{
    const CodeEntry* e = codes.find(format, b.kind(), field.trimmed());
    return e ? e->code : QString();
}

// What a box shows of the record.
QString shownBox(const EntryBoxInfo& b, const DeliveryRecord& r, Protocol format,
                 const std::optional<CustRecord>& company, const CodeTable& codes, bool foreign)
{
    switch (b.value) {
    case BoxValue::Text:
        // Codes and keys without their trailing blanks: a key shown as stored
        // would fail the blank check of the registration.
        return b.kanjiField ? shownPair(r, b, kanjiAllowed(company)) : rtrim(r.text(*b.field));
    case BoxValue::Currency: {
        const QString currency = r.text(*b.field).trimmed();
        return currency.isEmpty() ? QStringLiteral("JPY") : currency;
    }
    case BoxValue::Quantity:
        // No quantity shipped yet: the instructed quantity stands in.
        if (b.box == B::ShipQty) {
            const auto shipped = boxNumber(r.text(F::ShipQty));
            return shown(shipped && !shipped->isZero() ? r.text(F::ShipQty) : r.text(F::InstructedQty),
                         b.shown.of(foreign));
        }
        return shown(r.text(*b.field), b.shown.of(foreign));
    case BoxValue::UnitPrice:
    case BoxValue::Amount:
        return shown(r.text(foreign ? *b.foreignField : *b.field), b.shown.of(foreign));
    case BoxValue::Date:
        return b.shown.isNone() ? storedDateText(r.text(*b.field)) : shown(r.text(*b.field), b.shown.of(foreign));
    case BoxValue::Code:
        return selectedCode(codes, format, b, r.text(*b.field));
    case BoxValue::Shown:
        if (b.box == B::UpdatedOn)
            return updatedAtText(r.text(*b.field));
        // The orderer's name is its company's.
        return company ? rtrim(company->text(CustField::OrdererName)) : QString();
    case BoxValue::Tags:
        break;
    }
    return QString();
}

// Writes a box's text to its field(s).
void writeBox(DeliveryRecord& r, const EntryBoxInfo& b, const EntryForm& f, Protocol format, bool kanji, bool foreign)
{
    const QString& text = f[b.box];
    switch (b.value) {
    case BoxValue::Text:
        if (b.kanjiField)
            writePair(r, b, text, format, kanji);
        else
            r.setText(*b.field, text); // a kanji-only text is cut to its field's bytes
        return;
    case BoxValue::Currency:
        r.setText(*b.field, text.trimmed().toUpper());
        return;
    case BoxValue::Quantity:
        r.setText(*b.field, stored(text, b.stored.of(false)));
        return;
    case BoxValue::UnitPrice:
    case BoxValue::Amount:
        // The field of the other currency holds zero.
        r.setText(*b.field, stored(foreign ? QString() : text, b.stored.of(false)));
        r.setText(*b.foreignField, stored(foreign ? text : QString(), b.stored.of(true)));
        return;
    case BoxValue::Date:
        r.setText(*b.field, storedDate(text));
        return;
    case BoxValue::Code:
        if (b.widget == EntryWidget::Options)
            r.setText(*b.field, f.bcOption == 1 ? u"1" : u"0");
        else
            r.setText(*b.field, text.left(DeliveryRecord::field(*b.field).width));
        return;
    case BoxValue::Shown:
    case BoxValue::Tags:
        return;
    }
}

// The tag lines, packed from the first element; none for a company that
// issues slips only.
void writeTagLines(DeliveryRecord& r, const EntryForm& f, const std::optional<CustRecord>& company)
{
    r.clearTagLines();
    if (slipsOnly(company))
        return;
    int next = 1;
    for (const TagRow& row : f.tags) {
        const auto qty = boxNumber(row.qty.isEmpty() ? QStringLiteral("0") : row.qty);
        const auto count = boxNumber(row.count.isEmpty() ? QStringLiteral("0") : row.count);
        if (!qty || !count || qty->isZero() || count->isZero() || next > DeliveryRecord::kTagLineCount)
            continue;
        r.setTagLine(next++, vbFormat(*qty, u"000000000.000"), vbFormat(*count, u"00"));
    }
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
    v.kindAndStatus = kindText(r, format) + statusLabel(status);

    v.foreign = format == Protocol::Eiaj && isForeignCurrency(r.text(F::Currency).trimmed());
    for (const EntryBoxInfo* b : boxesOf(format)) {
        if (b->widget == EntryWidget::Options)
            f.bcOption = r.text(*b->field) == QLatin1String("1") ? 1 : 2;
        else if (b->widget != EntryWidget::Grid)
            f[b->box] = shownBox(*b, r, format, company, codes, v.foreign);
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
    v.kindAndStatus = QStringLiteral("新規（画面入力）");
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
    const bool foreign = format == Protocol::Eiaj && isForeignCurrency(f[B::Currency]);
    // The boxes the mode lets the operator type in: the shipment in every
    // mode, the order data in modes 1 and 2, the keys of a new record.
    for (const EntryBoxInfo* b : boxesOf(format)) {
        if (!b->enterableIn(mode))
            continue;
        if (b->value == BoxValue::Tags)
            writeTagLines(r, f, company);
        else
            writeBox(r, *b, f, format, kanji, foreign);
    }
    if (mode == EntryMode::New) {
        r.setProtocol(format);
        r.setText(F::MessageKind, u"    ");
    }
    if (mode != EntryMode::Existing && format == Protocol::Korvan) {
        for (const FixedValue& fixedValue : kKorvanOrderData)
            r.setText(fixedValue.field, fixedValue.value);
    }
}

DeliveryRecord newRecordBase(Protocol format, const std::optional<DeliveryRecord>& copied)
{
    if (format == Protocol::Korvan && copied)
        return *copied;
    return DeliveryRecord();
}

} // namespace plx
