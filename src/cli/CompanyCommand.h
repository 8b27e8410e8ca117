#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli company list|add|change|delete --eiaj|--korvan ...: the
// ordering-company window without the window. Lists the companies of a
// protocol, adds one as 新規作成 and ＯＫ do, changes one as 変更 and ＯＫ do,
// deletes one as 削除 does; every write is followed by the compaction that
// closing the window runs.
class CompanyCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("company"); }
    QString description() const override { return QStringLiteral("list, add, change or delete ordering companies"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
