#include "BenchSupport.h"
#include "model/CivilDays.h"
#include "model/CycleDatabase.h"

#include <benchmark/benchmark.h>

// Derivation and day queries of the cycle model. The floor is the least any derivation must do:
// clear the map and write each record's level once.
namespace {
// A five-day period every 26 to 32 days from 2008 to today: about 1200 records.
std::vector<DayRecord> RealisticHistory()
{
    return Periods(OffsetDate(kBenchToday, -10), 235, {26, 29, 32, 27, 30, 28, 31});
}

// The realistic history and one more record in `year`: one dated 9000 must derive as fast as
// one dated 2020.
std::vector<DayRecord> WithRecordIn(int year)
{
    std::vector<DayRecord> records = RealisticHistory();
    records.push_back(Day(CalDate{1, 1, static_cast<int16_t>(year)}, Heavy));
    return records;
}

// Goals: under 2 ms for the realistic history, under 20 ms for 10000 daily records.
void BM_Derive(benchmark::State& state, const std::vector<DayRecord>& records)
{
    CycleDatabase database;
    database.ReplaceRecords(records);
    for (auto _ : state)
        database.Derive();
}
BENCHMARK_CAPTURE(BM_Derive, Realistic, RealisticHistory())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Derive, TenThousandDaily, TenThousandDays())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Derive, RecordIn2020, WithRecordIn(2020))->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Derive, RecordIn9000, WithRecordIn(9000))->Unit(benchmark::kMicrosecond);

void BM_DeriveFloor(benchmark::State& state, const std::vector<DayRecord>& records)
{
    DayStatusMap map;
    for (auto _ : state) {
        map.Clear();
        for (const DayRecord& record : records)
            map.SetLevel(record.date, LevelOf(record));
        benchmark::DoNotOptimize(map.LastNonZeroDayNumber());
    }
}
BENCHMARK_CAPTURE(BM_DeriveFloor, Realistic, RealisticHistory())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DeriveFloor, TenThousandDaily, TenThousandDays())->Unit(benchmark::kMicrosecond);

// Goal: under 1 µs each.
void BM_GetDay(benchmark::State& state)
{
    CycleDatabase database;
    database.ReplaceRecords(RealisticHistory());
    std::vector<CalDate> dates;
    for (int i = 0; i < 1024; ++i)
        dates.push_back(CivilOffsetDate(CalDate{1, 1, 2008}, i * 977 % 7000));
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(database.GetDay(dates[i++ & 1023]));
}
BENCHMARK(BM_GetDay)->Unit(benchmark::kNanosecond);

void BM_ChanceToday(benchmark::State& state)
{
    CycleDatabase database;
    database.ReplaceRecords(RealisticHistory());
    for (auto _ : state)
        benchmark::DoNotOptimize(database.ChanceToday());
}
BENCHMARK(BM_ChanceToday)->Unit(benchmark::kNanosecond);
} // namespace
