#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

/// Owner-only permissions for files that hold the user's data.
inline constexpr QFileDevice::Permissions kOwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

/// Writes `data` to `path` through QSaveFile, so the previous file stays whole until the new
/// one is complete: a full disk, a crash or a failed write never leaves a half-written file.
/// A new file gets `permissions` (an existing one keeps its own); a missing folder is created
/// readable by the user only. Returns false and sets `error` to a message naming the file.
bool WriteFileAtomically(const QString& path,
                         const QByteArray& data,
                         QString& error,
                         QFileDevice::Permissions permissions = kOwnerOnlyFile);
