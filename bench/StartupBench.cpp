#include "ProcessHome.h"
#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "platform/DocumentsFolder.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

// Time from process start to the first painted main window, with a ten-year history in the
// data file, against a bare QApplication that paints one empty window (this program started
// with --bare-window, see BenchMain.cpp). Both run on the offscreen platform.
namespace {
struct StartupHome : ProcessHome
{
    StartupHome()
    {
        environment.insert(QStringLiteral("VELUMINA_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
        // Ten years of periods, five days every 28 days.
        const QString previousDocuments = PlatformDocumentsFolder();
        SetDocumentsFolderForTesting(Path(QStringLiteral("Documents")));
        CycleDatabase database;
        std::vector<DayRecord> records;
        for (CalDate start{1, 5, 2016}; IsBefore(start, CalDate{12, 1, 2026}); start = CivilOffsetDate(start, 28)) {
            for (int d = 0; d < 5; ++d) {
                DayRecord record;
                record.date = CivilOffsetDate(start, d);
                SetLevel(record, Heavy);
                records.push_back(record);
            }
        }
        database.ReplaceRecords(records);
        database.Save();
        SetDocumentsFolderForTesting(previousDocuments);
    }
};

void RunUntilExit(benchmark::State& state, const QString& program, const QStringList& arguments)
{
    static StartupHome home;
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(home.environment);
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        if (!process.waitForFinished(20000)) {
            process.kill();
            state.SkipWithError("the program did not end");
            return;
        }
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
}

void BM_StartupToFirstPaint(benchmark::State& state)
{
    RunUntilExit(state, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../velumina")), {});
}
BENCHMARK(BM_StartupToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_BareQtWindowToFirstPaint(benchmark::State& state)
{
    RunUntilExit(state, QCoreApplication::applicationFilePath(), {QStringLiteral("--bare-window")});
}
BENCHMARK(BM_BareQtWindowToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
} // namespace
