#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace plx {

// The two business protocols, i.e. order-data formats, the program serves.
// Stored files mark them with a digit; only the store converts between the two.
enum class Protocol { Eiaj, Korvan };

// Both protocols, EIAJ first: the order of the list window's tabs.
inline constexpr std::array<Protocol, 2> kProtocols{Protocol::Eiaj, Protocol::Korvan};

// One value per protocol, e.g. the list window's two grids.
template <typename T> class PerProtocol
{
public:
    T& operator[](Protocol protocol) { return m_values[index(protocol)]; }
    const T& operator[](Protocol protocol) const { return m_values[index(protocol)]; }

private:
    static constexpr std::size_t index(Protocol protocol) { return protocol == Protocol::Korvan ? 1 : 0; }
    std::array<T, 2> m_values{};
};

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
