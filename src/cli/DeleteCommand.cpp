#include "DeleteCommand.h"

#include "CliSession.h"

#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/MessageCatalog.h"
#include "list/BulkDeletion.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int DeleteCommand::execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption eiaj(QStringLiteral("eiaj"), QStringLiteral("EIAJ records"));
    const QCommandLineOption korvan(QStringLiteral("korvan"), QStringLiteral("KORVAN records"));
    const QCommandLineOption orderer(QStringLiteral("orderer"), QStringLiteral("orderer code"), QStringLiteral("CODE"));
    const QCommandLineOption supplier(QStringLiteral("supplier"), QStringLiteral("supplier code"),
                                      QStringLiteral("CODE"));
    const QCommandLineOption issuedOnly(QStringLiteral("issued-only"), QStringLiteral("issued records only"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("answer Yes to the confirmation"));
    parser.addOptions({eiaj, korvan, orderer, supplier, issuedOnly, yes});
    if (!parser.parse(arguments) || parser.isSet(eiaj) == parser.isSet(korvan) ||
        parser.isSet(orderer) != parser.isSet(supplier) || !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "usage: plx90-cli delete --eiaj|--korvan [--orderer CODE --supplier CODE] "
                             "[--issued-only] [--yes]\n");
        return kExitUsage;
    }
    const int kind = parser.isSet(eiaj) ? 0 : 1;

    CliSession session(parser.isSet(yes));
    session.start();
    Environment& env = session.env();
    if (!session.handlesFormat(kind))
        return kExitFailed;
    env.logModule = QStringLiteral("納品書削除");

    const BulkDeletion deletion(env, kind);
    DeletionScope scope;
    scope.issuedOnly = parser.isSet(issuedOnly);
    if (parser.isSet(orderer)) {
        std::optional<DeletionCompany> company;
        if (!runTrapped(env, QStringLiteral("削除ﾒｲﾝ/"),
                        [&] { company = deletion.findCompany(parser.value(orderer), parser.value(supplier)); }))
            return kExitFailed;
        if (!company) {
            // No such company of the format: nothing can match.
            ShowMessage(env, 630);
            return kExitFailed;
        }
        scope.allCompanies = false;
        scope.ordererCode = company->ordererCode;
        scope.supplierCode = company->supplierCode;
    }

    if (ShowMessage(env, 12) == kAnswerNo)
        return kExitFailed;
    int deleted = 0;
    if (!runTrapped(env, QStringLiteral("削除ﾒｲﾝ/"), [&] { deleted = deletion.run(scope); }))
        return kExitFailed; // the refusal is on stderr; nothing was written
    if (deleted == 0) {
        ShowMessage(env, 630);
        return kExitFailed;
    }
    std::printf("%d\n", deleted);
    return kExitOk;
}

} // namespace plx::cli
