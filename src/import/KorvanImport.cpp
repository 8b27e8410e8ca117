#include "KorvanImport.h"
#include "store/RecordCodes.h"

#include "ErrorList.h"

#include "core/Clock.h"
#include "core/CommonRoutines.h"
#include "core/Environment.h"
#include "core/text/NumericText.h"

namespace plx {

// The recognised items, in the order of their names below.
enum KorvanImport::Item : int {
    DataKubun,
    KigyouCode,
    JigyouCode,
    ToriCode,
    EigyouCode,
    Key,
    SendNo,
    Tani,
    CNum,
    Koubai,
    Name,
    Code,
    Kensa,
    Nouki,
    SNum,
    Basyo,
    Bikou,
    BC,
    Siyou1,
    Siyou2,
    Siyou3
};

namespace {

const char* const kItems[] = {
    "RD10DataKubun", "RD10KigyouCode", "RD10JigyouCode", "RD10ToriCode", "RD10EigyouCode", "RD10Key",    "RD10SendNo",
    "RD10Tani",      "RD10CNum",       "RD10Koubai",     "RD10Name",     "RD10Code",       "RD10Kensa",  "RD10Nouki",
    "RD10SNum",      "RD10Basyo",      "RD10Bikou",      "RD10BC",       "RD10Siyou1",     "RD10Siyou2", "RD10Siyou3"};

} // namespace

KorvanImport::KorvanImport(Context context) : OrderImport(context, Protocol::Korvan) {}

bool KorvanImport::findItems(const ItemTable& table)
{
    m_rows.fill(0);
    for (int row = 1; row <= table.count(); ++row) {
        for (int item = 0; item < int(m_rows.size()); ++item) {
            if (table.name(row) == QLatin1String(kItems[item]))
                m_rows[item] = row; // the last row of a name counts
        }
    }
    const QString kind = value(table, DataKubun);
    if (!present(DataKubun) || isNumericText(kind))
        return false;
    m_class = kind;
    return true;
}

void KorvanImport::processRecord(const ItemTable& t)
{
    const auto item = [&](Item i) { return value(t, i); };
    // 1, 2. The key and the codes, composed.
    const QString key = NormalizeBlanks(item(Key), 0);
    const QString orderer = fixed::trimmedRight(item(KigyouCode)) + fixed::trimmedRight(item(JigyouCode));
    const QString supplier = fixed::trimmedRight(item(ToriCode)) + fixed::trimmedRight(item(EigyouCode));
    const auto fail = [&](Item i) { refuse(11, QLatin1String(kItems[i]), orderer, supplier, key); };

    // Bytes that are not CP932 would be stored as "?": the item is refused,
    // the first of them in the line's order.
    std::optional<Item> undecoded;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        if (present(Item(i)) && holdsInvalidBytes(item(Item(i))) && (!undecoded || m_rows[i] < m_rows[*undecoded]))
            undecoded = Item(i);
    }
    if (undecoded) {
        fail(*undecoded);
        return;
    }

    // 3. The ordering company; a record naming none of the codes cannot belong
    // to a registered company.
    const bool codesGiven = present(KigyouCode) || present(JigyouCode) || present(ToriCode) || present(EigyouCode);
    const int company = codesGiven ? m_ctx.companies.lookup(Protocol::Korvan, orderer, supplier) : 0;
    if (company == 0) {
        refuse(4, QString(), orderer, supplier, QString());
        return;
    }
    const CustRecord cust = m_ctx.companies.read(company);

    // 4. Quantities.
    QString orderQty = DeliveryRecord::kZeroQty;
    QString instructedQty = DeliveryRecord::kZeroQty;
    for (auto [name, target] : {std::pair{CNum, &orderQty}, std::pair{SNum, &instructedQty}}) {
        if (!present(name))
            continue;
        QString text = item(name);
        if (text.isEmpty())
            text = QStringLiteral("0");
        const auto formatted = quantityItem(text, DeliveryRecord::kZeroQty);
        if (!formatted) {
            fail(name);
            return;
        }
        *target = *formatted;
    }
    // 5. The unit code.
    const QString unitCode = item(Tani);
    if (present(Tani) && !unitCode.isEmpty() && !inspectionCodeKnown(unitCode.trimmed())) {
        fail(Tani);
        return;
    }
    // 6. The due date.
    const auto due = dateItem(item(Nouki));
    if (!due) {
        fail(Nouki);
        return;
    }
    // An empty key cannot identify a delivery.
    if (key.isEmpty()) {
        refuse(12, QString(), orderer, supplier, key);
        return;
    }
    // A key longer than its field would be stored cut and never found again.
    if (!fitsField(key, DeliveryField::DeliveryKeyNo)) {
        fail(Key);
        return;
    }
    // 7. Blanks and asterisks.
    if (m_ctx.env.checkSpec == 0) {
        if (holdsBlankOrAsterisk(key)) {
            fail(Key);
            return;
        }
        if (holdsBlankOrAsterisk(fixed::trimmedRight(item(Code)))) {
            fail(Code);
            return;
        }
        if (item(BC) == QLatin1String("1") && holdsBlankOrAsterisk(fixed::trimmedRight(item(Siyou1)))) {
            fail(Siyou1);
            return;
        }
    }

