#include "ui/screens/FertilityDates.h"

#include "model/CycleDatabase.h"

#include <cstdint>

namespace {
// Whole days from `from` to `to`, negative when `to` is earlier.
int SignedDaysBetween(const CalDate& to, const CalDate& from)
{
    // DaysBetween truncates toward zero and so is only exact for a later first argument.
    return IsBefore(to, from) ? -DaysBetween(from, to) : DaysBetween(to, from);
}

// The largest k with k * step <= days (step > 0), rounding toward minus infinity.
int64_t FloorDivide(int64_t days, int64_t step)
{
    const int64_t quotient = days / step;
    return (days % step != 0 && days < 0) ? quotient - 1 : quotient;
}
} // namespace

bool EstimateOvulations(CycleDatabase& database, const CalDate& today, OvulationEstimate& estimate)
{
    CalDate start = today;
    if (!database.FindPeriodStart(start))
        return false;
    const int average = database.AverageCycleLength();
    if (average < 1)
        return false;
    // The first ovulation may fall before the cycle start when the average is shorter than
    // the luteal phase: every step is a signed number of days.
    const CalDate first = OffsetDate(start, average - kAssumedLutealPhase);
    const int64_t cycles = FloorDivide(SignedDaysBetween(today, first), average);
    estimate.last = OffsetDate(first, static_cast<int>(cycles * average));
    estimate.next = OffsetDate(estimate.last, average);
    // While the last ovulation's fertile days still last, they are the ones that matter.
    const CalDate lastFertileEnd = OffsetDate(estimate.last, kFertileDaysAfter);
    const CalDate& around = IsBeforeOrSame(today, lastFertileEnd) ? estimate.last : estimate.next;
    estimate.fertileFirst = OffsetDate(around, -kFertileDaysBefore);
    estimate.fertileLast = OffsetDate(around, kFertileDaysAfter);
    return IsValidDate(estimate.last) && IsValidDate(estimate.next);
}

QString FormatDateNearToday(const CalDate& date, const CalDate& today)
{
    const QString monthDay = FormatMonthDay(date);
    if (!IsValidDate(date) || date.year == today.year)
        return monthDay;
    return QStringLiteral("%1, %2").arg(monthDay).arg(date.year);
}
