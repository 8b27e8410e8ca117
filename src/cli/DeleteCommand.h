#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli delete --eiaj|--korvan [--orderer CODE --supplier CODE]
// [--issued-only] [--yes]: the deletion window's run. Prints how many records
// were deleted.
class DeleteCommand : public FormatCommand
{
public:
    DeleteCommand() : FormatCommand(QStringLiteral("records")) {}
    QString name() const override { return QStringLiteral("delete"); }
    QString description() const override { return QStringLiteral("delete delivery-slip records in bulk"); }

private:
    QString usage() const override
    {
        return QStringLiteral("delete --eiaj|--korvan [--orderer CODE --supplier CODE] [--issued-only] [--yes]");
    }
    void addOptions(QCommandLineParser& parser) override;
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    bool answersYes(const QCommandLineParser& parser) const override { return parser.isSet(m_yes); }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    CompanyOptions m_company;
    QCommandLineOption m_issuedOnly{QStringLiteral("issued-only"), QStringLiteral("issued records only")};
    QCommandLineOption m_yes{QStringLiteral("yes"), QStringLiteral("answer Yes to the confirmation")};
};

} // namespace plx::cli
