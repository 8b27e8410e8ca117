#include "DeleteCommand.h"

#include "CliSession.h"
#include "CommonOptions.h"

#include "core/Dialogs.h"
#include "core/ErrorReport.h"
#include "core/LogLabelScope.h"
#include "core/MessageCatalog.h"
#include "list/BulkDeletion.h"

#include <QCommandLineParser>

#include <cstdio>

namespace plx::cli {

int DeleteCommand::run(const QCommandLineParser& parser, CliSession& session, Protocol format)
{
    Environment& env = session.env();
    LogLabelScope logLabels(env, QStringLiteral("納品書削除"));

    const BulkDeletion deletion(env, format);
    DeletionScope scope;
    scope.issuedOnly = parser.isSet(m_issuedOnly);
    if (company().given(parser)) {
        std::optional<DeletionCompany> found;
        if (!runTrapped(env, QStringLiteral("削除ﾒｲﾝ/"), [&] {
                found = deletion.findCompany(company().ordererCode(parser), company().supplierCode(parser));
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
