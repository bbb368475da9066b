#include "model/OvulationDates.h"

#include "model/CycleDatabase.h"

namespace {
// Far more cycles than any start within the search of FindPeriodStart can need.
constexpr int kMostCyclesToWalk = 64;
// How far a start is looked for beyond the reach of FindNextPeriodStart: the longest cycle
// the settings allow.
constexpr int kLongestSearch = 100;

// The start of the cycle after the one starting at `start`.
CalDate NextCycleStart(CycleDatabase& database, const CalDate& start, int average)
{
    CalDate next = start;
    if (database.FindNextPeriodStart(next) && IsAfter(next, start))
        return next;
    // A cycle longer than that search (a late period expected from tomorrow, say): the first
    // bleeding day after a dry one.
    bool dry = false;
    CalDate day = start;
    for (int i = 0; i < kLongestSearch; ++i) {
        NextDay(day);
        const bool bleeding = database.IsBleedingDay(day);
        if (bleeding && dry)
            return day;
        dry = dry || !bleeding;
    }
    return OffsetDate(start, average);
}
} // namespace

CalDate OvulationBefore(CycleDatabase& database, const CalDate& nextCycleStart)
{
    return OffsetDate(nextCycleStart, -database.LutealPhaseLen());
}

bool FindOvulations(CycleDatabase& database, const CalDate& today, OvulationDates& dates)
{
    CalDate start = today;
    if (!database.FindPeriodStart(start))
        return false;
    const int average = database.AverageCycleLength();
    if (average < 1)
        return false;
    dates = OvulationDates();
    dates.cycleStart = start;
    // The ovulation that ended the cycle before this one.
    dates.last = OvulationBefore(database, start);
    bool found = false;
    for (int cycle = 0; cycle < kMostCyclesToWalk && IsValidDate(start); ++cycle) {
        const CalDate end = NextCycleStart(database, start, average);
        const CalDate ovulation = OvulationBefore(database, end);
        if (cycle == 0)
            dates.cycleOvulation = ovulation;
        if (!IsBefore(ovulation, today)) {
            dates.next = ovulation;
            found = true;
            break;
        }
        dates.last = ovulation;
        start = end;
    }
    if (!found || !IsValidDate(dates.last) || !IsValidDate(dates.next))
        return false;
    // While the last ovulation's fertile days still last, they are the ones that matter.
    const CalDate lastFertileEnd = OffsetDate(dates.last, kFertileDaysAfter);
    const CalDate& around = IsBeforeOrSame(today, lastFertileEnd) ? dates.last : dates.next;
    dates.fertileFirst = OffsetDate(around, -kFertileDaysBefore);
    dates.fertileLast = OffsetDate(around, kFertileDaysAfter);
    return true;
}
