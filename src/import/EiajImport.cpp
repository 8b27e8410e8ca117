#include "EiajImport.h"
#include "store/RecordCodes.h"

#include "ErrorList.h"

#include "core/Clock.h"
#include "core/CommonRoutines.h"
#include "core/Environment.h"
#include "core/text/NumericText.h"
#include "core/text/VbFormat.h"

namespace plx {

namespace {

bool allDigits(QStringView s)
{
    for (QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return !s.isEmpty();
}

const char16_t* kClass0703 = u"0703";

} // namespace

EiajImport::EiajImport(Context context) : OrderImport(context, Protocol::Eiaj) {}

QString EiajImport::itemKey(const QString& name)
{
    if (!name.startsWith(QLatin1String("REIAJ")))
        return {};
    const QStringView rest = QStringView(name).sliced(5);
    if (rest == QLatin1String("C14"))
        return QStringLiteral("C14");
    // The item number: three digits, or five digits starting "00".
    qsizetype digits = 0;
    while (digits < rest.size() && rest[digits] >= QLatin1Char('0') && rest[digits] <= QLatin1Char('9'))
        ++digits;
    const bool fiveDigits = digits == 5 && rest.startsWith(QLatin1String("00"));
    if (digits != 3 && !fiveDigits)
        return {};
    const QString three = rest.sliced(digits - 3, 3).toString();
    const QStringView tail = rest.sliced(digits);
    if (tail.isEmpty()) {
        // 00281 and 00282 exist only in five digits.
        if (three == QLatin1String("281") || three == QLatin1String("282"))
            return fiveDigits ? QStringLiteral("00") + three : QString();
        return three;
    }
    // Occurrence items: group + "NO" + 01..31.
    if (tail.size() != 4 || !tail.startsWith(QLatin1String("NO")) || !allDigits(tail.sliced(2)))
        return {};
    const int n = tail.sliced(2).toInt();
    if (n < 1 || n > 31)
        return {};
    const QString nn = tail.sliced(2).toString();
    if (three == QLatin1String("159") || three == QLatin1String("032"))
        return three + QStringLiteral("NO") + nn;
    if (three == QLatin1String("031") || three == QLatin1String("033"))
        return QStringLiteral("DUE") + nn;
    return {};
}

bool EiajImport::findItems(const ItemTable& table)
{
    m_items.clear();
    for (int row = 1; row <= table.count(); ++row) {
        const QString key = itemKey(table.name(row));
        if (!key.isEmpty())
            m_items.insert(key, {row, table.name(row)});
    }
    const QString infoClass = value(table, QStringLiteral("C14"));
    if (!present(QStringLiteral("C14")) || !isNumericText(infoClass))
        return false;
    m_class = infoClass;
    return true;
}

QString EiajImport::value(const ItemTable& table, const QString& key) const
{
    const auto it = m_items.constFind(key);
    return it == m_items.cend() ? QString() : table.value(it->row);
}

QString EiajImport::occurrenceName(const QString& group, int n) const
{
    // Spell the group as the file spells its own items of that kind.
    const QString nn = QString::number(n).rightJustified(2, QLatin1Char('0'));
    const QString key = group == QLatin1String("DUE") ? QStringLiteral("DUE") + nn : group + QStringLiteral("NO") + nn;
    const QString spelled = itemName(key);
    const bool five = spelled.startsWith(QLatin1String("REIAJ00")) && spelled.size() > 10 &&
                      spelled.mid(10, 2) == QLatin1String("NO");
    QString number = group;
    if (group == QLatin1String("DUE"))
        number = m_class == QString::fromUtf16(kClass0703) ? QStringLiteral("033") : QStringLiteral("031");
    if (spelled.isEmpty())
        return QString();
    return QStringLiteral("REIAJ") + (five ? QStringLiteral("00") : QString()) + number + QStringLiteral("NO") + nn;
}

void EiajImport::processRecord(const ItemTable& t)
{
    const bool is0703 = m_class == QString::fromUtf16(kClass0703);
    const QString processing = value(t, QStringLiteral("009")).left(1);
    const QString orderer = value(t, QStringLiteral("004"));
    const QString supplier = value(t, QStringLiteral("005"));

    // Bytes that are not CP932 would be stored as "?": the item is refused,
    // the first of them in the line's order. The occurrence items are judged
    // with their occurrence.
    const Item* undecoded = nullptr;
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        const bool occurrence = it.key().startsWith(QLatin1String("DUE")) || it.key().contains(QLatin1String("NO"));
        if (!occurrence && holdsInvalidBytes(t.value(it->row)) && (!undecoded || it->row < undecoded->row))
            undecoded = &it.value();
    }
    if (undecoded) {
        refuse(11, undecoded->name, orderer, supplier, QString());
        return;
    }

