#pragma once

#include <ctime>

// The one place that reads the current time. Tests fix it with SetCurrentTimeForTesting so
// that Today() is whatever the test says.

/// The current time as seconds since the epoch (or the time a test has set).
time_t CurrentTime();

/// Makes CurrentTime() return `fixedTime` until the override is cleared.
void SetCurrentTimeForTesting(time_t fixedTime);

/// Returns CurrentTime() to the system clock.
void ClearCurrentTimeForTesting();
