#include "TestSupport.h"

#include "platform/ProcessCommandRunner.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
QStringList Append(const QString& log, const QString& word, const QString& before = QString())
{
    return {QStringLiteral("/bin/sh"), QStringLiteral("-c"), before + QStringLiteral("echo %1 >> \"$0\"").arg(word),
            log};
}

QString Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
} // namespace

TEST(ProcessCommandRunnerTest, InTheBackgroundTheCallerGoesOnAtOnce)
{
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("log"));
    ProcessCommandRunner runner(ProcessCommandRunner::Mode::InBackground);
    runner.Run({Append(log, QStringLiteral("one"), QStringLiteral("sleep 0.3; ")), Append(log, QStringLiteral("two"))});
    EXPECT_EQ(Read(log), QString()); // still running
    runner.WaitForFinished(10000);
    EXPECT_EQ(Read(log), QStringLiteral("one\ntwo\n"));
}
