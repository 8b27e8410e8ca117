#include "SearchCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"

#include "core/ErrorReport.h"
#include "core/LogLabelScope.h"
#include "core/MessageCatalog.h"
#include "list/DeliverySearch.h"
#include "list/ScanLookup.h"
#include "store/DeliveryStore.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

namespace {

// The live records a scanned text names, a line each: list row, orderer code,
// supplier code and orderer name; message 630 when none.
int printScanned(Environment& env, Protocol format, const QString& text)
{
    QList<ScanMatch> matches;
    const bool ran = runTrapped(env, QStringLiteral("検索開始/"), [&] {
        DeliveryStore store(env.paths.delivPathFor(format), *env.clock);
        store.open();
        DeliverySearch search(env, format);
        search.loadCompanies();
        matches = findScanned(store.records(), search.protocol(), search.companies(), text);
    });
    if (!ran)
        return kExitFailed;
    if (matches.isEmpty()) {
        ShowMessage(env, 630);
        return kExitFailed;
    }
    for (const ScanMatch& m : matches)
        std::printf("%d\t%s\t%s\t%s\n", m.row, m.ordererCode.toUtf8().constData(), m.supplierCode.toUtf8().constData(),
                    m.ordererName.toUtf8().constData());
    return kExitOk;
}

} // namespace

QString SearchCommand::usage() const
{
    return QStringLiteral("search --eiaj|--korvan [--after ROW] [--orderer CODE --supplier CODE] "
                          "[--order-no X] [--key K] [--item I] [--due D]\n"
                          "       plx90-cli search --eiaj|--korvan --scan TEXT");
}

void SearchCommand::addOptions(QCommandLineParser& parser)
{
    m_company.addTo(parser);
    parser.addOptions({m_after, m_orderNo, m_key, m_item, m_due, m_scan});
}

bool SearchCommand::accepts(const QCommandLineParser& parser, QString& why)
{
    bool rowOk = false;
    const int startRow = parser.value(m_after).toInt(&rowOk);
    // A scan stands alone: it is not one more condition of the search window.
    const bool conditionsGiven = m_company.given(parser) || parser.isSet(m_orderNo) || parser.isSet(m_key) ||
                                 parser.isSet(m_item) || parser.isSet(m_due) || parser.isSet(m_after);
    return FormatCommand::accepts(parser, why) && rowOk && startRow >= 0 && m_company.valid(parser) &&
           !(parser.isSet(m_scan) && conditionsGiven);
}

int SearchCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    const int startRow = parser.value(m_after).toInt();
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("検索"));
    logLabels.setOperation(QStringLiteral("OKﾎﾞﾀﾝ"));
    if (parser.isSet(m_scan))
        return printScanned(env, format, parser.value(m_scan));

    int row = 0;
    bool unknownCompany = false;
    const bool ran = runTrapped(env, QStringLiteral("検索開始/"), [&] {
        DeliverySearch search(env, format);
        SearchConditions conditions;
        if (m_company.given(parser)) {
            // As choosing the company in the drop-down list.
            search.loadCompanies();
            conditions.ordererIndex = search.indexOf(m_company.ordererCode(parser), m_company.supplierCode(parser));
            if (conditions.ordererIndex == 0) {
                unknownCompany = true;
                return;
            }
            conditions.company = search.companyAt(conditions.ordererIndex);
        }
        conditions.orderNo = parser.value(m_orderNo);
        conditions.deliveryKeyNo = parser.value(m_key);
        conditions.itemCode = parser.value(m_item);
        conditions.dueDate = parser.value(m_due);
        row = search.find(conditions, startRow);
    });
    if (!ran)
        return kExitFailed; // the refusal is on stderr
    if (unknownCompany || row == 0) {
        ShowMessage(env, 630);
        return kExitFailed;
    }
    std::printf("%d\n", row);
    return kExitOk;
}

} // namespace plx::cli
