#pragma once

#include <QFile>
#include <QString>

/// Opens `path` for reading into `file` (a QFile without a name: it keeps none) when it names
/// a regular file or a link to one. Anything else (a named pipe, a device, a socket, a folder)
/// is refused without ever waiting in open(): a named pipe would otherwise hold the program
/// until somebody writes to it. False with `reason` set, in words that complete "could not be
/// opened: ...".
bool OpenRegularFile(QFile& file, const QString& path, QString& reason);

/// True when `path` names something that exists but is not a regular file (following links).
bool IsOtherThanRegularFile(const QString& path);
