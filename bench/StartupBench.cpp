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
struct StartupHome
{
    QTemporaryDir folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    StartupHome()
    {
        QDir home(folder.path());
        home.mkpath(QStringLiteral("Documents"));
        home.mkpath(QStringLiteral("config"));
        home.mkpath(QStringLiteral("runtime"));
        home.mkpath(QStringLiteral("bin"));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // Stub systemctl and notify-send: the measured start must not touch the user's timers.
        for (const QString& tool : {QStringLiteral("systemctl"), QStringLiteral("notify-send")}) {
            QFile stub(home.filePath(QStringLiteral("bin/") + tool));
            if (stub.open(QIODevice::WriteOnly)) {
                stub.write("#!/bin/sh\nexit 0\n");
                stub.close();
                stub.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            }
        }
        // Ten years of periods, five days every 28 days.
        const QString previousDocuments = PlatformDocumentsFolder();
        SetDocumentsFolderForTesting(home.filePath(QStringLiteral("Documents")));
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

        environment.insert(QStringLiteral("HOME"), folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("PATH"),
                           home.filePath(QStringLiteral("bin")) + u':' + environment.value(QStringLiteral("PATH")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("VELUMINA_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
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
