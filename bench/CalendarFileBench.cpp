#include "model/CycleDatabase.h"
#include "settings/CalendarSettings.h"
#include "storage/ICalendarWriter.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QTemporaryDir>

#include <vector>

namespace {
// Ten years of periods (cycles of 26 to 30 days, five bleeding days) up to two weeks ago.
void PrepareHistory()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    std::vector<DayRecord> records;
    CalDate start = OffsetDate(Today(), -14);
    const int lengths[] = {28, 26, 30, 27, 29};
    for (int cycle = 0; cycle < 130; ++cycle) {
        CalDate day = start;
        for (int k = 0; k < 5; ++k) {
            DayRecord record;
            record.date = day;
            SetLevel(record, k < 2 ? Heavy : Medium);
            records.push_back(record);
            NextDay(day);
        }
        start = OffsetDate(start, -lengths[cycle % 5]);
    }
    TheCycleDatabase().ReplaceRecords(std::move(records));
}

CalendarSettings TwoYears()
{
    CalendarSettings settings;
    settings.months = CalendarSettings::kMaxMonths;
    return settings;
}

// What the live file costs after a save: the events of 24 months collected, formatted and
// written atomically (goal: under 5 ms).
void BM_CalendarFile24Months(benchmark::State& state)
{
    PrepareHistory();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("predictions.ics"));
    const CalendarSettings settings = TwoYears();
    int count = 0;
    for (auto _ : state) {
        QString error;
        ICalendarWriter(TheCycleDatabase()).Write(path, settings, count, error);
    }
    state.counters["events"] = count;
}
BENCHMARK(BM_CalendarFile24Months)->Unit(benchmark::kMillisecond);

// The same without the file: collecting the events and formatting them.
void BM_CalendarText24Months(benchmark::State& state)
{
    PrepareHistory();
    const CalendarSettings settings = TwoYears();
    const QDateTime stamp = QDateTime::currentDateTimeUtc();
    for (auto _ : state) {
        const std::vector<CalendarEvent> events = ICalendarWriter(TheCycleDatabase()).CollectEvents(settings, Today());
        benchmark::DoNotOptimize(ICalendarWriter::Format(events, stamp, false));
    }
}
BENCHMARK(BM_CalendarText24Months)->Unit(benchmark::kMillisecond);

// What every change costs already, to compare with: the data file's save of the same days.
void BM_CalendarFileCompareSave(benchmark::State& state)
{
    PrepareHistory();
    for (auto _ : state)
        benchmark::DoNotOptimize(TheCycleDatabase().Save());
}
BENCHMARK(BM_CalendarFileCompareSave)->Unit(benchmark::kMillisecond);
} // namespace
