#pragma once

#include <QString>

#include <climits>
#include <cstdint>

// The plain day type every layer shares and the ranges of days the program handles. It sits
// in the lowest layer so that the notification entries can carry days without depending on
// the model; the day arithmetic lives in model/CalDate.h.

/// A calendar day without a time of day. The all-zero value means "no date".
struct CalDate
{
    int16_t month;
    int16_t day;
    int16_t year;
};

/// The first year the local-time conversion accepts (the C library counts years from 1900).
inline constexpr int kFirstConvertibleYear = 1900;
/// The years of valid dates: the calendar, the pickers, the settings and the reminders.
inline constexpr int kFirstValidYear = 1971;
inline constexpr int kLastValidYear = 2099;
/// First and last year of the day-status map.
inline constexpr int kMapFirstYear = 2008;
inline constexpr int kMapLastYear = 2099;

/// Month 1..12, day 1..31 and the year within firstYear..lastYear. The length of the month is
/// not checked: a day beyond the month's end rolls over into the next month where a date is
/// converted.
constexpr bool
AreDateFieldsInRange(int year, int month, int day, int firstYear = kFirstConvertibleYear, int lastYear = INT_MAX)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && year >= firstYear && year <= lastYear;
}

/// The years a stored day may have. The data file, the day file export and its import take
/// the same, so that whatever is exported imports back; the day file writes four digits.
inline constexpr int kFirstStoredYear = kFirstConvertibleYear;
inline constexpr int kLastStoredYear = 9999;

/// Day 1..31, month 1..12, year 1971..2099.
constexpr bool IsValidDate(const CalDate& d)
{
    return AreDateFieldsInRange(d.year, d.month, d.day, kFirstValidYear, kLastValidYear);
}

/// "yyyy-mm-dd" of the day's fields as they are, also for a day no calendar has.
QString IsoDayText(const CalDate& day);
