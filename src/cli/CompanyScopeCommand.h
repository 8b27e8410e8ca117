#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// A format command that works on every company, or on the one that --orderer
// and --supplier name together, and whose questions --yes answers: print and
// delete.
class CompanyScopeCommand : public FormatCommand
{
protected:
    // `yesHelp` is the help text of --yes.
    CompanyScopeCommand(const QString& what, const QString& yesHelp)
        : FormatCommand(what), m_yes(QStringLiteral("yes"), yesHelp)
    {
    }

    // The command's options beyond the company and --yes.
    virtual void addOwnOptions(QCommandLineParser&) {}
    const CompanyOptions& company() const { return m_company; }

private:
    void addOptions(QCommandLineParser& parser) final
    {
        m_company.addTo(parser);
        addOwnOptions(parser);
        parser.addOption(m_yes);
    }
    bool accepts(const QCommandLineParser& parser, QString& why) override
    {
        return FormatCommand::accepts(parser, why) && m_company.valid(parser);
    }
    bool answersYes(const QCommandLineParser& parser) const final { return parser.isSet(m_yes); }

    CompanyOptions m_company;
    QCommandLineOption m_yes;
};

} // namespace plx::cli
