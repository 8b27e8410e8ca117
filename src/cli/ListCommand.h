#pragma once

#include "FormatCommand.h"

namespace plx::cli {

// plx90-cli list --eiaj|--korvan: the list window's 13 columns as UTF-8 TSV.
class ListCommand : public FormatCommand
{
public:
    ListCommand() : FormatCommand(QStringLiteral("list")) {}
    QString name() const override { return QStringLiteral("list"); }
    QString description() const override { return QStringLiteral("print the delivery-slip list as TSV"); }

private:
    QString usage() const override { return QStringLiteral("list --eiaj|--korvan"); }
    // The list converts the data files as it loads them and tells a failure
    // in the list's terms, as the window does.
    bool convertsFirst() const override { return false; }
    int run(const QCommandLineParser& parser, CliSession& session, Protocol format) override;
};

} // namespace plx::cli
