#include "BenchSupport.h"
#include "model/CycleDatabase.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ImageCache.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <memory>

namespace {
// The main window's nine summary rows in a 480 x 640 view, shown so that repaint really paints.
std::unique_ptr<CSummaryPanel> MakeSummary()
{
    TheCycleDatabase().ReplaceRecords(Periods(OffsetDate(Today(), -10), 26, {28}));
    auto summary = std::make_unique<CSummaryPanel>();
    summary->SetIntroSlide(false);
    summary->resize(480, 640);
    summary->show();
    summary->Create();
    QCoreApplication::processEvents();
    return summary;
}

// Rendering the back buffer of the nine rows (goal: under 5 ms).
void BM_RenderNineRows(benchmark::State& state)
{
    auto summary = MakeSummary();
    for (auto _ : state)
        summary->Panel()->Render();
}
BENCHMARK(BM_RenderNineRows);

// One glide step: move the panel and repaint the view (goal: under 2 ms).
void BM_GlideStep(benchmark::State& state)
{
    auto summary = MakeSummary();
    int direction = -3;
    for (auto _ : state) {
        if (summary->Offset() < -300 || summary->Offset() > 0)
            direction = -direction;
        summary->ScrollBy(direction);
        summary->repaint();
    }
}
BENCHMARK(BM_GlideStep);

// Building the image cache: fonts, metrics, themes and the ten images (goal: under 50 ms).
void BM_BuildImageCache(benchmark::State& state)
{
    for (auto _ : state) {
        ImageCache cache;
        cache.SetFontFamily(QStringLiteral("DejaVu Sans"));
        if (!cache.LoadImages(ImageCache::StartupImageNames()))
            state.SkipWithError("images did not load");
    }
}
BENCHMARK(BM_BuildImageCache);
} // namespace
