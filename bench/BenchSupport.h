#pragma once

#include "DayRecords.h"

#include <benchmark/benchmark.h>

#include <QWidget>

#include <functional>
#include <vector>

class CBlackDialog;

/// The day every benchmark runs on (BenchMain.cpp fixes the clock at its noon).
inline constexpr CalDate kBenchToday{12, 6, 2026};

/// `cycles` five-day periods (two heavy, two medium and a slight day, a note on the first), the
/// last one beginning on `lastStart`, the cycles before it as long as `lengths` says in turn.
std::vector<DayRecord> Periods(const CalDate& lastStart, int cycles, const std::vector<int>& lengths);

/// The most the data file holds: a record for each of 10000 days from 1 January 2008, the first
/// day the program shows, a five-day period every 29 days and, if asked, a 100-character note on
/// every fourth day.
std::vector<DayRecord> TenThousandDays(bool notes = false);

/// The benchmark's first two arguments as a window size.
QSize SizeArgs(const benchmark::State& state);

/// A shown 480 x 640 window that opens screens as its pages.
class PageHost : public QWidget
{
public:
    PageHost();
    /// Runs `page` until its first paint, lets `onShown` read it, and closes it.
    void OpenOnce(CBlackDialog& page, const std::function<void()>& onShown);
};
