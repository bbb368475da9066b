#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

/// A private home for a real velumina process started by a test or a benchmark: its own
/// settings, documents and runtime folders, and systemctl and notify-send stubs first on the
/// PATH, so that nothing of the user's (her files, her timers) is touched. The process runs
/// on the offscreen platform.
struct ProcessHome
{
    QTemporaryDir folder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    ProcessHome();

    /// A folder of the home: "Documents", "config", "runtime" or "bin".
    QString Path(const QString& name) const;
    QString Runtime() const
    {
        return Path(QStringLiteral("runtime"));
    }
};
