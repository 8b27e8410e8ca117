#pragma once

#include <QString>

namespace plx {

// The two business protocols, i.e. order-data formats, the program serves.
// Lists, imports and print runs that still number them use 0 for EIAJ and 1
// for KORVAN (`kindOf`, `protocolOfKind`).
enum class Protocol { Eiaj, Korvan };

inline Protocol protocolOfKind(int kind)
{
    return kind == 1 ? Protocol::Korvan : Protocol::Eiaj;
}
inline int kindOf(Protocol protocol)
{
    return protocol == Protocol::Korvan ? 1 : 0;
}

// The digit that marks the protocol in stored records: the kind of a live
// delivery record, the protocol of an ordering company and the format of a
// code-table entry.
inline char kindDigitOf(Protocol protocol)
{
    return protocol == Protocol::Eiaj ? '1' : '2';
}
inline QString formatDigitOf(Protocol protocol)
{
    return QString(QLatin1Char(kindDigitOf(protocol)));
}

// "EIAJ" or "KORVAN", as ApUse and the command line spell them.
inline QString protocolName(Protocol protocol)
{
    return protocol == Protocol::Eiaj ? QStringLiteral("EIAJ") : QStringLiteral("KORVAN");
}

// The protocol as window captions end: " （ＥＩＡＪ）" or " （ＫＯＲＶＡＮ）".
inline QString protocolCaption(Protocol protocol)
{
    return protocol == Protocol::Eiaj ? QStringLiteral(" （ＥＩＡＪ）") : QStringLiteral(" （ＫＯＲＶＡＮ）");
}

} // namespace plx
