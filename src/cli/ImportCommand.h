#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli import --eiaj|--korvan [--mode 1|2|3] [--move|--no-move] [--yes] FILE...
class ImportCommand : public FormatCommand
{
public:
    ImportCommand() : FormatCommand(QStringLiteral("order files")) {}
    QString name() const override { return QStringLiteral("import"); }
    QString description() const override { return QStringLiteral("import order files into the delivery-slip data"); }

private:
    QString usage() const override
    {
        return QStringLiteral("import --eiaj|--korvan [--mode 1|2|3] [--move|--no-move] [--yes] FILE...");
    }
    void addOptions(QCommandLineParser& parser) override { parser.addOptions({m_mode, m_move, m_noMove, m_yes}); }
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    bool answersYes(const QCommandLineParser& parser) const override { return parser.isSet(m_yes); }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    QCommandLineOption m_mode{QStringLiteral("mode"), QStringLiteral("processing mode 1, 2 or 3"),
                              QStringLiteral("MODE")};
    QCommandLineOption m_move{QStringLiteral("move"), QStringLiteral("move processed files to Dust")};
    QCommandLineOption m_noMove{QStringLiteral("no-move"), QStringLiteral("leave processed files in place")};
    QCommandLineOption m_yes{
        QStringLiteral("yes"),
        QStringLiteral("answer Yes to the question before mode 3 deletes records waiting for issue")};
};

} // namespace plx::cli
