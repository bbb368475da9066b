#pragma once

#include <QString>
#include <QStringList>

/// Replaces this process by `program` with `arguments` (execv): the program keeps the process
/// a service manager watches. Returns only when it could not be started.
void ReplaceProcess(const QString& program, const QStringList& arguments);
