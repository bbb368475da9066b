#pragma once

#include "model/CalDate.h"

class CycleDatabase;

// The one place that dates ovulations. Every screen that names an ovulation or the fertile
// days (the summary, the ovulation screen, the conception chart) reads them here, so that
// they agree with each other and with the cycle starts the calendar shows.

/// The fertile days around an ovulation: those the conception chance table gives a chance
/// above zero, five days before it to four days after it.
inline constexpr int kFertileDaysBefore = 5;
inline constexpr int kFertileDaysAfter = 4;

struct OvulationDates
{
    CalDate cycleStart;     ///< start of the current cycle (the bleeding run at or before today)
    CalDate cycleOvulation; ///< the current cycle's ovulation: its end minus the luteal phase
    CalDate last;           ///< the latest ovulation before today
    CalDate next;           ///< the first ovulation not before today
    CalDate fertileFirst;   ///< the fertile days that hold today, else those of `next`
    CalDate fertileLast;
};

/// The ovulation of the cycle that ends where the cycle starting at `nextCycleStart` begins:
/// the luteal phase setting before that start.
CalDate OvulationBefore(CycleDatabase& database, const CalDate& nextCycleStart);

/// Each ovulation lies the luteal phase setting before the start of the cycle that follows
/// it. The starts are those of the day-status map, the calendar's: the recorded periods, the
/// predicted ones and a late period expected from tomorrow. Where the map holds no next start
/// within reach, one average cycle after the last start stands in. False when there is no
/// current cycle.
bool FindOvulations(CycleDatabase& database, const CalDate& today, OvulationDates& dates);
