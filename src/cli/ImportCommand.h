#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli import --eiaj|--korvan [--mode 1|2|3] [--move|--no-move] FILE...
class ImportCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("import"); }
    QString description() const override { return QStringLiteral("import order files into the delivery-slip data"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
