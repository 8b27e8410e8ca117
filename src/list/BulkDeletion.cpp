#include "BulkDeletion.h"

#include "core/Environment.h"
#include "core/Protocol.h"
#include "core/text/Cp932.h"
#include "core/text/FixedField.h"
#include "store/CustStore.h"
#include "store/DeliveryStore.h"

#include <functional>

namespace plx {

namespace {

// Status read as a number: its leading digits, 0 when there are none.
int statusNumber(const QByteArray& status)
{
    int value = 0;
    for (char c : status) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Whether `record` (a live record of the format) lies in `scope`.
std::function<bool(const DeliveryRecord&)> inScope(const DeletionScope& scope)
{
    const QByteArray orderer = fixed::trimmedRight(cp932::encode(scope.ordererCode));
    const QByteArray supplier = fixed::trimmedRight(cp932::encode(scope.supplierCode));
    return [=](const DeliveryRecord& record) {
        if (!scope.allCompanies && (fixed::trimmedRight(record.raw(DeliveryField::OrdererCode)) != orderer ||
                                    fixed::trimmedRight(record.raw(DeliveryField::SupplierCode)) != supplier))
            return false;
        return !scope.issuedOnly || statusNumber(record.raw(DeliveryField::Status)) == 2;
    };
}

} // namespace

QStringList DeletionPreview::lines() const
{
    return {QStringLiteral("発注者　：") + company, QStringLiteral("削除条件：") + condition,
            QStringLiteral("削除件数：%1件").arg(records)};
}

BulkDeletion::BulkDeletion(Environment& env, Protocol protocol) : m_env(env), m_protocol(protocol) {}

QString BulkDeletion::caption() const
{
    return QStringLiteral("納品書ﾃﾞｰﾀ削除") + protocolCaption(m_protocol);
}

QString BulkDeletion::cutName(const QString& name)
{
    return fixed::trimmedRight(cp932::decode(fixed::fitBytes(cp932::encode(name), kNameBytes)));
}

QStringList BulkDeletion::companyChoice() const
{
    const CustStore companies = OpenCustFile(m_env);
    QStringList out{kAllCompanies};
    for (const CompanyEntry& c : companies.entries(m_protocol))
        out.append(cutName(c.ordererName));
    return out;
}

std::optional<DeletionCompany> BulkDeletion::companyAt(int position) const
{
    if (position <= 0)
        return std::nullopt;
    const CustStore companies = OpenCustFile(m_env);
    const QList<int> numbers = companies.list(m_protocol);
    if (position > numbers.size())
        return std::nullopt;
    return companies.entry(numbers.at(position - 1));
}

std::optional<DeletionCompany> BulkDeletion::findCompany(const QString& ordererCode, const QString& supplierCode) const
{
    const CustStore companies = OpenCustFile(m_env);
    const int n = companies.lookup(m_protocol, ordererCode, supplierCode);
    if (n == 0)
        return std::nullopt;
    return companies.entry(n);
}

DeletionPreview BulkDeletion::preview(const DeletionScope& scope) const
{
    DeletionPreview preview;
    preview.company = kAllCompanies;
    if (!scope.allCompanies) {
        const std::optional<DeletionCompany> company = findCompany(scope.ordererCode, scope.supplierCode);
        preview.company = fixed::trimmedRight(scope.ordererCode);
        if (company)
            preview.company += QStringLiteral("  ") + cutName(company->ordererName);
    }
    preview.condition = scope.issuedOnly ? QStringLiteral("発行済のみ") : QStringLiteral("すべて");
    DeliveryStore store(m_env.paths.delivPathFor(m_protocol), *m_env.clock);
    store.open();
    const auto matches = inScope(scope);
    for (int n : store.liveRecords(m_protocol)) {
        if (matches(store.read(n)))
            ++preview.records;
    }
    store.close();
    return preview;
}

int BulkDeletion::run(const DeletionScope& scope) const
{
    DeliveryStore store(m_env.paths.delivPathFor(m_protocol), *m_env.clock);
    const int deleted = store.markDeletedWhere(m_protocol, inScope(scope));
    store.close();
    return deleted;
}

} // namespace plx
