#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli list --eiaj|--korvan: the list window's 13 columns as UTF-8 TSV.
class ListCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("list"); }
    QString description() const override { return QStringLiteral("print the delivery-slip list as TSV"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
