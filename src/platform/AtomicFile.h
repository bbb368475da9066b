#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

/// Owner-only permissions for files that hold the user's data.
inline constexpr QFileDevice::Permissions kOwnerOnlyFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

/// Writes `data` to `path` so that the previous file stays whole until the new one is
/// complete and on the disk: a full disk, a crash or a failed write never leaves a
/// half-written file. The new file is written without a name where the file system offers
/// that, else under the hidden name ".<file name>.<process id>.velumina-saving", and then
/// takes the old one's place. A link at `path` is followed, as far as the system follows
/// links. The file gets `permissions`, also when it existed with others (a copy restored
/// from a backup may be readable by everybody); a missing folder is created readable by the
/// user only. Something at `path` that is not a regular file (a named pipe, a device), and a
/// file the user may not write, are never replaced. Returns false and sets `error` to a
/// message naming the file and the cause (a full disk, a missing permission, a read-only
/// file system).
bool WriteFileAtomically(const QString& path,
                         const QByteArray& data,
                         QString& error,
                         QFileDevice::Permissions permissions = kOwnerOnlyFile);

/// Removes what saves of `path` that were cut short (the program killed, the machine off)
/// left beside it: only files with the hidden temporary name of WriteFileAtomically, of a
/// process that no longer runs, last changed over a minute ago. Any other file, whatever its
/// name and age, is never touched. WriteFileAtomically runs it after each successful write.
/// Returns the number removed.
int RemoveInterruptedSaves(const QString& path);

/// The steps of WriteFileAtomically a test can make fail.
enum class WriteStep {
    Create,  ///< making the new file
    Write,   ///< writing its bytes
    Replace, ///< putting it in the old one's place
};

/// Tests: every later WriteFileAtomically fails at `step` with the errno value `error`, as the
/// system would report it (a full disk, a missing permission); 0 ends that.
void SetWriteFaultForTesting(WriteStep step, int error);
