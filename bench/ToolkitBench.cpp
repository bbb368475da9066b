#include "BenchSupport.h"
#include "resources/CompiledResources.h"
#include "ui/toolkit/CFingerScroller.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ImageCache.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFont>

#include <memory>

namespace {

class BenchScroller : public CFingerScroller
{
public:
    explicit BenchScroller(int rows) : m_rows(rows)
    {
    }
    void Populate() override
    {
        ClearItems();
        for (int i = 0; i < m_rows; ++i) {
            AddItem(std::make_unique<PanelItem>(QStringLiteral("Next Cycle: in %1 Days").arg(i),
                                                QStringLiteral("Next cycle starts on December %1").arg(i % 28 + 1),
                                                i % 5));
        }
    }

private:
    int m_rows;
};

void PrepareImages()
{
    PrepareImageCache();
}

std::unique_ptr<BenchScroller> MakeScroller(int rows)
{
    PrepareImages();
    auto scroller = std::make_unique<BenchScroller>(rows);
    scroller->SetIntroSlide(false);
    scroller->resize(480, 640);
    scroller->show();
    scroller->Create();
    // Let the window be exposed, so that repaint really paints.
    QCoreApplication::processEvents();
    return scroller;
}

// Rendering the back buffer of the nine summary rows at 480 x 640 (goal: under 5 ms).
void BM_RenderNineRows(benchmark::State& state)
{
    auto scroller = MakeScroller(9);
    for (auto _ : state) {
        scroller->Panel()->Render();
        benchmark::DoNotOptimize(scroller->Panel()->BackBuffer().constBits());
    }
}
BENCHMARK(BM_RenderNineRows)->Unit(benchmark::kMillisecond);

// A list of a few hundred rows, rendered whole.
void BM_RenderThreeHundredRows(benchmark::State& state)
{
    auto scroller = MakeScroller(300);
    for (auto _ : state) {
        scroller->Panel()->Render();
        benchmark::DoNotOptimize(scroller->Panel()->BackBuffer().constBits());
    }
}
BENCHMARK(BM_RenderThreeHundredRows)->Unit(benchmark::kMillisecond);

// One glide step: move the panel and repaint the viewport (goal: under 2 ms).
void BM_GlideStep(benchmark::State& state)
{
    auto scroller = MakeScroller(30);
    int direction = -3;
    for (auto _ : state) {
        if (scroller->Offset() < -300 || scroller->Offset() > 0)
            direction = -direction;
        scroller->ScrollBy(direction);
        scroller->repaint();
        benchmark::DoNotOptimize(scroller->Panel()->y());
    }
}
BENCHMARK(BM_GlideStep)->Unit(benchmark::kMillisecond);

// Building the image cache: fonts, metrics, themes and the ten images (goal: under 50 ms).
void BM_BuildImageCache(benchmark::State& state)
{
    PrepareImages();
    for (auto _ : state) {
        ImageCache cache;
        cache.SetFontFamily(QStringLiteral("DejaVu Sans"));
        const bool loaded = cache.LoadImages(ImageCache::StartupImageNames());
        benchmark::DoNotOptimize(loaded);
        if (!loaded)
            state.SkipWithError("images did not load");
    }
}
BENCHMARK(BM_BuildImageCache)->Unit(benchmark::kMillisecond);

} // namespace
