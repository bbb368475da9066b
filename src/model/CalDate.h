#pragma once

#include "platform/CalendarDay.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <ctime>

/// The local time's date and time of day, split into fields (day of week 0 = Sunday).
struct SystemTime
{
    int year;
    int month;
    int dayOfWeek;
    int day;
    int hour;
    int minute;
    int second;
    int milliseconds;
};

/// Returned by ToTime for a date it cannot convert. No whole hour of a local day maps to it.
inline constexpr time_t kInvalidTime = static_cast<time_t>(-1);

// Validity tests; none of them checks the length of the month (IsValidDate: platform/CalendarDay.h).
bool IsYearInMapRange(int year);                                   ///< the years of the day-status map
bool IsStoredDateValid(uint16_t year, uint8_t month, uint8_t day); ///< the data file's record test
/// A day the calendar has (no 29 February outside leap years, no 31 April) within the stored
/// years: the only days the program stores.
bool IsStorableDay(const CalDate& d);

// Ordering, fields compared as signed numbers: year, then month, then day.
bool IsSameDate(const CalDate& a, const CalDate& b);
bool IsBefore(const CalDate& a, const CalDate& b);
bool IsBeforeOrSame(const CalDate& a, const CalDate& b);
bool IsAfter(const CalDate& a, const CalDate& b);

/// Local time of `d` at hour:00:00; a day beyond the month's end rolls over into the next
/// month. kInvalidTime for a year below 1900, a month outside 1..12, a day outside 1..31,
/// an hour outside 0..23, or when the conversion fails.
time_t ToTime(const CalDate& d, int hour);

/// The local calendar date of `t`; the all-zero date when it cannot be converted.
CalDate FromTime(time_t t);

/// The local date of the current time (platform/Clock.h).
CalDate Today();

/// Splits `t` into local date and time fields; false when the conversion fails.
bool ToSystemTime(time_t t, SystemTime& result);

// Day arithmetic through local time anchored at 12:00, with fast paths that only change the
// day field where the month cannot be left. A date the conversion rejects becomes all zero.
void NextDay(CalDate& d);
void PrevDay(CalDate& d);
void AddDays(CalDate& d, int n);      ///< n >= 0
void SubtractDays(CalDate& d, int n); ///< n >= 0
CalDate OffsetDate(const CalDate& d, int n);

/// Whole days from b to a: (ToTime(a, 14) - ToTime(b, 12)) / 86400, truncated toward zero.
/// The two-hour lead absorbs a daylight-saving shift, so for a not before b it is the number
/// of calendar days between them. 0 when either date cannot be converted.
int DaysBetween(const CalDate& a, const CalDate& b);

/// The same day as a QDate (an invalid one for a day no calendar has), and back.
QDate ToQDate(const CalDate& d);
CalDate ToCalDate(const QDate& date);

/// The locale's full month name and the day number, "March 5"; "???" for an invalid date.
QString FormatMonthDay(const CalDate& d);

/// The locale's short date format of d; "???" for an invalid date.
QString FormatShortDate(const CalDate& d);
