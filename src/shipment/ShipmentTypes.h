#pragma once

#include "core/Protocol.h"
#include "store/RecordCodes.h"

#include <QString>

namespace plx {

// The entry window's modes.
enum class EntryMode {
    Existing = 0,   // listed records, order data locked
    Correction = 1, // order-data correction switched on
    New = 2,        // a record typed in
};

} // namespace plx
