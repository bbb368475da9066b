#include "model/CivilDays.h"

namespace {
constexpr int kShortestMonth = 28;

// Howard Hinnant's days_from_civil, linear in the day field.
int DaysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}
} // namespace

int DayNumberOf(const CalDate& d)
{
    return DaysFromCivil(d.year, d.month, d.day);
}

CalDate DateOfDayNumber(int dayNumber)
{
    const int z = dayNumber + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int dayOfEra = z - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    const int month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    const int year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return CalDate{static_cast<int16_t>(month), static_cast<int16_t>(day), static_cast<int16_t>(year)};
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0))
        return 29;
    return kDays[(month - 1) % 12];
}

bool IsConvertible(const CalDate& d)
{
    return AreDateFieldsInRange(d.year, d.month, d.day);
}

CalDate CivilOffsetDate(const CalDate& d, int n)
{
    if (!IsConvertible(d))
        return CalDate{0, 0, 0};
    return DateOfDayNumber(DayNumberOf(d) + n);
}

void CivilNextDay(CalDate& d)
{
    if (d.day < kShortestMonth)
        ++d.day;
    else
        d = CivilOffsetDate(d, 1);
}

void CivilPrevDay(CalDate& d)
{
    if (d.day > 1)
        --d.day;
    else
        d = CivilOffsetDate(d, -1);
}

void CivilAddDays(CalDate& d, int n)
{
    if (d.day + n < kShortestMonth + 1)
        d.day = static_cast<int16_t>(d.day + n);
    else
        d = CivilOffsetDate(d, n);
}

int CivilDaysBetween(const CalDate& a, const CalDate& b)
{
    if (!IsConvertible(a) || !IsConvertible(b))
        return 0;
    // The public form divides (noon of b to 14:00 of a) by a day and truncates toward zero:
    // for a before b that is one day less in magnitude.
    const int difference = DayNumberOf(a) - DayNumberOf(b);
    return difference >= 0 ? difference : difference + 1;
}
