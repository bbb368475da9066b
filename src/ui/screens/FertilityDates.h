#pragma once

#include "model/CalDate.h"

#include <QString>

class CycleDatabase;

// Date estimates of the ovulation screen, shared with its tests: the ovulation days counted
// from the current cycle's start, the fertile days around one, and the display form of a
// date that names the year only when it is not the current one.

/// Days from an ovulation to the next cycle start that the ovulation screen and the due date
/// calculator assume (the luteal phase setting only moves the conception chances).
inline constexpr int kAssumedLutealPhase = 14;

/// The fertile days around an ovulation: those the conception chance table gives a chance
/// above zero, five days before it to four days after it.
inline constexpr int kFertileDaysBefore = 5;
inline constexpr int kFertileDaysAfter = 4;

struct OvulationEstimate
{
    CalDate last;         ///< the latest estimated ovulation on or before today
    CalDate next;         ///< the one after it, one average cycle later
    CalDate fertileFirst; ///< the fertile days that hold today, else those of `next`
    CalDate fertileLast;
};

/// The ovulations of the cycles that follow the start of the current cycle (the bleeding run
/// at or before `today`) at `AverageCycleLength()` days apart, each kAssumedLutealPhase days
/// before the next start. False when there is no current cycle.
bool EstimateOvulations(CycleDatabase& database, const CalDate& today, OvulationEstimate& estimate);

/// FormatMonthDay of `date`, followed by the year when it is not the year of `today`:
/// "March 12" or "March 12, 2027".
QString FormatDateNearToday(const CalDate& date, const CalDate& today);
