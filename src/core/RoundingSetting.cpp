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
    switch (setting) {
    case RoundingSetting::Up:
        return QStringLiteral("1");
    case RoundingSetting::Down:
        return QStringLiteral("2");
    case RoundingSetting::HalfUp:
        return QStringLiteral("3");
    }
    return QString();
}

Rounding decimalRounding(RoundingSetting setting)
{
    switch (setting) {
    case RoundingSetting::Up:
        return Rounding::AwayFromZero;
    case RoundingSetting::Down:
        return Rounding::TowardZero;
    case RoundingSetting::HalfUp:
        break;
    }
    return Rounding::HalfAwayFromZero;
}

} // namespace plx
