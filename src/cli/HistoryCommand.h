#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli history --eiaj|--korvan [--from DATE] [--to DATE] [--orderer CODE
// --supplier CODE] [--key K] [--order-no X] [--item I]: the issued documents
// the history holds that match, newest first, as UTF-8 TSV with a header row;
// records deleted from the data file long ago included. DATE is YYYY-MM-DD or
// YYYYMMDD and selects by the ship date printed on the document.
class HistoryCommand : public FormatCommand
{
public:
    HistoryCommand() : FormatCommand(QStringLiteral("the history")) {}
    QString name() const override { return QStringLiteral("history"); }
    QString description() const override { return QStringLiteral("look up issued delivery slips and tags"); }

    // A date as YYYYMMDD from "YYYY-MM-DD" or "YYYYMMDD"; empty when it is neither
    // or no such day.
    static QString parseDate(const QString& text);

private:
    QString usage() const override;
    void addOptions(QCommandLineParser& parser) override;
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    CompanyOptions m_company;
    QCommandLineOption m_from{QStringLiteral("from"), QStringLiteral("first ship date (YYYY-MM-DD)"),
                              QStringLiteral("DATE")};
    QCommandLineOption m_to{QStringLiteral("to"), QStringLiteral("last ship date (YYYY-MM-DD)"),
                            QStringLiteral("DATE")};
    QCommandLineOption m_key{QStringLiteral("key"), QStringLiteral("delivery key number"), QStringLiteral("K")};
    QCommandLineOption m_orderNo{QStringLiteral("order-no"), QStringLiteral("order number"), QStringLiteral("X")};
    QCommandLineOption m_item{QStringLiteral("item"), QStringLiteral("item code"), QStringLiteral("I")};
};

} // namespace plx::cli