    // 2, 3. The ordering company.
    if (!present(QStringLiteral("004"))) {
        refuse(4, QString(), orderer, supplier, QString());
        return;
    }
    const int company = m_ctx.companies.lookup(Protocol::Eiaj, orderer, supplier);
    if (company == 0) {
        refuse(4, QString(), orderer, supplier, QString());
        return;
    }
    const CustRecord cust = m_ctx.companies.read(company);
    const auto fail = [&](const QString& key) { refuse(11, itemName(key), orderer, supplier, QString()); };

    // 4. Prices and the ordered quantity.
    QHash<QString, QString> numbers;
    const struct
    {
        const char* key;
        const char* pattern;
    } numeric[] = {{"013", "00000000000.000"}, {"00282", "000000000000.00000"}, {"015", "000000000.000"}};
    for (const auto& n : numeric) {
        const QString key = QLatin1String(n.key);
        if (!present(key))
            continue;
        QString text = value(t, key);
        if (text.isEmpty())
            text = QStringLiteral("0");
        const auto formatted = quantityItem(text, QLatin1String(n.pattern));
        if (!formatted) {
            fail(key);
            return;
        }
        numbers.insert(key, *formatted);
    }
    // 5. The inspection class must be a known code, as sent (not trimmed).
    const QString inspection = value(t, QStringLiteral("012"));
    if (inspection.isEmpty() || !inspectionCodeKnown(inspection)) {
        fail(QStringLiteral("012"));
        return;
    }
    // 6. The order date.
    const auto sourceDate = dateItem(value(t, QStringLiteral("003")));
    if (!sourceDate) {
        fail(QStringLiteral("003"));
        return;
    }
    const bool checkBlanks = m_ctx.env.checkSpec == 0;
    // 7. The orderer's barcode information.
    if (checkBlanks && present(QStringLiteral("161")) &&
        holdsBlankOrAsterisk(fixed::trimmedRight(value(t, QStringLiteral("161"))))) {
        fail(QStringLiteral("161"));
        return;
    }

