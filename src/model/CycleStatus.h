#pragma once

#include "model/CycleDatabase.h"
#include "model/CycleRecord.h"

#include <vector>

/// What a row of the cycle history rests on.
enum class CycleStatus {
    Recorded,  ///< she recorded bleeding in its period
    Predicted, ///< no bleeding recorded in its period: its start is the model's prediction
    Current,   ///< the last row, the cycle she is in
};

/// The status of each row of `cycles` (BuildCycleList's rows, oldest first).
std::vector<CycleStatus> CycleStatuses(const CycleDatabase& database, const std::vector<CycleRecord>& cycles);

/// Whether she recorded bleeding on a day of the bleeding run that starts at `start`.
bool HasRecordedBleeding(const CycleDatabase& database, const CalDate& start);

/// "recorded", "predicted" or "current".
QString CycleStatusName(CycleStatus status);
