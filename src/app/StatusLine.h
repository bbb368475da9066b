#pragma once

#include <QString>

/// One line about today from the cycle database: the cycle day and the next cycle start.
QString TodayStatusLine();
