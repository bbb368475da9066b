#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "platform/Clock.h"

#include <benchmark/benchmark.h>

#include <random>

// Derivation and day queries of the cycle model. The floor is the least any derivation must do:
// clear the map and write each record's level once.
namespace {
void FixToday()
{
    SetCurrentTimeForTesting(ToTime(CalDate{12, 6, 2026}, 12));
}

DayRecord Record(const CalDate& date, int level)
{
    DayRecord record;
    record.date = date;
    SetLevel(record, level);
    return record;
}

// One recorded period of five days every 26 to 32 days from 2008 to today: about 1200 records.
std::vector<DayRecord> RealisticHistory()
{
    std::mt19937 random(42);
    std::vector<DayRecord> records;
    const CalDate today = CalDate{12, 6, 2026};
    for (CalDate start{1, 3, 2008}; IsBefore(start, today); start = CivilOffsetDate(start, 26 + random() % 7)) {
        for (int d = 0; d < 5; ++d)
            records.push_back(Record(CivilOffsetDate(start, d), d < 2 ? Heavy : d < 4 ? Medium : Slight));
    }
    return records;
}

// A record every day across 27 years, with a five-day period every 29 days.
std::vector<DayRecord> DailyHistory()
{
    std::vector<DayRecord> records;
    CalDate day{1, 1, 2000};
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i) {
        records.push_back(Record(day, (i % 29) < 5 ? Heavy : None));
        CivilNextDay(day);
    }
    return records;
}

std::unique_ptr<CycleDatabase> DatabaseWith(std::vector<DayRecord> records)
{
    FixToday();
    auto database = std::make_unique<CycleDatabase>();
    database->ReplaceRecords(std::move(records));
    return database;
}

void DeriveBenchmark(benchmark::State& state, const std::vector<DayRecord>& records)
{
    auto database = DatabaseWith(records);
    for (auto _ : state) {
        database->Derive();
        benchmark::DoNotOptimize(database->Map().LastNonZeroDayNumber());
    }
    state.counters["records"] = static_cast<double>(records.size());
}

void FloorBenchmark(benchmark::State& state, const std::vector<DayRecord>& records)
{
    DayStatusMap map;
    for (auto _ : state) {
        map.Clear();
        for (const DayRecord& record : records)
            map.SetLevel(record.date, LevelOf(record));
        benchmark::DoNotOptimize(map.LastNonZeroDayNumber());
    }
}

void BM_DeriveRealistic(benchmark::State& state)
{
    DeriveBenchmark(state, RealisticHistory());
}
BENCHMARK(BM_DeriveRealistic)->Unit(benchmark::kMicrosecond);

void BM_FloorRealistic(benchmark::State& state)
{
    FloorBenchmark(state, RealisticHistory());
}
BENCHMARK(BM_FloorRealistic)->Unit(benchmark::kMicrosecond);

void BM_DeriveTenThousandDaily(benchmark::State& state)
{
    DeriveBenchmark(state, DailyHistory());
}
BENCHMARK(BM_DeriveTenThousandDaily)->Unit(benchmark::kMicrosecond);

void BM_FloorTenThousandDaily(benchmark::State& state)
{
    FloorBenchmark(state, DailyHistory());
}
BENCHMARK(BM_FloorTenThousandDaily)->Unit(benchmark::kMicrosecond);

// A record dated 9000 must derive as fast as one dated 2020.
void BM_DeriveWithFarRecord(benchmark::State& state)
{
    std::vector<DayRecord> records = RealisticHistory();
    records.push_back(Record(CalDate{1, 1, static_cast<int16_t>(state.range(0))}, Heavy));
    DeriveBenchmark(state, records);
}
BENCHMARK(BM_DeriveWithFarRecord)->Arg(2020)->Arg(9000)->Unit(benchmark::kMicrosecond);

void BM_GetDay(benchmark::State& state)
{
    auto database = DatabaseWith(RealisticHistory());
    std::mt19937 random(7);
    std::vector<CalDate> dates;
    for (int i = 0; i < 1024; ++i)
        dates.push_back(CivilOffsetDate(CalDate{1, 1, 2008}, static_cast<int>(random() % 7000)));
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(database->GetDay(dates[i++ & 1023]));
    }
}
BENCHMARK(BM_GetDay);

void BM_ChanceToday(benchmark::State& state)
{
    auto database = DatabaseWith(RealisticHistory());
    for (auto _ : state) {
        benchmark::DoNotOptimize(database->ChanceToday());
    }
}
BENCHMARK(BM_ChanceToday);
} // namespace
