#pragma once

#include "ProtocolDigit.h"

#include "core/RecordFile.h"

#include <QList>

namespace plx {

// The numbers (1-based, in file order) of the records of `file` that begin with
// the protocol's digit: a format's live delivery records, a protocol's
// ordering companies.
inline QList<int> recordsOfProtocol(const RecordFile& file, Protocol protocol)
{
    const char digit = protocolDigit(protocol);
    QList<int> out;
    for (int n = 1; n <= file.count(); ++n) {
        if (*file.at(n) == digit)
            out.append(n);
    }
    return out;
}

} // namespace plx
