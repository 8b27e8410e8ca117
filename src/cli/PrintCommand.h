#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli print --eiaj|--korvan [--orderer CODE --supplier CODE] [--yes]
class PrintCommand : public FormatCommand
{
public:
    PrintCommand() : FormatCommand(QStringLiteral("records")) {}
    QString name() const override { return QStringLiteral("print"); }
    QString description() const override { return QStringLiteral("print the due delivery slips and tags to PDF"); }

private:
    QString usage() const override
    {
        return QStringLiteral("print --eiaj|--korvan [--orderer CODE --supplier CODE] [--yes]");
    }
    void addOptions(QCommandLineParser& parser) override;
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    bool answersYes(const QCommandLineParser& parser) const override { return parser.isSet(m_yes); }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    CompanyOptions m_company;
    QCommandLineOption m_yes{QStringLiteral("yes"), QStringLiteral("answer Yes to the confirmations")};
};

} // namespace plx::cli
