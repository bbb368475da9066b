#include "BenchSupport.h"
#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/CStatisticsDlg.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include <vector>

// Opening the history and statistics screens on the longest history the data file holds.
namespace {
// A record for every day of 27 years from 2008 (the data file's 10000 days), a five-day
// period every 29 days: about 350 cycles.
std::vector<DayRecord> DailyRecordsFrom2008()
{
    std::vector<DayRecord> records;
    CalDate day{1, 1, 2008};
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i) {
        DayRecord record;
        record.date = day;
        SetLevel(record, (i % 29) < 5 ? Heavy : None);
        records.push_back(record);
        NextDay(day);
    }
    return records;
}

// Puts the long history into the process-wide database for one benchmark and gives the
// earlier records back afterwards, so that benchmarks sharing the database are not changed.
class LongHistory
{
public:
    LongHistory() : m_previous(TheCycleDatabase().Records())
    {
        PrepareImageCache();
        SetCurrentTimeForTesting(ToTime(CalDate{12, 6, 2026}, 12));
        TheCycleDatabase().ReplaceRecords(DailyRecordsFrom2008());
    }
    ~LongHistory()
    {
        TheCycleDatabase().ReplaceRecords(m_previous);
    }
    LongHistory(const LongHistory&) = delete;
    LongHistory& operator=(const LongHistory&) = delete;

private:
    std::vector<DayRecord> m_previous;
};

// The history rows alone, as the model builds them (for comparison).
void BM_HistoryBuildCycleList(benchmark::State& state)
{
    LongHistory history;
    size_t rows = 0;
    for (auto _ : state) {
        std::vector<CycleRecord> list;
        TheCycleDatabase().BuildCycleList(list);
        rows = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_HistoryBuildCycleList)->Unit(benchmark::kMillisecond);

// Opening the history as a page of a 480 x 640 window, its rows built, scrolled to the newest
// and painted, and closing it again (goal: under 20 ms).
void BM_HistoryOpen(benchmark::State& state)
{
    LongHistory history;
    QWidget host;
    host.resize(480, 640);
    host.show();
    QCoreApplication::processEvents();
    int rows = 0;
    for (auto _ : state) {
        CHistoryDialog dialog;
        QTimer::singleShot(0, &dialog, [&dialog, &rows] {
            dialog.repaint(); // the page with its list, as the first frame shows it
            rows = dialog.List()->topLevelItemCount();
            dialog.reject();
        });
        dialog.RunAsPage(&host);
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_HistoryOpen)->Unit(benchmark::kMillisecond);

// The same for the statistics screen, whose figures walk the whole history.
void BM_StatisticsOpen(benchmark::State& state)
{
    LongHistory history;
    QWidget host;
    host.resize(480, 640);
    host.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        // The figures are computed afresh, as after every change of the records.
        state.PauseTiming();
        TheCycleDatabase().Recalculate();
        state.ResumeTiming();
        CStatisticsDlg dialog;
        QTimer::singleShot(0, &dialog, [&dialog] {
            dialog.repaint();
            dialog.reject();
        });
        dialog.RunAsPage(&host);
    }
}
BENCHMARK(BM_StatisticsOpen)->Unit(benchmark::kMillisecond);
} // namespace
