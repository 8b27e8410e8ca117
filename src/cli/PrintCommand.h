#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli print --eiaj|--korvan [--orderer CODE --supplier CODE] [--yes]
class PrintCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("print"); }
    QString description() const override { return QStringLiteral("print the due delivery slips and tags to PDF"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
