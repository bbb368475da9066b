#include "TestSupport.h"

#include "resources/CompiledResources.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char* argv[])
{
    ::testing::InitGoogleTest(&argc, argv);
    // Always off screen; a test that needs a screen of a given size runs a copy of this
    // program with the offscreen platform's options (a screen configuration file).
    if (!qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QStringLiteral("offscreen")))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InitializeCompiledResources();
    InitializeTestProcess();
    return RUN_ALL_TESTS();
}
