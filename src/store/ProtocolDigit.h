#pragma once

#include "core/Protocol.h"

#include <optional>

namespace plx {

// The digit that marks the protocol in stored records: the kind of a live
// delivery record, the protocol of an ordering company and the format of a
// code-table entry. Only the store reads and writes it; everything above
// speaks `Protocol`.
constexpr char protocolDigit(Protocol protocol)
{
    return protocol == Protocol::Eiaj ? '1' : '2';
}

// The protocol a stored digit marks; nothing for any other byte, e.g. the
// blank of a deleted record.
constexpr std::optional<Protocol> protocolOfDigit(char digit)
{
    if (digit == '1')
        return Protocol::Eiaj;
    if (digit == '2')
        return Protocol::Korvan;
    return std::nullopt;
}

} // namespace plx
