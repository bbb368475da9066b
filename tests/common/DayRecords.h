#pragma once

#include "model/CalDate.h"
#include "model/DayRecord.h"

#include <QString>

// Record builders shared by the tests and the benchmarks (no test framework needed).

/// A day record of `level` with an optional note (the has-note bit follows the note).
DayRecord Day(const CalDate& date, int level, const QString& note = QString());
