#pragma once

#include "core/text/Decimal.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace plx {

// The number a box shows: blanks around it and thousands separators in its
// integer part are allowed ("1,234.500"); nothing when it is not a number.
std::optional<Decimal> boxNumber(QStringView text);

// The date a box shows as "YYYYMMDD": "yyyy/mm/dd" (also with "-" or "."; one or
// two digits for month and day) or eight digits, naming a real calendar date;
// nothing otherwise.
std::optional<QString> boxDate(QStringView text);

} // namespace plx