    // 8. The new record.
    const QDateTime now = m_ctx.env.clock->now();
    DeliveryRecord r;
    const auto set = [&](DeliveryField f, const QString& v) { r.setText(f, v); };
    const auto item = [&](const char* key) { return value(t, QLatin1String(key)); };
    r.setProtocol(Protocol::Eiaj);
    set(DeliveryField::OrdererCode, orderer);
    set(DeliveryField::SupplierCode, supplier);
    set(DeliveryField::Status, QStringLiteral("0"));
    r.stamp(now);
    const QString sourceNo = item("001");
    set(DeliveryField::SourceNo, isNumericText(sourceNo) ? vbFormatText(sourceNo, u"00000") : QString());
    set(DeliveryField::MessageKind, item("002"));
    set(DeliveryField::SourceDate, *sourceDate);
    set(DeliveryField::SlipIssued, QStringLiteral("0"));
    set(DeliveryField::TagIssued, QStringLiteral("0"));
    set(DeliveryField::OrderNo, item("007"));
    set(DeliveryField::InspectionClass, inspection);
    set(DeliveryField::Currency, is0703 ? QString() : item("00281"));
    set(DeliveryField::UnitPrice,
        is0703 ? DeliveryRecord::kZeroPrice : numbers.value("013", DeliveryRecord::kZeroPrice));
    set(DeliveryField::UnitPriceX,
        is0703 ? DeliveryRecord::kZeroPriceX : numbers.value("00282", DeliveryRecord::kZeroPriceX));
    set(DeliveryField::OrderQty, is0703 ? DeliveryRecord::kZeroQty : numbers.value("015", DeliveryRecord::kZeroQty));
    set(DeliveryField::BuyerName, item("018"));
    set(DeliveryField::BuyerNameKanji, item("260"));
    set(DeliveryField::ItemName, item("022"));
    set(DeliveryField::ItemNameKanji, item("262"));
    set(DeliveryField::ItemCode, item("024"));
    set(DeliveryField::Unit, is0703 ? QString() : item("029"));
    set(DeliveryField::ShipQty, DeliveryRecord::kZeroQty);
    set(DeliveryField::ShipDate, QString());
    set(DeliveryField::PlannedDeliveryDate, QString());
    // Class codes from the order, or the company's defaults.
    const auto classCode = [&](const char* key, CustField fallback, bool& itemGiven) {
        const QString v = item(key);
        itemGiven = !is0703 && present(QLatin1String(key));
        if (is0703 || !present(QLatin1String(key)) || v.isEmpty())
            return cust.text(fallback);
        return v;
    };
    bool taxGiven = false, taxationGiven = false, priceGiven = false;
    set(DeliveryField::ConsumptionTaxClass, classCode("057", CustField::ConsumptionTaxKind, taxGiven));
    set(DeliveryField::TaxationClass, classCode("059", CustField::TaxationKind, taxationGiven));
    set(DeliveryField::PriceDisplayClass, classCode("257", CustField::PriceDisplayKind, priceGiven));
    set(DeliveryField::DeliveryPlace, item("160"));
    set(DeliveryField::DeliveryPlaceKanji, item("274"));
    set(DeliveryField::OrdererBarcodeInfo, item("161"));
    set(DeliveryField::OrdererRemarks, item("162"));
    set(DeliveryField::OrdererRemarksKanji, item("275"));
    for (DeliveryField f : {DeliveryField::TaxAmount, DeliveryField::AmountExclTax, DeliveryField::AmountInclTax})
        set(f, DeliveryRecord::kZeroAmount);
    for (DeliveryField f : {DeliveryField::TaxAmountX, DeliveryField::AmountExclTaxX, DeliveryField::AmountInclTaxX})
        set(f, DeliveryRecord::kZeroAmountX);
    set(DeliveryField::SourceFlag, QStringLiteral("00"));
    r.clearTagLines();

    // 9. The item code.
    if (checkBlanks && present(QStringLiteral("024")) && holdsBlankOrAsterisk(fixed::trimmedRight(item("024")))) {
        fail(QStringLiteral("024"));
        return;
    }

