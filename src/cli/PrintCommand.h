#pragma once

#include "CompanyScopeCommand.h"

namespace plx::cli {

// plx90-cli print --eiaj|--korvan [--orderer CODE --supplier CODE] [--yes]
class PrintCommand : public CompanyScopeCommand
{
public:
    PrintCommand() : CompanyScopeCommand(QStringLiteral("records"), QStringLiteral("answer Yes to the confirmations"))
    {
    }
    QString name() const override { return QStringLiteral("print"); }
    QString description() const override { return QStringLiteral("print the due delivery slips and tags to PDF"); }

private:
    QString usage() const override
    {
        return QStringLiteral("print --eiaj|--korvan [--orderer CODE --supplier CODE] [--yes]");
    }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;
};

} // namespace plx::cli
