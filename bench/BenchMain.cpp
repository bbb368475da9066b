#include "BenchSupport.h"
#include "platform/Clock.h"
#include "platform/DocumentsFolder.h"
#include "platform/gui/DesktopFontSizes.h"
#include "resources/CompiledResources.h"
#include "settings/SettingsAccess.h"
#include "ui/toolkit/ImageCache.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstring>

// Benchmarks run on the offscreen platform with settings and documents in a temporary folder,
// so they never read or write the user's own files, on a fixed day, with the fonts the tests
// use (DejaVu Sans on a 9-point desktop) and the pictures loaded once.
namespace {
// The floor of the start-up benchmark: a bare QApplication that paints one empty window.
class QuitOnFirstPaint : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

int RunBareWindow(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QuitOnFirstPaint window;
    window.resize(480, 640);
    window.show();
    return application.exec();
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--bare-window") == 0)
        return RunBareWindow(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitializeCompiledResources();
    QTemporaryDir folder;
    SetSettingsFolderForTesting(folder.filePath(QStringLiteral("settings")));
    SetDocumentsFolderForTesting(folder.filePath(QStringLiteral("documents")));
    SetCurrentTimeForTesting(ToTime(kBenchToday, 12));
    SetDesktopFontSizesForTesting({9.0, 8.0});
    TheImageCache().SetFontFamily(QStringLiteral("DejaVu Sans"));
    TheImageCache().LoadImages(ImageCache::StartupImageNames());
    benchmark::SetDefaultTimeUnit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
