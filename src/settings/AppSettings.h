#pragma once

#include "model/CalDate.h"

#include <cstdint>

/// The process-wide settings object: the reminder switch and bookkeeping, the cached average
/// cycle length for background runs and the selected colour theme.
class AppSettings
{
public:
    AppSettings();

    bool alertEnabled;
    int32_t alertDaysInAdvance;
    bool interactiveRun;
    CalDate lastAlertDate;
    uint32_t cachedCycleLen;
    int32_t selectedTheme;
};

/// The process-wide settings object.
AppSettings& TheAppSettings();
