#pragma once

#include "CsvTable.h"
#include "FormatCommand.h"

#include <QHash>

#include <optional>

namespace plx::cli {

// plx90-cli ship --eiaj|--korvan [--issue] [--yes] FILE|-: registers shipments
// from a CSV file through the entry window's rules, row by row, then issues the
// records marked for issue as the window does when it closes.
class ShipCommand : public FormatCommand
{
public:
    ShipCommand() : FormatCommand(QStringLiteral("records")) {}
    QString name() const override { return QStringLiteral("ship"); }
    QString description() const override { return QStringLiteral("register shipments from a CSV file"); }

private:
    QString usage() const override { return QStringLiteral("ship --eiaj|--korvan [--issue] [--yes] FILE|-"); }
    void addOptions(QCommandLineParser& parser) override { parser.addOptions({m_issue, m_yes}); }
    bool accepts(const QCommandLineParser& parser, QString&) override
    {
        return parser.positionalArguments().size() == 1;
    }
    // The whole file first: a bad column is a usage error before anything is written.
    std::optional<int> prepare(const QCommandLineParser& parser, Protocol format, QString& why) override;
    bool answersYes(const QCommandLineParser& parser) const override { return parser.isSet(m_yes); }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    QCommandLineOption m_issue{QStringLiteral("issue"), QStringLiteral("登録印刷: register and mark for issue")};
    QCommandLineOption m_yes{QStringLiteral("yes"), QStringLiteral("answer Yes to the questions")};
    std::optional<CsvTable> m_table;
    QHash<QString, int> m_columnOf; // column name -> index
};

} // namespace plx::cli
