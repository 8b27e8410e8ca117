#pragma once

#include "CompanyScopeCommand.h"

namespace plx::cli {

// plx90-cli delete --eiaj|--korvan [--orderer CODE --supplier CODE]
// [--issued-only] [--yes]: the deletion window's run. Prints how many records
// were deleted.
class DeleteCommand : public CompanyScopeCommand
{
public:
    DeleteCommand() : CompanyScopeCommand(QStringLiteral("records"), QStringLiteral("answer Yes to the confirmation"))
    {
    }
    QString name() const override { return QStringLiteral("delete"); }
    QString description() const override { return QStringLiteral("delete delivery-slip records in bulk"); }

private:
    QString usage() const override
    {
        return QStringLiteral("delete --eiaj|--korvan [--orderer CODE --supplier CODE] [--issued-only] [--yes]");
    }
    void addOwnOptions(QCommandLineParser& parser) override { parser.addOption(m_issuedOnly); }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    QCommandLineOption m_issuedOnly{QStringLiteral("issued-only"), QStringLiteral("issued records only")};
};

} // namespace plx::cli
