#include "DeleteCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"

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
    const ProtocolOption protocol(QStringLiteral("records"));
    const CompanyOptions company;
    const QCommandLineOption issuedOnly(QStringLiteral("issued-only"), QStringLiteral("issued records only"));
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("answer Yes to the confirmation"));
    protocol.addTo(parser);
    company.addTo(parser);
    parser.addOptions({issuedOnly, yes});
    if (!parser.parse(arguments) || !protocol.given(parser) || !company.valid(parser) ||
        !parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "usage: plx90-cli delete --eiaj|--korvan [--orderer CODE --supplier CODE] "
                             "[--issued-only] [--yes]\n");
        return kExitUsage;
    }
    const int kind = protocol.kind(parser);

    CliSession session(parser.isSet(yes));
    session.start();
    Environment& env = session.env();
    if (!session.handlesFormat(kind))
        return kExitFailed;
    env.logModule = QStringLiteral("納品書削除");

    const BulkDeletion deletion(env, kind);
    DeletionScope scope;
    scope.issuedOnly = parser.isSet(issuedOnly);
    if (company.given(parser)) {
        std::optional<DeletionCompany> found;
        if (!runTrapped(env, QStringLiteral("削除ﾒｲﾝ/"), [&] {
                found = deletion.findCompany(company.ordererCode(parser), company.supplierCode(parser));
            }))
            return kExitFailed;
        if (!found) {
            // No such company of the format: nothing can match.
            ShowMessage(env, 630);
            return kExitFailed;
        }
        scope.allCompanies = false;
        scope.ordererCode = found->ordererCode;
        scope.supplierCode = found->supplierCode;
    }

    // Deletes only on a Yes: without --yes, and when the question cannot be
    // asked (message 12 missing from the catalogue), the answer is No.
    if (ShowMessage(env, 12) == kAnswerNo) {
        std::fprintf(stderr, "削除しませんでした。\n");
        return kExitFailed;
    }
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
