#pragma once

#include "model/CalDate.h"

#include <QString>

/// FormatMonthDay of `date`, followed by the year when it is not the year of `today`:
/// "March 12" or "March 12, 2027".
QString FormatDateNearToday(const CalDate& date, const CalDate& today);
