#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli watch --eiaj|--korvan [--mode 1|2] [--interval S] [DIR]
class WatchCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("watch"); }
    QString description() const override { return QStringLiteral("import order files as they arrive in a folder"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
