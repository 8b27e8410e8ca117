#pragma once

#include "Command.h"

namespace plx::cli {

// plx90-cli search --eiaj|--korvan [--after ROW] [--orderer CODE --supplier CODE]
// [--order-no X] [--key K] [--item I] [--due D]: the list row (as plx90-cli list
// numbers it) of the first record after ROW that meets the conditions, as the
// search window finds it. No match: message 630 on stderr and exit 1.
class SearchCommand : public Command
{
public:
    QString name() const override { return QStringLiteral("search"); }
    QString description() const override { return QStringLiteral("find the next listed delivery slip"); }
    int execute(const QStringList& arguments) override;
};

} // namespace plx::cli
