#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli delete --eiaj|--korvan [--orderer CODE --supplier CODE]
// [--issued-only] [--yes]: the deletion window's run. Prints how many records
// were deleted.
class DeleteCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("delete"); }
    QString description() const override { return QStringLiteral("delete delivery-slip records in bulk"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
