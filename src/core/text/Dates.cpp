#include "Dates.h"

#include <stdexcept>

namespace plx {
namespace {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

} // namespace

bool isValidDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    return day <= daysInMonth(year, month);
}

bool isValidYmd(QStringView text)
{
    if (text.size() != 8)
        return false;
    int value[8];
    for (int i = 0; i < 8; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value[i] = c - u'0';
    }
    const int year = value[0] * 1000 + value[1] * 100 + value[2] * 10 + value[3];
    const int month = value[4] * 10 + value[5];
    const int day = value[6] * 10 + value[7];
    return isValidDate(year, month, day);
}

int expandTwoDigitYear(int yy, int pivot)
{
    if (yy < 0 || yy > 99)
        throw std::out_of_range("two-digit year out of range");
    return yy > pivot ? 1900 + yy : 2000 + yy;
}

} // namespace plx
