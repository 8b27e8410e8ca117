#pragma once

#include "text/Decimal.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace plx {

// How an ordering company settles a remainder: its AmountRounding (金額計算)
// and TaxRounding (税額計算). The company file stores "1", "2" or "3"; this is
// the one place that maps those texts.
enum class RoundingSetting {
    Up,     // "1" 切上げ: any remainder moves the amount up
    Down,   // "2" 切捨て: the remainder is cut off
    HalfUp, // "3" 四捨五入
};

// The settings in the order of the company window's options.
inline constexpr std::array<RoundingSetting, 3> kRoundingSettings{RoundingSetting::Up, RoundingSetting::Down,
                                                                  RoundingSetting::HalfUp};

// The character the company file stores for `setting`: '1', '2' or '3', in
// the order of the settings.
constexpr char storedCharacter(RoundingSetting setting)
{
    return char('1' + static_cast<int>(setting));
}

// The setting a stored text names; blanks around it are ignored. Nothing for
// any other text (the amount calculation then keeps the remainder).
std::optional<RoundingSetting> roundingSettingOf(QStringView stored);

// The text the company file stores for `setting`: "1", "2" or "3".
QString storedText(RoundingSetting setting);

// The decimal rounding that settles a remainder as `setting` says (magnitudes:
// a negative amount is rounded by its size).
Rounding decimalRounding(RoundingSetting setting);

} // namespace plx
