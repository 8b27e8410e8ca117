#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli settings get NAME | settings set NAME VALUE
class SettingsCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("settings"); }
    QString description() const override { return QStringLiteral("read or write one setting"); }
    QString usage() const override { return QStringLiteral("settings get NAME | settings set NAME VALUE"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
