#pragma once

#include <ctime>

// Local time conversion through the C library, so that the TZ environment variable decides
// the zone. Both report failure instead of returning a half-filled result.

/// mktime() of the given broken-down local time with the daylight-saving state left to the
/// zone (tm_isdst = -1); fields beyond their range roll over. False when it cannot convert.
bool MakeLocalTime(int year, int month, int day, int hour, time_t& result);

/// localtime_r() of `time`. False when the time cannot be converted.
bool BreakDownLocalTime(time_t time, std::tm& result);
