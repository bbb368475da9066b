#include "platform/DocumentsFolder.h"
#include "resources/CompiledResources.h"
#include "settings/SettingsAccess.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

// Benchmarks run on the offscreen platform with settings and documents in a temporary folder,
// so they never read or write the user's own files.
int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitializeCompiledResources();
    QTemporaryDir folder;
    SetSettingsFolderForTesting(folder.filePath(QStringLiteral("settings")));
    SetDocumentsFolderForTesting(folder.filePath(QStringLiteral("documents")));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
