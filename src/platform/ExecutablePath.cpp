#include "platform/ExecutablePath.h"

#include <QCoreApplication>

namespace {
QString& TestPath()
{
    static QString path;
    return path;
}
} // namespace

QString ExecutablePath()
{
    if (!TestPath().isEmpty())
        return TestPath();
    if (!QCoreApplication::instance())
        return {};
    return QCoreApplication::applicationFilePath();
}

void SetExecutablePathForTesting(const QString& path)
{
    TestPath() = path;
}
