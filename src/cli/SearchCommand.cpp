#include "SearchCommand.h"

#include "CliSession.h"

#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "list/DeliverySearch.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int SearchCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption eiaj(QStringLiteral("eiaj"), QStringLiteral("the EIAJ list"));
    const QCommandLineOption korvan(QStringLiteral("korvan"), QStringLiteral("the KORVAN list"));
    const QCommandLineOption after(QStringLiteral("after"), QStringLiteral("start after this list row"),
                                   QStringLiteral("ROW"), QStringLiteral("0"));
    const QCommandLineOption orderer(QStringLiteral("orderer"), QStringLiteral("orderer code"), QStringLiteral("CODE"));
    const QCommandLineOption supplier(QStringLiteral("supplier"), QStringLiteral("supplier code"),
                                      QStringLiteral("CODE"));
    const QCommandLineOption orderNo(QStringLiteral("order-no"), QStringLiteral("order number"), QStringLiteral("X"));
    const QCommandLineOption key(QStringLiteral("key"), QStringLiteral("delivery key number"), QStringLiteral("K"));
    const QCommandLineOption item(QStringLiteral("item"), QStringLiteral("item code"), QStringLiteral("I"));
    const QCommandLineOption due(QStringLiteral("due"), QStringLiteral("due date"), QStringLiteral("D"));
    parser.addOptions({eiaj, korvan, after, orderer, supplier, orderNo, key, item, due});
    bool rowOk = false;
    const int startRow = parser.parse(arguments) ? parser.value(after).toInt(&rowOk) : 0;
    if (!rowOk || startRow < 0 || parser.isSet(eiaj) == parser.isSet(korvan) ||
        parser.isSet(orderer) != parser.isSet(supplier) || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "usage: plx90-cli search --eiaj|--korvan [--after ROW] [--orderer CODE --supplier CODE] "
                             "[--order-no X] [--key K] [--item I] [--due D]\n");
        return kExitUsage;
    }
    const int kind = parser.isSet(eiaj) ? 0 : 1;

    CliSession session;
    session.start();
    Environment& env = session.env();
    if (!session.handlesFormat(kind))
        return kExitFailed;
    env.logModule = QStringLiteral("検索");
    env.logOperation = QStringLiteral("OKﾎﾞﾀﾝ");

    int row = 0;
    bool unknownCompany = false;
    const bool ran = runTrapped(env, QStringLiteral("検索開始/"), [&] {
        DeliverySearch search(env, kind);
        SearchConditions conditions;
        if (parser.isSet(orderer)) {
            // As choosing the company in the drop-down list.
            search.loadCompanies();
            conditions.ordererIndex = search.indexOf(parser.value(orderer), parser.value(supplier));
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
