#pragma once

#include "TestSupport.h"

#include "model/CycleDatabase.h"

#include <initializer_list>
#include <unistd.h>
#include <vector>

// Builders for day records, a date comparison that names both dates, and a guard that ends a
// test process that hangs.

inline ::testing::AssertionResult SameDate(const CalDate& actual, const CalDate& expected)
{
    if (IsSameDate(actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.year << "-" << actual.month << "-" << actual.day << " instead of "
                                         << expected.year << "-" << expected.month << "-" << expected.day;
}

/// Records `days` consecutive days from `first`, each of `level`.
inline void AddRun(std::vector<DayRecord>& records, CalDate first, int days, int level = Medium)
{
    for (int i = 0; i < days; ++i)
        records.push_back(Day(OffsetDate(first, i), level));
}

/// Kills the test process when it runs longer than `seconds`: derivation must always end.
class ProcessTimeLimit
{
public:
    explicit ProcessTimeLimit(unsigned seconds)
    {
        alarm(seconds);
    }
    ~ProcessTimeLimit()
    {
        alarm(0);
    }
};
