#include "DeliverySearch.h"

#include "core/Environment.h"
#include "core/Protocol.h"
#include "core/text/Cp932.h"
#include "core/text/Dates.h"
#include "core/text/FixedField.h"
#include "store/CustStore.h"
#include "store/DeliveryStore.h"

#include <QRegularExpression>

#include <cstring>

namespace plx {

namespace {

// One text condition compared with a record field: the field's bytes, trailing
// blanks removed, must equal `wanted`.
struct FieldCondition
{
    FixedField field;
    QByteArray wanted;
    // A text CP932 cannot hold: no field can equal it.
    bool impossible = false;
};

FieldCondition condition(DeliveryField f, const QString& text)
{
    FieldCondition c{DeliveryRecord::field(f), cp932::encode(text)};
    c.impossible = !cp932::holds(text);
    return c;
}

bool fieldEquals(const char* record, const FieldCondition& c)
{
    if (c.impossible)
        return false;
    const char* at = record + c.field.offset;
    int length = c.field.width;
    while (length > 0 && at[length - 1] == ' ')
        --length;
    return length == c.wanted.size() && std::memcmp(at, c.wanted.constData(), size_t(length)) == 0;
}

} // namespace

std::array<QString, 8> SearchConditions::terms() const
{
    return {company.ordererCode,
            company.ordererName,
            company.supplierCode,
            company.supplierName,
            orderNo,
            deliveryKeyNo,
            itemCode,
            dueDate};
}

SearchConditions SearchConditions::fromTerms(int ordererIndex, const std::array<QString, 8>& terms)
{
    SearchConditions c;
    c.ordererIndex = ordererIndex;
    c.company = {0, terms[0], terms[1], terms[2], terms[3]};
    c.orderNo = terms[4];
    c.deliveryKeyNo = terms[5];
    c.itemCode = terms[6];
    c.dueDate = terms[7];
    return c;
}

DeliverySearch::DeliverySearch(Environment& env, Protocol protocol) : m_env(env), m_protocol(protocol) {}

void DeliverySearch::loadCompanies()
{
    CustStore store = OpenCustFile(m_env);
    m_companies = store.entries(m_protocol);
    store.close();
}

QStringList DeliverySearch::companyNames() const
{
    QStringList names;
    names.reserve(m_companies.size());
    for (const SearchCompany& c : m_companies)
        names.append(c.ordererName); // the stored name: 50 bytes at most, trailing blanks trimmed
    return names;
}

SearchCompany DeliverySearch::companyAt(int index) const
{
    if (index < 1 || index > m_companies.size())
        return {};
    return m_companies.at(index - 1);
}

int DeliverySearch::indexOf(const QString& ordererCode, const QString& supplierCode) const
{
    const QString orderer = fixed::trimmedRight(ordererCode);
    const QString supplier = fixed::trimmedRight(supplierCode);
    for (int i = 0; i < m_companies.size(); ++i) {
        if (m_companies.at(i).ordererCode == orderer && m_companies.at(i).supplierCode == supplier)
            return i + 1;
    }
    return 0;
}

SearchConditions DeliverySearch::remembered() const
{
    return SearchConditions::fromTerms(m_env.searchOrdererIndex, m_env.searchTerms);
}

void DeliverySearch::remember(const SearchConditions& conditions)
{
    m_env.searchOrdererIndex = short(conditions.ordererIndex);
    const std::array<QString, 8> terms = conditions.terms();
    for (size_t i = 0; i < terms.size(); ++i)
        m_env.searchTerms[i] = fixed::trimmedRight(terms[i]);
}

int DeliverySearch::find(const SearchConditions& conditions, int startRow) const
{
    DeliveryStore store(m_env.paths.delivPathFor(m_protocol), *m_env.clock);
    store.open();
    const int row = findIn(store.records(), m_protocol, conditions, startRow);
    store.close();
    return row;
}

int DeliverySearch::findIn(const QByteArray& records, Protocol protocol, const SearchConditions& conditions,
                           int startRow)
{
    // The conditions in the records' own bytes, made once for the whole pass.
    QList<FieldCondition> checks;
    if (conditions.ordererIndex != 0) {
        checks.append(condition(DeliveryField::OrdererCode, fixed::trimmedRight(conditions.company.ordererCode)));
        checks.append(condition(DeliveryField::SupplierCode, fixed::trimmedRight(conditions.company.supplierCode)));
    }
    const auto addText = [&checks](DeliveryField f, const QString& text) {
        const QString wanted = fixed::trimmedRight(text);
        if (!wanted.isEmpty())
            checks.append(condition(f, wanted));
    };
    addText(DeliveryField::OrderNo, conditions.orderNo);
    addText(DeliveryField::DeliveryKeyNo, conditions.deliveryKeyNo);
    addText(DeliveryField::ItemCode, conditions.itemCode);
    const QString due = fixed::trimmedRight(conditions.dueDate);
    if (!due.isEmpty())
        addText(DeliveryField::DueDate, readDate(due).value_or(due));

    const qsizetype count = records.size() / DeliveryRecord::kLength;
    int row = 0;
    for (qsizetype n = 0; n < count; ++n) {
        const char* record = records.constData() + n * DeliveryRecord::kLength;
        if (!DeliveryRecord::isLiveOf(record, protocol))
            continue;
        if (++row <= startRow)
            continue;
        bool matches = true;
        for (const FieldCondition& c : checks) {
            if (!fieldEquals(record, c)) {
                matches = false;
                break;
            }
        }
        if (matches)
            return row;
    }
    return 0;
}

std::optional<QString> DeliverySearch::readDate(const QString& text)
{
    // Full-width digits and separators read as their ASCII forms.
    QString s = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (s.endsWith(u'日')) {
        s.chop(1);
        s.replace(u'年', u'/');
        s.replace(u'月', u'/');
    }
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{4}|[0-9]{2})[/.-]([0-9]{1,2})[/.-]([0-9]{1,2})$"));
    const QRegularExpressionMatch m = pattern.match(s);
    if (!m.hasMatch())
        return std::nullopt;
    int year = m.captured(1).toInt();
    if (m.capturedLength(1) == 2)
        year = expandTwoDigitYear(year, 29);
    const int month = m.captured(2).toInt();
    const int day = m.captured(3).toInt();
    if (!isValidDate(year, month, day))
        return std::nullopt;
    return QStringLiteral("%1%2%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

} // namespace plx
