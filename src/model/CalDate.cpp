#include "model/CalDate.h"

#include "model/CivilDays.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"

#include <QDate>
#include <QLocale>

namespace {
constexpr int kSecondsPerDay = 86400;
constexpr int kShortestMonth = 28; // a day number up to 28 exists in every month

CalDate Shifted(const CalDate& d, int days)
{
    const time_t noon = ToTime(d, 12);
    if (noon == kInvalidTime)
        return CalDate{0, 0, 0};
    return FromTime(noon + static_cast<time_t>(days) * kSecondsPerDay);
}
} // namespace

bool IsYearInMapRange(int year)
{
    return year >= kMapFirstYear && year <= kMapLastYear;
}

bool IsStoredDateValid(uint16_t year, uint8_t month, uint8_t day)
{
    return AreDateFieldsInRange(year, month, day);
}

bool IsStorableDay(const CalDate& d)
{
    return AreDateFieldsInRange(d.year, d.month, d.day, kFirstStoredYear, kLastStoredYear) &&
           d.day <= DaysInMonth(d.year, d.month);
}

bool IsSameDate(const CalDate& a, const CalDate& b)
{
    return a.month == b.month && a.day == b.day && a.year == b.year;
}

bool IsBefore(const CalDate& a, const CalDate& b)
{
    if (a.year != b.year)
        return a.year < b.year;
    if (a.month != b.month)
        return a.month < b.month;
    return a.day < b.day;
}

bool IsBeforeOrSame(const CalDate& a, const CalDate& b)
{
    return IsBefore(a, b) || IsSameDate(a, b);
}

bool IsAfter(const CalDate& a, const CalDate& b)
{
    return IsBefore(b, a);
}

time_t ToTime(const CalDate& d, int hour)
{
    if (!AreDateFieldsInRange(d.year, d.month, d.day) || hour < 0 || hour >= 24)
        return kInvalidTime;
    time_t result = kInvalidTime;
    if (!MakeLocalTime(d.year, d.month, d.day, hour, result))
        return kInvalidTime;
    return result;
}

CalDate FromTime(time_t t)
{
    std::tm fields{};
    if (!BreakDownLocalTime(t, fields))
        return CalDate{0, 0, 0};
    const int year = fields.tm_year + 1900;
    if (year < INT16_MIN || year > INT16_MAX)
        return CalDate{0, 0, 0};
    return CalDate{static_cast<int16_t>(fields.tm_mon + 1), static_cast<int16_t>(fields.tm_mday),
                   static_cast<int16_t>(year)};
}

CalDate Today()
{
    return FromTime(CurrentTime());
}

bool ToSystemTime(time_t t, SystemTime& result)
{
    std::tm fields{};
    if (!BreakDownLocalTime(t, fields))
        return false;
    result = SystemTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_wday, fields.tm_mday,
                        fields.tm_hour,        fields.tm_min,     fields.tm_sec,  0};
    return true;
}

void NextDay(CalDate& d)
{
    if (d.day < kShortestMonth)
        ++d.day;
    else
        d = Shifted(d, 1);
}

void PrevDay(CalDate& d)
{
    if (d.day > 1)
        --d.day;
    else
        d = Shifted(d, -1);
}

void AddDays(CalDate& d, int n)
{
    if (d.day + n < kShortestMonth + 1)
        d.day = static_cast<int16_t>(d.day + n);
    else
        d = Shifted(d, n);
}

void SubtractDays(CalDate& d, int n)
{
    if (d.day - n > 0)
        d.day = static_cast<int16_t>(d.day - n);
    else
        d = Shifted(d, -n);
}

CalDate OffsetDate(const CalDate& d, int n)
{
    return Shifted(d, n);
}

int DaysBetween(const CalDate& a, const CalDate& b)
{
    const time_t later = ToTime(a, 14);
    const time_t earlier = ToTime(b, 12);
    if (later == kInvalidTime || earlier == kInvalidTime)
        return 0;
    // Integer division in C++ truncates toward zero, as the day count requires.
    return static_cast<int>((static_cast<int64_t>(later) - static_cast<int64_t>(earlier)) / kSecondsPerDay);
}

QString FormatMonthDay(const CalDate& d)
{
    if (!IsValidDate(d))
        return QStringLiteral("???");
    return QStringLiteral("%1 %2").arg(QLocale().monthName(d.month, QLocale::LongFormat)).arg(d.day);
}

QString FormatShortDate(const CalDate& d)
{
    if (!IsValidDate(d))
        return QStringLiteral("???");
    SystemTime fields{};
    if (!ToSystemTime(ToTime(d, 12), fields))
        return QStringLiteral("???");
    return QLocale().toString(QDate(fields.year, fields.month, fields.day), QLocale::ShortFormat);
}

QDate ToQDate(const CalDate& d)
{
    return QDate(d.year, d.month, d.day);
}

CalDate ToCalDate(const QDate& date)
{
    return CalDate{static_cast<int16_t>(date.month()), static_cast<int16_t>(date.day()),
                   static_cast<int16_t>(date.year())};
}
