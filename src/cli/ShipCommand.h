#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli ship --eiaj|--korvan [--issue] [--yes] FILE|-: registers shipments
// from a CSV file through the entry window's rules, row by row, then issues the
// records marked for issue as the window does when it closes.
class ShipCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("ship"); }
    QString description() const override { return QStringLiteral("register shipments from a CSV file"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
