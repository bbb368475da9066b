#include "BenchSupport.h"
#include "model/CycleDatabase.h"
#include "model/OvulationDates.h"
#include "ui/screens/COvuChartWnd.h"
#include "ui/screens/SummaryRows.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <vector>

namespace {

// A recorded period that began 16 days ago: the chart shows today's column and all its bars.
void PrepareChart()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    PrepareImageCache();
    std::vector<DayRecord> records;
    CalDate day = OffsetDate(Today(), -16);
    for (int k = 0; k < 5; ++k) {
        DayRecord record;
        record.date = day;
        SetLevel(record, Heavy);
        records.push_back(record);
        NextDay(day);
    }
    TheCycleDatabase().ReplaceRecords(std::move(records));
}

QSize SizeOf(const benchmark::State& state)
{
    return QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
}

// The whole chart painted into a window-sized image (goal: under 2 ms at 480 x 400 and
// under 8 ms at 3840 x 2160).
void BM_ConceptionChartPaint(benchmark::State& state)
{
    PrepareChart();
    QImage image(SizeOf(state), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(QApplication::font());
        COvuChartWnd::PaintChart(painter, image.size());
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ConceptionChartPaint)->Args({480, 400})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// The floor to compare with: one white fill of the same image.
void BM_ConceptionChartPlainFill(benchmark::State& state)
{
    QImage image(SizeOf(state), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ConceptionChartPlainFill)->Args({480, 400})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// The chart window's own repaint, as the event loop paints it into the window's buffer; run
// with QT_SCALE_FACTOR=2, 1920 x 1080 is 3840 x 2160 device pixels.
void BM_ConceptionChartRepaint(benchmark::State& state)
{
    PrepareChart();
    COvuChartWnd chart;
    chart.resize(SizeOf(state));
    chart.show();
    QCoreApplication::processEvents();
    for (auto _ : state)
        chart.repaint();
    state.counters["dpr"] = chart.devicePixelRatioF();
}
BENCHMARK(BM_ConceptionChartRepaint)
    ->Args({480, 400})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

// Fifteen years of 28-day cycles with a period of five days, the last one begun `daysAgo` days
// ago: 33 days is a period four days late.
void PrepareHistory(int daysAgo)
{
    std::vector<DayRecord> records;
    const CalDate last = OffsetDate(Today(), -daysAgo);
    for (int cycle = 15 * 13; cycle >= 0; --cycle) {
        for (int k = 0; k < 5; ++k) {
            DayRecord record;
            record.date = OffsetDate(last, -28 * cycle + k);
            SetLevel(record, Heavy);
            records.push_back(record);
        }
    }
    TheCycleDatabase().ReplaceRecords(std::move(records));
    TheCycleDatabase().AverageCycleLength();
}

// The summary's nine rows built again, as after a change of the day (goal: under 1 ms).
void BM_SummaryRebuild(benchmark::State& state)
{
    PrepareHistory(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildSummaryRows(TheCycleDatabase()));
}
BENCHMARK(BM_SummaryRebuild)->Arg(10)->Arg(33)->Unit(benchmark::kMicrosecond);

// The ovulation dates alone, the part of the rebuild every fertility screen shares.
void BM_OvulationDates(benchmark::State& state)
{
    PrepareHistory(static_cast<int>(state.range(0)));
    OvulationDates dates;
    for (auto _ : state)
        benchmark::DoNotOptimize(FindOvulations(TheCycleDatabase(), Today(), dates));
}
BENCHMARK(BM_OvulationDates)->Arg(10)->Arg(33)->Unit(benchmark::kMicrosecond);

} // namespace
