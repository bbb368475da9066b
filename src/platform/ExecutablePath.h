#pragma once

#include <QString>

/// The full path of the program's executable (QCoreApplication::applicationFilePath()), or
/// the path a test has set; empty before the application object exists.
QString ExecutablePath();

/// Makes ExecutablePath() return `path`; an empty path restores the real one.
void SetExecutablePathForTesting(const QString& path);
