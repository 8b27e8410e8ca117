#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli search --eiaj|--korvan [--after ROW] [--orderer CODE --supplier CODE]
// [--order-no X] [--key K] [--item I] [--due D]: the list row (as plx90-cli list
// numbers it) of the first record after ROW that meets the conditions, as the
// search window finds it. No match: message 630 on stderr and exit 1.
// --scan TEXT instead: every listed record the scanned key or symbol names.
class SearchCommand : public FormatCommand
{
public:
    SearchCommand() : FormatCommand(QStringLiteral("list")) {}
    QString name() const override { return QStringLiteral("search"); }
    QString description() const override { return QStringLiteral("find the next listed delivery slip"); }

private:
    QString usage() const override;
    void addOptions(QCommandLineParser& parser) override;
    bool accepts(const QCommandLineParser& parser, QString& why) override;
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;

    CompanyOptions m_company;
    QCommandLineOption m_after{QStringLiteral("after"), QStringLiteral("start after this list row"),
                               QStringLiteral("ROW"), QStringLiteral("0")};
    QCommandLineOption m_orderNo{QStringLiteral("order-no"), QStringLiteral("order number"), QStringLiteral("X")};
    QCommandLineOption m_key{QStringLiteral("key"), QStringLiteral("delivery key number"), QStringLiteral("K")};
    QCommandLineOption m_item{QStringLiteral("item"), QStringLiteral("item code"), QStringLiteral("I")};
    QCommandLineOption m_due{QStringLiteral("due"), QStringLiteral("due date"), QStringLiteral("D")};
    QCommandLineOption m_scan{QStringLiteral("scan"),
                              QStringLiteral("a scanned delivery key, or the data of a slip or tag symbol"),
                              QStringLiteral("TEXT")};
};

} // namespace plx::cli
