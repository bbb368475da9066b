#pragma once

#include "model/CalDate.h"

#include <cstdint>

/// One row of the cycle history.
struct CycleRecord
{
    CalDate firstDay{0, 0, 0};
    int32_t cycleLength = 0;  ///< days from this start to the next start
    int32_t bleedingDays = 0; ///< 1-based position of the last bleeding day within 20 days, 0 if none
};
