#include "platform/LocalTime.h"

bool MakeLocalTime(int year, int month, int day, int hour, time_t& result)
{
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_isdst = -1;
    // mktime returns -1 both on failure and for the second before the epoch; a failed call
    // leaves tm_wday untouched, a successful one always sets it.
    fields.tm_wday = -1;
    const time_t converted = std::mktime(&fields);
    if (converted == static_cast<time_t>(-1) && fields.tm_wday == -1)
        return false;
    result = converted;
    return true;
}

bool BreakDownLocalTime(time_t time, std::tm& result)
{
    return localtime_r(&time, &result) != nullptr;
}
