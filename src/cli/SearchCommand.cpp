#include "SearchCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"

#include "core/ErrorReport.h"
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
int printScanned(Environment& env, int kind, const QString& text)
{
    QList<ScanMatch> matches;
    const bool ran = runTrapped(env, QStringLiteral("検索開始/"), [&] {
        DeliveryStore store(env.paths.delivPathFor(kind), *env.clock);
        store.open();
        DeliverySearch search(env, kind);
        search.loadCompanies();
        matches = findScanned(store.records(), search.kindDigit(), search.companies(), text);
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

int SearchCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const ProtocolOption protocol(QStringLiteral("list"));
    const QCommandLineOption after(QStringLiteral("after"), QStringLiteral("start after this list row"),
                                   QStringLiteral("ROW"), QStringLiteral("0"));
    const CompanyOptions company;
    const QCommandLineOption orderNo(QStringLiteral("order-no"), QStringLiteral("order number"), QStringLiteral("X"));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("delivery key number"), QStringLiteral("K"));
    const QCommandLineOption item(QStringLiteral("item"), QStringLiteral("item code"), QStringLiteral("I"));
    const QCommandLineOption due(QStringLiteral("due"), QStringLiteral("due date"), QStringLiteral("D"));
    const QCommandLineOption scan(QStringLiteral("scan"),
                                  QStringLiteral("a scanned delivery key, or the data of a slip or tag symbol"),
                                  QStringLiteral("TEXT"));
    protocol.addTo(parser);
    company.addTo(parser);
    parser.addOptions({after, orderNo, key, item, due, scan});
    bool rowOk = false;
    const int startRow = parser.parse(arguments) ? parser.value(after).toInt(&rowOk) : 0;
    // A scan stands alone: it is not one more condition of the search window.
    const bool scanned = parser.isSet(scan);
    const bool conditionsGiven = company.given(parser) || parser.isSet(orderNo) || parser.isSet(key) ||
                                 parser.isSet(item) || parser.isSet(due) || parser.isSet(after);
    if (!rowOk || startRow < 0 || !protocol.given(parser) || !company.valid(parser) ||
        !parser.positionalArguments().isEmpty() || (scanned && conditionsGiven)) {
        std::fprintf(stderr, "usage: plx90-cli search --eiaj|--korvan [--after ROW] [--orderer CODE --supplier CODE] "
                             "[--order-no X] [--key K] [--item I] [--due D]\n"
                             "       plx90-cli search --eiaj|--korvan --scan TEXT\n");
        return kExitUsage;
    }
    const int kind = protocol.kind(parser);

    CliSession session;
    session.start();
    Environment& env = session.env();
    if (!session.handlesFormat(kind))
        return kExitFailed;
    env.logModule = QStringLiteral("検索");
    env.logOperation = QStringLiteral("OKﾎﾞﾀﾝ");
    if (scanned)
        return printScanned(env, kind, parser.value(scan));

    int row = 0;
    bool unknownCompany = false;
    const bool ran = runTrapped(env, QStringLiteral("検索開始/"), [&] {
        DeliverySearch search(env, kind);
        SearchConditions conditions;
        if (company.given(parser)) {
            // As choosing the company in the drop-down list.
            search.loadCompanies();
            conditions.ordererIndex = search.indexOf(company.ordererCode(parser), company.supplierCode(parser));
            if (conditions.ordererIndex == 0) {
                unknownCompany = true;
                return;
            }
            conditions.company = search.companyAt(conditions.ordererIndex);
        }
        conditions.orderNo = parser.value(orderNo);
        conditions.deliveryKeyNo = parser.value(key);
        conditions.itemCode = parser.value(item);
        conditions.dueDate = parser.value(due);
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