    // 10. The delivery occurrences.
    for (int n = 1; n <= 31; ++n) {
        const QString nn = QString::number(n).rightJustified(2, QLatin1Char('0'));
        const QString keyItem = QStringLiteral("159NO") + nn;
        const QString key = value(t, keyItem);
        // Blank means half-width blanks only; a full-width space or a tab is
        // part of the key.
        const QString keyText = fixed::trimmedRight(key);
        if (!present(keyItem) || keyText.isEmpty()) {
            if (n == 1)
                refuse(12, QString(), orderer, supplier, key);
            return;
        }
        if ((checkBlanks && holdsBlankOrAsterisk(keyText)) || holdsInvalidBytes(keyText)) {
            refuse(11, occurrenceName(QStringLiteral("159"), n), orderer, supplier, key);
            continue;
        }
        // A key longer than its field would be stored cut and never found again.
        if (!fitsField(keyText, DeliveryField::DeliveryKeyNo)) {
            refuse(11, occurrenceName(QStringLiteral("159"), n), orderer, supplier, key);
            continue;
        }
        const auto due = dateItem(value(t, QStringLiteral("DUE") + nn));
        if (!due) {
            refuse(11, occurrenceName(QStringLiteral("DUE"), n), orderer, supplier, key);
            continue;
        }
        // The instructed quantity: zero when absent or empty; otherwise a
        // number, positive or zero, that fits the field.
        const QString instructed = value(t, QStringLiteral("032NO") + nn);
        QString instructedQty = DeliveryRecord::kZeroQty;
        if (!instructed.isEmpty()) {
            const auto formatted = quantityItem(instructed, DeliveryRecord::kZeroQty);
            if (!formatted) {
                refuse(11, occurrenceName(QStringLiteral("032"), n), orderer, supplier, key);
                continue;
            }
            instructedQty = *formatted;
        }
        QString status;
        const int existing = FindDelivery(m_ctx.target, Protocol::Eiaj, orderer, supplier, key, status);

        enum class Action { Append, Update, Delete } action = Action::Append;
        short refusal = 0;
        const bool issued = hasStatus(status, RecordStatus::Issued) || hasStatus(status, RecordStatus::Marked);
        const bool waiting = hasStatus(status, RecordStatus::Waiting);
        const bool change = m_class == QLatin1String("0503") || (is0703 && processing == QLatin1String("2"));
        const bool remove = m_class == QLatin1String("0504") || (is0703 && processing == QLatin1String("3"));
        const bool fresh = m_class == QLatin1String("0502") || (is0703 && processing == QLatin1String("1"));
        if (fresh) {
            if (existing == 0)
                action = Action::Append;
            else if (is0703 && hasStatus(status, RecordStatus::Unprocessed))
                action = Action::Update;
            else
                refusal = 5;
        } else if (change) {
            if (existing == 0)
                action = Action::Append;
            else if (waiting)
                refusal = 6;
            else if (issued)
                refusal = 8;
            else
                action = Action::Update;
        } else if (remove) {
            if (existing == 0)
                refusal = 10;
            else if (waiting)
                refusal = 7;
            else if (issued)
                refusal = 9;
            else
                action = Action::Delete;
        } else if (is0703) {
            // An unknown processing class: a live record is updated like a
            // change; without one there is nothing to act on.
            if (existing == 0) {
                refuse(11, itemName(QStringLiteral("009")), orderer, supplier, key);
                continue;
            }
            action = Action::Update;
        } else {
            // A class the pre-check lets through but this table does not name.
            refuse(11, itemName(QStringLiteral("C14")), orderer, supplier, key);
            continue;
        }
        if (refusal) {
            refuse(refusal, QString(), orderer, supplier, key);
            continue;
        }

        set(DeliveryField::DeliveryKeyNo, key);
        set(DeliveryField::DueDate, *due);
        set(DeliveryField::InstructedQty, instructedQty);
        switch (action) {
        case Action::Append:
            m_ctx.target.writeUnstamped(m_ctx.target.count() + 1, r);
            break;
        case Action::Update: {
            DeliveryRecord old = m_ctx.target.read(existing);
            takeOrderUpdate(old, r);
            if (!is0703) {
                for (DeliveryField f : {DeliveryField::UnitPrice, DeliveryField::Currency, DeliveryField::UnitPriceX,
                                        DeliveryField::OrderQty, DeliveryField::Unit})
                    old.copyField(r, f);
                if (taxGiven)
                    old.copyField(r, DeliveryField::ConsumptionTaxClass);
                if (taxationGiven)
                    old.copyField(r, DeliveryField::TaxationClass);
                if (priceGiven)
                    old.copyField(r, DeliveryField::PriceDisplayClass);
            }
            m_ctx.target.writeUnstamped(existing, old);
            break;
        }
        case Action::Delete: {
            DeliveryRecord gone = r;
            gone.setDeleted();
            m_ctx.target.writeUnstamped(existing, gone);
            break;
        }
        }
    }
}

} // namespace plx
