#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli company list|add|change|delete --eiaj|--korvan ...: the
// ordering-company window without the window. Lists the companies of a
// protocol, adds one as 新規作成 and ＯＫ do, changes one as 変更 and ＯＫ do,
// deletes one as 削除 does; every write is followed by the compaction that
// closing the window runs.
class CompanyCommand : public FormatCommand
{
public:
    CompanyCommand() : FormatCommand(QStringLiteral("companies")) {}
    QString name() const override { return QStringLiteral("company"); }
    QString description() const override { return QStringLiteral("list, add, change or delete ordering companies"); }

private:
    QString usage() const override;
    void addOptions(QCommandLineParser& parser) override { parser.addOption(m_yes); }
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    // The FIELD=VALUE arguments, checked against the format's fields.
    std::optional<int> prepare(const QCommandLineParser& parser, Protocol format, QString& why) override;
    bool answersYes(const QCommandLineParser& parser) const override { return parser.isSet(m_yes); }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    QCommandLineOption m_yes{QStringLiteral("yes"), QStringLiteral("answer Yes to the deletion question")};
    // The call as accepts() read it: list, add, change or delete, the codes of
    // change and delete, and the FIELD=VALUE arguments.
    QString m_action;
    QString m_orderer;
    QString m_supplier;
    QStringList m_fieldArgs;
};

} // namespace plx::cli