    // 8. The new record.
    DeliveryRecord r;
    const auto set = [&](DeliveryField f, const QString& v) { r.setText(f, v); };
    r.setProtocol(Protocol::Korvan);
    set(DeliveryField::OrdererCode, orderer);
    set(DeliveryField::SupplierCode, supplier);
    set(DeliveryField::DeliveryKeyNo, key);
    set(DeliveryField::Status, QStringLiteral("0"));
    r.stamp(m_ctx.env.clock->now());
    set(DeliveryField::SourceNo, item(SendNo));
    set(DeliveryField::MessageKind, m_class);
    set(DeliveryField::SlipIssued, QStringLiteral("0"));
    set(DeliveryField::TagIssued, QStringLiteral("0"));
    set(DeliveryField::OrderNo, item(Key).left(8));
    set(DeliveryField::InspectionClass, unitCode);
    set(DeliveryField::UnitPrice, DeliveryRecord::kZeroPrice);
    set(DeliveryField::OrderQty, orderQty);
    set(DeliveryField::BuyerName, item(Koubai));
    set(DeliveryField::ItemName, item(Name));
    set(DeliveryField::ItemCode, item(Code));
    set(DeliveryField::Unit, item(Kensa));
    set(DeliveryField::DueDate, *due);
    set(DeliveryField::InstructedQty, instructedQty);
    set(DeliveryField::ShipQty, DeliveryRecord::kZeroQty);
    set(DeliveryField::TaxationClass, cust.text(CustField::TaxationKind));
    set(DeliveryField::DeliveryPlace, item(Basyo));
    set(DeliveryField::OrdererRemarks, item(Bikou));
    set(DeliveryField::PriceDisplayClass, QStringLiteral("1"));
    for (DeliveryField f : {DeliveryField::TaxAmount, DeliveryField::AmountExclTax, DeliveryField::AmountInclTax})
        set(f, DeliveryRecord::kZeroAmount);
    set(DeliveryField::BcOutputClass, item(BC));
    set(DeliveryField::OrdererUse1, item(Siyou1));
    set(DeliveryField::OrdererUse2, item(Siyou2));
    set(DeliveryField::OrdererUse3, item(Siyou3));
    set(DeliveryField::SourceFlag, QStringLiteral("00"));
    r.clearTagLines();
    for (DeliveryField f : {DeliveryField::TaxAmountX, DeliveryField::AmountExclTaxX, DeliveryField::AmountInclTaxX})
        set(f, DeliveryRecord::kZeroAmountX);

    // 9. Append, update or refuse.
    QString status;
    const int existing = FindDelivery(m_ctx.target, Protocol::Korvan, orderer, supplier, key, status);
    if (existing == 0) {
        m_ctx.target.writeUnstamped(m_ctx.target.count() + 1, r);
        return;
    }
    if (hasStatus(status, RecordStatus::Waiting)) {
        refuse(6, QString(), orderer, supplier, key);
        return;
    }
    if (hasStatus(status, RecordStatus::Issued) || hasStatus(status, RecordStatus::Marked)) {
        refuse(8, QString(), orderer, supplier, key);
        return;
    }
    DeliveryRecord old = m_ctx.target.read(existing);
    takeOrderUpdate(old, r);
    // KORVAN's own order data.
    static const DeliveryField korvanData[] = {DeliveryField::OrderQty,
                                               DeliveryField::Unit,
                                               DeliveryField::ConsumptionTaxClass,
                                               DeliveryField::TaxationClass,
                                               DeliveryField::SupplierRemarksKanji,
                                               DeliveryField::PriceDisplayClass,
                                               DeliveryField::TaxAmount,
                                               DeliveryField::AmountExclTax,
                                               DeliveryField::AmountInclTax,
                                               DeliveryField::BcOutputClass,
                                               DeliveryField::OrdererUse1,
                                               DeliveryField::OrdererUse2,
                                               DeliveryField::OrdererUse3,
                                               DeliveryField::Currency,
                                               DeliveryField::TaxAmountX,
                                               DeliveryField::AmountExclTaxX,
                                               DeliveryField::AmountInclTaxX};
    for (DeliveryField f : korvanData)
        old.copyField(r, f);
    old.setText(DeliveryField::UnitPrice, QString());
    old.setText(DeliveryField::UnitPriceX, QString());
    m_ctx.target.writeUnstamped(existing, old);
}

} // namespace plx
