#pragma once

#include "model/CalDate.h"

// Calendar arithmetic without the C library, for the derivation's inner loops.
//
// The public day arithmetic (CalDate.h) goes through local time at noon, so a daylight-saving
// shift never moves a date; its results are therefore the plain calendar's in every zone that
// does not skip a whole calendar day. The derivation walks the map day by day hundreds of
// thousands of times, where a call of mktime() per step would dominate, so it uses these
// pure functions instead. Their fast paths are the same as the public ones, so dates with a
// day beyond the month's end (a stored 31 February) are handled exactly as there.

/// Days since 1 January 1970 in the proleptic Gregorian calendar. A day beyond the month's end
/// counts on into the next month, as mktime() does. Month must be 1..12.
int DayNumberOf(const CalDate& d);

/// The date of a day number.
CalDate DateOfDayNumber(int dayNumber);

/// Days in the given month of the given year.
int DaysInMonth(int year, int month);

/// True when ToTime would accept the date (year >= 1900, month 1..12, day 1..31).
bool IsConvertible(const CalDate& d);

// The same results as NextDay, PrevDay, AddDays, OffsetDate and DaysBetween of CalDate.h.
void CivilNextDay(CalDate& d);
void CivilPrevDay(CalDate& d);
void CivilAddDays(CalDate& d, int n);
CalDate CivilOffsetDate(const CalDate& d, int n);
int CivilDaysBetween(const CalDate& a, const CalDate& b);
