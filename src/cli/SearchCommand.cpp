#include "SearchCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"

#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "list/DeliverySearch.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

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
    protocol.addTo(parser);
    company.addTo(parser);
    parser.addOptions({after, orderNo, key, item, due});
    bool rowOk = false;
    const int startRow = parser.parse(arguments) ? parser.value(after).toInt(&rowOk) : 0;
    if (!rowOk || startRow < 0 || !protocol.given(parser) || !company.valid(parser) ||
        !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "usage: plx90-cli search --eiaj|--korvan [--after ROW] [--orderer CODE --supplier CODE] "
                             "[--order-no X] [--key K] [--item I] [--due D]\n");
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
