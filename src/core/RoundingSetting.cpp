#include "RoundingSetting.h"

namespace plx {

std::optional<RoundingSetting> roundingSettingOf(QStringView stored)
{
    const QStringView s = stored.trimmed();
    for (const RoundingSetting setting : kRoundingSettings) {
        if (s == storedText(setting))
            return setting;
    }
    return std::nullopt;
}

QString storedText(RoundingSetting setting)
{
    return QString(QLatin1Char(storedCharacter(setting)));
}

Rounding decimalRounding(RoundingSetting setting)
{
    // In the order of the settings: up, down, half up.
    constexpr std::array<Rounding, kRoundingSettings.size()> roundings{Rounding::AwayFromZero, Rounding::TowardZero,
                                                                       Rounding::HalfAwayFromZero};
    return roundings[static_cast<size_t>(setting)];
}

} // namespace plx
