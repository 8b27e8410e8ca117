#include "ApUse.h"

#include "Environment.h"

namespace plx {

std::optional<ApUse> apUseOf(QStringView stored)
{
    if (stored == u"EIAJ")
        return ApUse::Eiaj;
    if (stored == u"KORVAN")
        return ApUse::Korvan;
    if (stored == u"ALL")
        return ApUse::All;
    return std::nullopt;
}

bool servesFormat(ApUse use, Protocol protocol)
{
    switch (use) {
    case ApUse::Eiaj:
        return protocol == Protocol::Eiaj;
    case ApUse::Korvan:
        return protocol == Protocol::Korvan;
    case ApUse::All:
        break;
    }
    return true;
}

bool servesFormat(const Environment& env, Protocol protocol)
{
    return servesFormat(apUseOf(env.apUse).value_or(ApUse::All), protocol);
}

} // namespace plx
