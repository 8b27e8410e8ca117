#pragma once

#include <QStringView>

namespace plx {

// A real calendar date (Gregorian, leap years included), year 1..9999.
bool isValidDate(int year, int month, int day);

// Eight digits "YYYYMMDD" naming a real calendar date.
bool isValidYmd(QStringView text);

// Expands a two-digit year with the pivot: a year greater than the pivot is
// 19YY, any other 20YY (pivot 30: 29 -> 2029, 30 -> 2030, 31 -> 1931).
// yy must be 0..99; anything else throws std::out_of_range.
int expandTwoDigitYear(int yy, int pivot);

} // namespace plx
