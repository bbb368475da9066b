#pragma once

#include <QString>

/// An exclusive lock between processes on a lock file, held through the kernel (flock). The
/// lock ends with its holder: one left by a process that crashed or was killed is free at
/// once, whatever the file holds (an empty file, the number of a process that is gone). The
/// file is removed when the holder unlocks.
///
/// A lock file that is a symbolic link or not a regular file is never opened for writing:
/// the lock then cannot be taken, and nothing is written through it.
class FileLock
{
public:
    enum class Error {
        None,
        Held,      ///< another holder has it
        NotUsable, ///< the lock file cannot be created, opened or locked
    };

    explicit FileLock(QString path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    /// Takes the lock, waiting up to `timeoutMs` while another holder has it. False when it is
    /// still held elsewhere or the file cannot be used: see LastError and ErrorString.
    bool TryLock(int timeoutMs = 0);
    /// Removes the lock file and releases the lock.
    void Unlock();

    bool IsLocked() const;
    QString Path() const;
    Error LastError() const;
    /// Why the last TryLock failed, in words that complete "the lock file ...".
    QString ErrorString() const;

private:
    enum class Attempt { Taken, Held, Replaced, NotUsable };
    Attempt TryOnce();

    QString m_path;
    int m_fd;
    Error m_error;
    QString m_errorString;
};
