#include "BenchSupport.h"
#include "ProcessHome.h"
#include "model/CycleDatabase.h"
#include "platform/DocumentsFolder.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

// Time from process start to the first painted main window, with ten years of periods in the
// data file (goal: under 300 ms), against a bare QApplication that paints one empty window (this
// program started with --bare-window, see BenchMain.cpp). Both run on the offscreen platform.
namespace {
struct StartupHome : ProcessHome
{
    StartupHome()
    {
        environment.insert(QStringLiteral("VELUMINA_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
        const QString previousDocuments = PlatformDocumentsFolder();
        SetDocumentsFolderForTesting(Path(QStringLiteral("Documents")));
        CycleDatabase database;
        database.ReplaceRecords(Periods(CalDate{12, 29, 2025}, 131, {28}));
        database.Save();
        SetDocumentsFolderForTesting(previousDocuments);
    }
};

void BM_ToFirstPaint(benchmark::State& state, bool bareWindow)
{
    static StartupHome home;
    const QString program = bareWindow
                                ? QCoreApplication::applicationFilePath()
                                : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../velumina"));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(home.environment);
        QElapsedTimer timer;
        timer.start();
        process.start(program, bareWindow ? QStringList{QStringLiteral("--bare-window")} : QStringList{});
        if (!process.waitForFinished(20000)) {
            process.kill();
            state.SkipWithError("the program did not end");
            return;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK_CAPTURE(BM_ToFirstPaint, Startup, false)->UseManualTime()->Iterations(10);
BENCHMARK_CAPTURE(BM_ToFirstPaint, BareQtWindow, true)->UseManualTime()->Iterations(10);
} // namespace
