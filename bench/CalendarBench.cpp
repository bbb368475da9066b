#include "BenchSupport.h"
#include "model/CycleDatabase.h"
#include "resources/CompiledResources.h"
#include "resources/ResourceIds.h"
#include "ui/screens/CCalPainter.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/MonthItem.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ImageCache.h"

#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

namespace {

// Two years of periods, every fourth day of them with a note: what a user has after a while.
void PrepareCalendar()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    PrepareImageCache();
    std::vector<DayRecord> records;
    CalDate start = Today();
    SubtractDays(start, 2 * 365);
    for (int cycle = 0; cycle < 26; ++cycle) {
        CalDate day = start;
        for (int k = 0; k < 5; ++k) {
            DayRecord record;
            record.date = day;
            SetLevel(record, k < 2 ? Heavy : Medium);
            if (k % 4 == 0)
                SetNote(record, QStringLiteral("Cramps in the morning, better after a walk."));
            records.push_back(record);
            NextDay(day);
        }
        AddDays(start, 27 + cycle % 3);
    }
    TheCycleDatabase().ReplaceRecords(std::move(records));
    TheMonthRenderer().Prepare();
}

std::unique_ptr<CCalPainter> MakePainter(QSize size)
{
    PrepareCalendar();
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
    auto painter = MakePainter(QSize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    MonthItem page(Today().month, Today().year);
    for (auto _ : state) {
        TheMonthRenderer().RenderPage(page, painter->PageSize(), painter->Panel(), painter->Layout().zoom);
        benchmark::DoNotOptimize(page.page.constBits());
    }
    state.counters["zoom"] = painter->Layout().zoom;
}
BENCHMARK(BM_CalendarRenderPage)->Args({480, 640})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

// Opening the calendar as a page of a 480 x 640 window, every page rendered and the first
// picture painted, and closing it again (goal: under 50 ms).
void BM_CalendarOpen(benchmark::State& state)
{
    PrepareCalendar();
    QWidget host;
    host.resize(480, 640);
    host.show();
    QCoreApplication::processEvents();
    int pages = 0;
    for (auto _ : state) {
        CCalendarDlg calendar;
        QTimer::singleShot(0, &calendar, [&calendar, &pages] {
            calendar.repaint();
            pages = calendar.Painter()->ItemCount();
            calendar.OnCommand(kCmdCalendarBack);
        });
        calendar.RunAsPage(&host);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_CalendarOpen)->Unit(benchmark::kMillisecond);

// What a screen reader asks of the calendar after a scroll: the days in view and the name of
// the one under the keyboard's cursor.
void ReadAsScreenReader(CCalPainter& painter, benchmark::State& state)
{
    QAccessibleInterface* calendar = QAccessible::queryAccessibleInterface(&painter);
    const int children = calendar->childCount();
    QString name;
    if (QAccessibleInterface* focused = calendar->focusChild())
        name = focused->text(QAccessible::Name);
    benchmark::DoNotOptimize(name);
    state.counters["readDays"] = children;
}

// One page height further back in time, back to the year 2000 untimed near the strip's end,
// and the frame: the panel's move and the shifted pages painted as the event loop paints them.
void ShiftOnePage(CCalPainter& painter, benchmark::State& state)
{
    if (painter.FirstYear() >= 2095) {
        state.PauseTiming();
        painter.ScrollToMonth(1, 2000);
        state.ResumeTiming();
    }
    painter.ScrollBy(-painter.PageHeight());
    QCoreApplication::processEvents();
}

// A scroll step of one page height that shifts the strip by a row of months (one month in a
// single column), with the paint of the view that follows (goal: under 5 ms at 480 x 640; within
// a 16 ms frame at 1920 x 1080, at 3840 x 2160 and, run with QT_SCALE_FACTOR=2, at 3840 x 2160
// device pixels).
void BM_CalendarShiftStep(benchmark::State& state)
{
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto painter = MakePainter(size);
    for (auto _ : state)
        ShiftOnePage(*painter, state);
    state.counters["pages"] = painter->ItemCount();
    state.counters["dpr"] = painter->devicePixelRatioF();
}
BENCHMARK(BM_CalendarShiftStep)
    ->Args({480, 640})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

// The same step with a screen reader reading the days in view after it (compare with the
// step above at the same size: the tree is built only when asked for).
void BM_CalendarShiftStepRead(benchmark::State& state)
{
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto painter = MakePainter(size);
    painter->SetCursorDate(Today(), true);
    for (auto _ : state) {
        ShiftOnePage(*painter, state);
        ReadAsScreenReader(*painter, state);
    }
}
BENCHMARK(BM_CalendarShiftStepRead)->Args({480, 640})->Args({1920, 1080})->Unit(benchmark::kMillisecond);

// A drag step that moves the strip by a few pixels and shifts a month on the way, as a
// glide does when it crosses a page; the step back that follows is not timed.
void BM_CalendarMovingShiftStep(benchmark::State& state)
{
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto painter = MakePainter(size);
    const int h = painter->PageHeight();
    for (auto _ : state) {
        painter->ScrollBy(-h - 7);
        QCoreApplication::processEvents();
        state.PauseTiming();
        painter->ScrollBy(7);
        QCoreApplication::processEvents();
        if (painter->FirstYear() >= 2095)
            painter->ScrollToMonth(1, 2000);
        state.ResumeTiming();
    }
    state.counters["dpr"] = painter->devicePixelRatioF();
}
BENCHMARK(BM_CalendarMovingShiftStep)
    ->Args({480, 640})
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond);

// A drag step of a few pixels that shifts no month: only the panel moves (for comparison).
void BM_CalendarDragStep(benchmark::State& state)
{
    const QSize size(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    auto painter = MakePainter(size);
    int step = 7;
    for (auto _ : state) {
        painter->ScrollBy(step);
        step = -step;
        QCoreApplication::processEvents();
    }
    state.counters["dpr"] = painter->devicePixelRatioF();
}
BENCHMARK(BM_CalendarDragStep)->Args({480, 640})->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

} // namespace
