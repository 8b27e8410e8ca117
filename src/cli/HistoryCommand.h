#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli history --eiaj|--korvan [--from DATE] [--to DATE] [--orderer CODE
// --supplier CODE] [--key K] [--order-no X] [--item I]: the issued documents
// the history holds that match, newest first, as UTF-8 TSV with a header row;
// records deleted from the data file long ago included. DATE is YYYY-MM-DD or
// YYYYMMDD and selects by the ship date printed on the document.
class HistoryLookupCommand : public FormatCommand
{
public:
    HistoryLookupCommand() : FormatCommand(QStringLiteral("the history")) {}
    QString name() const override { return QStringLiteral("history"); }
    QString description() const override { return QStringLiteral("look up issued delivery slips and tags"); }
    QString usage() const override;

private:
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

// plx90-cli history export --eiaj|--korvan --month YYYY-MM [--orderer CODE
// --supplier CODE] --format xlsx|csv [--encoding cp932|utf-8] OUT: the
// month's billing (the slips of the month by their ship date) per company,
// with its totals, as a workbook or CSV.
class HistoryExportCommand : public FormatCommand
{
public:
    HistoryExportCommand() : FormatCommand(QStringLiteral("the history")) {}
    QString name() const override { return QStringLiteral("history export"); }
    QString description() const override { return QStringLiteral("the month's billing per company"); }
    QString usage() const override;

private:
    void addOptions(QCommandLineParser& parser) override;
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    CompanyOptions m_company;
    QCommandLineOption m_month{QStringLiteral("month"), QStringLiteral("the month (YYYY-MM)"), QStringLiteral("MONTH")};
    QCommandLineOption m_format{QStringLiteral("format"), QStringLiteral("xlsx or csv"), QStringLiteral("FORMAT")};
    QCommandLineOption m_encoding{QStringLiteral("encoding"), QStringLiteral("of a CSV: cp932 (default) or utf-8"),
                                  QStringLiteral("ENCODING")};
};

// plx90-cli history reprint [--printer] ID...: the documents again, as they
// were printed, to a new PDF marked as a copy (and to the printer of the
// settings with --printer). Nothing of the data files changes.
class HistoryReprintCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("history reprint"); }
    QString description() const override { return QStringLiteral("print issued documents again"); }
    QString usage() const override;
    int execute(const QStringList& arguments) override;
};

// plx90-cli history: the look-up, `history export` and `history reprint`.
class HistoryCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("history"); }
    QString description() const override
    {
        return QStringLiteral("look up, reprint and bill issued delivery slips and tags");
    }
    QString usage() const override;
    int execute(const QStringList& arguments) override;

private:
    HistoryLookupCommand m_lookup;
    HistoryExportCommand m_export;
    HistoryReprintCommand m_reprint;
};

} // namespace plx::cli
