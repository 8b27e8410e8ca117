#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli install --base DIR [--ap-use EIAJ|KORVAN|ALL] [--force]
class InstallCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("install"); }
    QString description() const override { return QStringLiteral("set up an installation below a base folder"); }
    QString usage() const override
    {
        return QStringLiteral("install --base DIR [--ap-use EIAJ|KORVAN|ALL] [--force] [--demo]");
    }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
