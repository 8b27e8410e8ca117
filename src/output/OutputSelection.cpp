#include "OutputSelection.h"

#include "core/Dialogs.h"
#include "core/Environment.h"
#include "core/ErrorReport.h"
#include "core/FileUtil.h"
#include "core/MessageCatalog.h"
#include "core/text/Cp932.h"

#include <QFile>
#include <QHash>

namespace plx {

OutputSelection::OutputSelection(Environment& env, int kind, OutputDocument document)
    : m_env(env), m_kind(kind), m_document(document),
      m_store(kind == 0 ? env.paths.eDelivPath : env.paths.kDelivPath, *env.clock), m_companies(env.paths.custPath)
{
}

QString OutputSelection::extractPath(int n) const
{
    return m_document == OutputDocument::Slip ? m_env.paths.slipListPath(n) : m_env.paths.tagListPath(n);
}

int OutputSelection::countTags(const DeliveryRecord& record)
{
    int total = 0;
    for (int k = 1; k <= DeliveryRecord::kTagLineCount; ++k) {
        const QString qty = record.tagQty(k).trimmed();
        const QString count = record.tagCount(k).trimmed();
        if (qty.isEmpty() || count.isEmpty())
            break;
        total += count.toInt();
    }
    return total;
}

void OutputSelection::select(bool marked, const QString& filterOrderer, const QString& filterSupplier)
{
    m_groups.clear();
    const bool slips = m_document == OutputDocument::Slip;
    const char digit = m_kind == 0 ? DeliveryRecord::kKindEiaj : DeliveryRecord::kKindKorvan;
    DeliveryStore& store = m_store;
    store.open();
    CustStore& companies = m_companies;
    companies.open();

    const QByteArray wantedOrderer = fixed::trimmedRight(cp932::encode(filterOrderer));
    const QByteArray wantedSupplier = fixed::trimmedRight(cp932::encode(filterSupplier));
    const bool filtered = !filterOrderer.isEmpty() || !filterSupplier.isEmpty();
    const FixedField issuedField = DeliveryRecord::field(slips ? DeliveryField::SlipIssued : DeliveryField::TagIssued);
    const char excludedOutput = slips ? '2' : '1';

    QHash<QByteArray, int> groupOf; // company key -> index
    QList<QByteArray> extracts;
    for (int n = 1; n <= store.count(); ++n) {
        const QByteArray& data = store.records();
        const char* rec = data.constData() + qsizetype(n - 1) * DeliveryRecord::kLength;
        if (rec[0] != digit)
            continue;
        const char status = rec[DeliveryRecord::field(DeliveryField::Status).offset];
        if (marked) {
            if (status != '8')
                continue;
        } else {
            if (status == '2' || status == '0' || rec[issuedField.offset] == '1')
                continue;
        }
        const DeliveryRecord record = store.read(n);
        const QByteArray orderer = record.raw(DeliveryField::OrdererCode);
        const QByteArray supplier = record.raw(DeliveryField::SupplierCode);
        if (!marked && filtered &&
            (fixed::trimmedRight(orderer) != wantedOrderer || fixed::trimmedRight(supplier) != wantedSupplier))
            continue;
        const int company = companies.lookupRaw(digit, orderer, supplier);
        if (company == 0)
            continue;
        if (companies.read(company).raw(CustField::OutputKind) == QByteArray(1, excludedOutput))
            continue;

        const QByteArray key = orderer + supplier;
        auto it = groupOf.find(key);
        if (it == groupOf.end()) {
            if (m_groups.size() >= kMaxGroups) {
                m_env.dialogs->show(MessageIcon::Exclamation,
                                    QStringLiteral("一度に出力できる発注者は%1社までです。\r\n"
                                                   "%1社分を出力します。残りの発注者はもう一度印刷してください。")
                                        .arg(kMaxGroups),
                                    MessageButtons::Ok, DefaultButton::First);
                break;
            }
            m_groups.append({orderer, supplier, {}, 0});
            extracts.append(QByteArray());
            it = groupOf.insert(key, int(m_groups.size() - 1));
        }
        OutputGroup& group = m_groups[*it];
        group.records.append(n);
        group.tags += countTags(record);
        extracts[*it] += record.bytes();
        if (group.records.size() >= kMaxRecordsPerGroup) {
            ShowMessage(m_env, slips ? 230 : 240);
            break;
        }
    }
    for (int g = 0; g < m_groups.size(); ++g)
        fileutil::writeAtomically(extractPath(g + 1), extracts[g]);
}

void OutputSelection::update(int n, UpdateMode mode)
{
    const bool slips = m_document == OutputDocument::Slip;
    const char digit = m_kind == 0 ? DeliveryRecord::kKindEiaj : DeliveryRecord::kKindKorvan;
    DeliveryStore& store = m_store;
    if (!store.isOpen())
        store.open();
    if (store.count() == 0)
        throw RuntimeFailure::labelled(slips ? QStringLiteral("納品書連続更新/") : QStringLiteral("荷札連続更新/"),
                                       QStringLiteral("納品書ﾌｧｲﾙにﾃﾞｰﾀが有りません。"));
    const CustStore& companies = m_companies;
    const OutputGroup& group = m_groups.at(n - 1);
    for (int number : group.records) {
        DeliveryRecord r = store.read(number);
        const int company =
            companies.lookupRaw(digit, r.raw(DeliveryField::OrdererCode), r.raw(DeliveryField::SupplierCode));
        const QString outputKind = company ? companies.read(company).text(CustField::OutputKind) : QString();
        const QString status = r.text(DeliveryField::Status);
        const auto is = [](const QString& v, const char* s) { return v == QLatin1String(s); };
        if (slips) {
            if (mode == UpdateMode::Normal) {
                if (is(status, "2") || is(status, "0"))
                    continue;
                r.setText(DeliveryField::SlipIssued, u"1");
                if (is(outputKind, "1") || (is(outputKind, "3") && is(r.text(DeliveryField::TagIssued), "1")))
                    r.setText(DeliveryField::Status, u"2");
            } else if (mode == UpdateMode::MarkedPrinted) {
                if (!is(status, "8"))
                    continue;
                r.setText(DeliveryField::SlipIssued, u"1");
                if (is(outputKind, "1"))
                    r.setText(DeliveryField::Status, u"2");
            } else {
                if (!is(status, "8"))
                    continue;
                if (is(r.text(DeliveryField::SlipIssued), "1")) {
                    if (is(outputKind, "1"))
                        r.setText(DeliveryField::Status, u"2");
                } else {
                    r.setText(DeliveryField::SlipIssued, u"0");
                    if (is(outputKind, "1"))
                        r.setText(DeliveryField::Status, u"1");
                }
            }
        } else {
            if (is(outputKind, "1"))
                continue;
            if (mode == UpdateMode::Normal) {
                if (is(status, "2") || is(status, "0"))
                    continue;
                r.setText(DeliveryField::TagIssued, u"1");
                if (is(outputKind, "2") || (is(outputKind, "3") && is(r.text(DeliveryField::SlipIssued), "1")))
                    r.setText(DeliveryField::Status, u"2");
            } else if (mode == UpdateMode::MarkedPrinted) {
                if (!is(status, "8"))
                    continue;
                r.setText(DeliveryField::Status, u"1");
                r.setText(DeliveryField::TagIssued, u"1");
                if (is(outputKind, "2") || (is(outputKind, "3") && is(r.text(DeliveryField::SlipIssued), "1")))
                    r.setText(DeliveryField::Status, u"2");
            } else {
                if (!is(status, "8"))
                    continue;
                if (!is(r.text(DeliveryField::TagIssued), "1")) {
                    r.setText(DeliveryField::Status, u"1");
                    r.setText(DeliveryField::TagIssued, u"0");
                } else {
                    r.setText(DeliveryField::Status, u"2");
                }
            }
        }
        store.write(number, std::move(r));
    }
}

void OutputSelection::deleteExtractFiles() const
{
    for (int n = 1; n <= kMaxGroups && QFile::exists(extractPath(n)); ++n)
        QFile::remove(extractPath(n));
}

} // namespace plx
