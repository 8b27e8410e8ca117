#include "OutputSelection.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "core/Protocol.h"
#include "core/text/Cp932.h"
#include "store/RecordCodes.h"
#include "store/StatusRules.h"

#include <QHash>
#include <QSet>

#include <utility>

namespace plx {

OutputSelection::OutputSelection(Environment& env, Protocol protocol, OutputDocument document)
    : m_env(env), m_protocol(protocol), m_document(document), m_store(env.paths.delivPathFor(protocol), *env.clock),
      m_companies(env.paths.custPath)
{
}

int OutputSelection::countTags(const DeliveryRecord& record)
{
    int total = 0;
    for (int k = 1; k <= DeliveryRecord::kTagLineCount; ++k) {
        const std::optional<int> tags = record.tagLineTags(k);
        if (!tags)
            break;
        total += *tags;
    }
    return total;
}

void OutputSelection::select(bool marked, const QString& filterOrderer, const QString& filterSupplier)
{
    m_groups.clear();
    m_refused.clear();
    const bool slips = m_document == OutputDocument::Slip;
    DeliveryStore& store = m_store;
    store.open();
    CustStore& companies = m_companies;
    companies.open();

    const QByteArray wantedOrderer = fixed::trimmedRight(cp932::encode(filterOrderer));
    const QByteArray wantedSupplier = fixed::trimmedRight(cp932::encode(filterSupplier));
    const bool filtered = !filterOrderer.isEmpty() || !filterSupplier.isEmpty();
    const FixedField issuedField = DeliveryRecord::field(slips ? DeliveryField::SlipIssued : DeliveryField::TagIssued);
    // Companies that get only the other document.
    const OutputKind excludedOutput = slips ? OutputKind::Tags : OutputKind::Slips;

    QHash<QByteArray, int> groupOf; // company key -> index
    QSet<QByteArray> refusedKeys;
    for (int n = 1; n <= store.count(); ++n) {
        const QByteArray& data = store.records();
        const char* rec = data.constData() + qsizetype(n - 1) * DeliveryRecord::kLength;
        if (!DeliveryRecord::isLiveOf(rec, m_protocol))
            continue;
        const char status = rec[DeliveryRecord::field(DeliveryField::Status).offset];
        if (marked) {
            if (status != statusByte(RecordStatus::Marked))
                continue;
        } else {
            if (status == statusByte(RecordStatus::Issued) || status == statusByte(RecordStatus::Unprocessed) ||
                rec[issuedField.offset] == '1')
                continue;
        }
        const DeliveryRecord record = store.read(n);
        const QByteArray orderer = record.raw(DeliveryField::OrdererCode);
        const QByteArray supplier = record.raw(DeliveryField::SupplierCode);
        if (!marked && filtered &&
            (fixed::trimmedRight(orderer) != wantedOrderer || fixed::trimmedRight(supplier) != wantedSupplier))
            continue;
        const QByteArray key = orderer + supplier;
        auto it = groupOf.find(key);
        if (it == groupOf.end()) {
            QString ordererName;
            if (refusedKeys.contains(key))
                continue;
            const int company = companies.lookupRaw(m_protocol, orderer, supplier);
            if (company == 0)
                continue;
            const CustRecord found = companies.read(company);
            const QString outputKind = found.text(CustField::OutputKind);
            if (!isKnownOutputKind(outputKind)) {
                // Printed as neither document, such a company's records would
                // wait for issue for ever: nothing of it is printed or marked.
                refusedKeys.insert(key);
                m_refused.append({found.text(CustField::OrdererCode).trimmed(),
                                  found.text(CustField::OrdererName).trimmed(), outputKind.trimmed()});
                continue;
            }
            if (hasOutputKind(outputKind, excludedOutput))
                continue;
            ordererName = found.text(CustField::OrdererName).trimmed();
            if (m_groups.size() >= kMaxGroups) {
                m_env.dialogs->show(MessageIcon::Exclamation,
                                    QStringLiteral("一度に出力できる発注者は%1社までです。\r\n"
                                                   "%1社分を出力します。残りの発注者はもう一度印刷してください。")
                                        .arg(kMaxGroups),
                                    MessageButtons::Ok, DefaultButton::First);
                break;
            }
            m_groups.append({orderer, supplier, ordererName, {}, 0, {}});
            it = groupOf.insert(key, int(m_groups.size() - 1));
        }
        OutputGroup& group = m_groups[*it];
        group.records.append(n);
        group.tags += countTags(record);
        group.extract += record.bytes();
        if (group.records.size() >= kMaxRecordsPerGroup) {
            ShowMessage(m_env, slips ? 230 : 240);
            break;
        }
    }
}

void OutputSelection::update(int n, UpdateMode mode)
{
    writeUpdate(planUpdate(n, mode));
}

void OutputSelection::writeUpdate(QList<std::pair<int, DeliveryRecord>> records)
{
    m_store.overwrite(std::move(records));
}

QList<std::pair<int, DeliveryRecord>> OutputSelection::planUpdate(int n, UpdateMode mode)
{
    const bool slips = m_document == OutputDocument::Slip;
    DeliveryStore& store = m_store;
    if (!store.isOpen())
        store.open();
    if (store.count() == 0)
        throw RuntimeFailure::labelled(slips ? QStringLiteral("納品書連続更新/") : QStringLiteral("荷札連続更新/"),
                                       QStringLiteral("納品書ﾌｧｲﾙにﾃﾞｰﾀが有りません。"));
    const CustStore& companies = m_companies;
    const OutputGroup& group = m_groups.at(n - 1);
    // The whole group is written at once: every record, or none when another
    // program changed one of them since the selection.
    QList<std::pair<int, DeliveryRecord>> changed;
    changed.reserve(group.records.size());
    QByteArray lastCompanyKey;
    QString outputKind;
    for (int number : group.records) {
        DeliveryRecord r = store.read(number);
        // A group is one company's: it is looked up once, unless a record names another.
        const QByteArray companyKey = r.raw(DeliveryField::OrdererCode) + r.raw(DeliveryField::SupplierCode);
        if (companyKey != lastCompanyKey) {
            const int company =
                companies.lookupRaw(m_protocol, r.raw(DeliveryField::OrdererCode), r.raw(DeliveryField::SupplierCode));
            outputKind = company ? companies.read(company).text(CustField::OutputKind) : QString();
            lastCompanyKey = companyKey;
        }
        const std::optional<IssueState> after = afterIssue(
            {r.text(DeliveryField::Status), r.text(DeliveryField::SlipIssued), r.text(DeliveryField::TagIssued)},
            m_document, mode, outputKind);
        if (!after)
            continue;
        r.setText(DeliveryField::Status, after->status);
        r.setText(DeliveryField::SlipIssued, after->slipIssued);
        r.setText(DeliveryField::TagIssued, after->tagIssued);
        changed.append({number, std::move(r)});
    }
    return changed;
}

} // namespace plx
