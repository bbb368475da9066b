#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <functional>

/// Owner-only permissions for files that hold the user's data.
inline constexpr QFileDevice::Permissions kOwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

/// Writes `data` to `path` through QSaveFile, so the previous file stays whole until the new
/// one is complete: a full disk, a crash or a failed write never leaves a half-written file.
/// The file gets `permissions`, also when it existed with others (a copy restored from a
/// backup may be readable by everybody); a missing folder is created readable by the user
/// only. Something at `path` that is not a regular file (a named pipe, a device) is never
/// replaced. Returns false and sets `error` to a message naming the file.
bool WriteFileAtomically(const QString& path,
                         const QByteArray& data,
                         QString& error,
                         QFileDevice::Permissions permissions = kOwnerOnlyFile);

/// Removes what interrupted saves of `path` left beside it: QSaveFile's temporary files
/// "<file name>.XXXXXX" (six random letters) last changed more than `minimumAgeSecs` ago, so
/// that a save running now in another process keeps its own, and whose first bytes (up to
/// eight) `isLeftover` accepts. Returns the number removed.
int RemoveInterruptedSaves(const QString& path,
                           qint64 minimumAgeSecs,
                           const std::function<bool(const QByteArray& head)>& isLeftover);
