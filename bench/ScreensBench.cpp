#include "BenchSupport.h"
#include "model/CycleDatabase.h"
#include "ui/screens/CCalPainter.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/COvuChartWnd.h"
#include "ui/screens/MonthItem.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/screens/SummaryRows.h"
#include "ui/toolkit/CScrollPanel.h"

#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTreeWidget>

#include <memory>

namespace {
// Two years of periods: what a user has after a while.
void UseTwoYears()
{
    TheCycleDatabase().ReplaceRecords(Periods(OffsetDate(Today(), -10), 26, {27, 28, 29}));
    TheMonthRenderer().Prepare();
}

std::unique_ptr<CCalPainter> MakePainter(QSize size)
{
    UseTwoYears();
    auto painter = std::make_unique<CCalPainter>();
    painter->resize(size);
    painter->show();
    QCoreApplication::processEvents();
    return painter;
}

// One month page at the size and zoom of a view of 480 x 640 (goal: under 3 ms), and of one
// of 3840 x 2160, where the pages are larger.
void BM_CalendarRenderPage(benchmark::State& state)
{
    auto painter = MakePainter(SizeArgs(state));
    MonthItem page(Today().month, Today().year);
    for (auto _ : state)
        TheMonthRenderer().RenderPage(page, painter->PageSize(), painter->Panel(), painter->Layout().zoom);
    state.counters["zoom"] = painter->Layout().zoom;
}
BENCHMARK(BM_CalendarRenderPage)->Args({480, 640})->Args({3840, 2160});

// Opening the calendar as a page, every page rendered and the first picture painted, and
// closing it again (goal: under 50 ms).
void BM_CalendarOpen(benchmark::State& state)
{
    UseTwoYears();
    PageHost host;
    int pages = 0;
    for (auto _ : state) {
        CCalendarDlg calendar;
        host.OpenOnce(calendar, [&] { pages = calendar.Painter()->ItemCount(); });
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_CalendarOpen);

// A scroll step of one page height that shifts the strip by a row of months (one month in a
// single column), with the paint of the view that follows; back to the year 2000 untimed near
// the strip's end. Goal: under 5 ms at 480 x 640; within a 16 ms frame at 1920 x 1080, at
// 3840 x 2160 and, run with QT_SCALE_FACTOR=2, at 3840 x 2160 device pixels. With `read`, a
// screen reader then asks for the days in view and the name of the one under the cursor: the
// tree is built only when asked for, so the plain step must not slow down.
void BM_CalendarShiftStep(benchmark::State& state, bool read)
{
    auto painter = MakePainter(SizeArgs(state));
    if (read)
        painter->SetCursorDate(Today(), true);
    for (auto _ : state) {
        if (painter->FirstYear() >= 2095) {
            state.PauseTiming();
            painter->ScrollToMonth(1, 2000);
            state.ResumeTiming();
        }
        painter->ScrollBy(-painter->PageHeight());
        QCoreApplication::processEvents();
        if (read) {
            QAccessibleInterface* calendar = QAccessible::queryAccessibleInterface(painter.get());
            benchmark::DoNotOptimize(calendar->childCount());
            if (QAccessibleInterface* focused = calendar->focusChild())
                benchmark::DoNotOptimize(focused->text(QAccessible::Name));
        }
    }
    state.counters["dpr"] = painter->devicePixelRatioF();
}
BENCHMARK_CAPTURE(BM_CalendarShiftStep, Plain, false)->Args({480, 640})->Args({1920, 1080})->Args({3840, 2160});
BENCHMARK_CAPTURE(BM_CalendarShiftStep, Read, true)->Args({480, 640})->Args({1920, 1080});

// Opening the history as a page on the longest history the data file holds (about 345 cycles),
// its rows built, scrolled to the newest and painted, and closing it again (goal: under 20 ms).
void BM_HistoryOpen(benchmark::State& state)
{
    TheCycleDatabase().ReplaceRecords(TenThousandDays());
    PageHost host;
    int rows = 0;
    for (auto _ : state) {
        CHistoryDialog dialog;
        host.OpenOnce(dialog, [&] { rows = dialog.List()->topLevelItemCount(); });
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_HistoryOpen);

// The whole conception chart painted into a window-sized image, on a period that began 16 days
// ago, so that today's column and all bars show (goal: under 2 ms at 480 x 400 and under 8 ms at
// 3840 x 2160); the floor to compare with is one white fill of the same image.
void BM_ConceptionChart(benchmark::State& state, bool plainFill)
{
    TheCycleDatabase().ReplaceRecords(Periods(OffsetDate(Today(), -16), 1, {28}));
    QImage image(SizeArgs(state), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setFont(QApplication::font());
        if (plainFill)
            painter.fillRect(image.rect(), Qt::white);
        else
            COvuChartWnd::PaintChart(painter, image.size());
    }
}
BENCHMARK_CAPTURE(BM_ConceptionChart, Paint, false)->Args({480, 400})->Args({3840, 2160});
BENCHMARK_CAPTURE(BM_ConceptionChart, PlainFill, true)->Args({480, 400})->Args({3840, 2160});

// The summary's nine rows built again, as after a change of the day, on fifteen years of 28-day
// cycles whose last one began the argument's days ago: 33 is a period four days late (goal:
// under 1 ms).
void BM_SummaryRebuild(benchmark::State& state)
{
    TheCycleDatabase().ReplaceRecords(Periods(OffsetDate(Today(), -static_cast<int>(state.range(0))), 196, {28}));
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildSummaryRows(TheCycleDatabase()));
}
BENCHMARK(BM_SummaryRebuild)->Arg(10)->Arg(33)->Unit(benchmark::kMicrosecond);
} // namespace
