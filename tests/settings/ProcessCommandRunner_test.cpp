#include "TestSupport.h"

#include "platform/ProcessCommandRunner.h"

#include <QTemporaryDir>

namespace {
QStringList Append(const QString& log, const QString& word, const QString& before = QString())
{
    return {QStringLiteral("/bin/sh"), QStringLiteral("-c"), before + QStringLiteral("echo %1 >> \"$0\"").arg(word),
            log};
}
} // namespace

TEST(ProcessCommandRunnerTest, InTheBackgroundTheCallerGoesOnAtOnce)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("log"));
    ProcessCommandRunner runner(ProcessCommandRunner::Mode::InBackground);
    runner.Run({Append(log, QStringLiteral("one"), QStringLiteral("sleep 0.3; ")), Append(log, QStringLiteral("two"))});
    EXPECT_EQ(FileBytes(log), QByteArray()); // still running
    runner.WaitForFinished(10000);
    EXPECT_EQ(FileBytes(log), QByteArray("one\ntwo\n"));
}
