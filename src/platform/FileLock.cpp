#include "platform/FileLock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr int kRetryIntervalMs = 20;

QString SystemError(int code)
{
    return qt_error_string(code);
}
} // namespace

FileLock::FileLock(QString path) : m_path(std::move(path)), m_fd(-1), m_error(Error::None)
{
}

FileLock::~FileLock()
{
    Unlock();
}

bool FileLock::TryLock(int timeoutMs)
{
    if (m_fd >= 0)
        return true;
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        switch (TryOnce()) {
        case Attempt::Taken:
            m_error = Error::None;
            m_errorString.clear();
            return true;
        case Attempt::NotUsable:
            m_error = Error::NotUsable;
            return false;
        case Attempt::Replaced:
            continue; // the holder removed the file just now: try the new one at once
        case Attempt::Held:
            break;
        }
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0) {
            m_error = Error::Held;
            m_errorString = QStringLiteral("is held by another process");
            return false;
        }
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, kRetryIntervalMs)));
    }
}

FileLock::Attempt FileLock::TryOnce()
{
    const QByteArray name = QFile::encodeName(m_path);
    // O_NOFOLLOW: a link planted at the lock's name is never written through. O_NONBLOCK: a
    // named pipe there cannot stop the program in open().
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        const int error = errno;
        m_errorString = error == ELOOP ? QStringLiteral("is a symbolic link")
                                       : QStringLiteral("cannot be opened: %1").arg(SystemError(error));
        return Attempt::NotUsable;
    }
    struct stat opened = {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        m_errorString = QStringLiteral("is not a regular file");
        return Attempt::NotUsable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK || error == EINTR)
            return Attempt::Held;
        m_errorString = QStringLiteral("cannot be locked: %1").arg(SystemError(error));
        return Attempt::NotUsable;
    }
    // The holder before may have removed the file between the open and the lock: a lock on
    // a file that is no longer there keeps nobody out.
    struct stat named = {};
    if (::lstat(name.constData(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
        ::close(fd);
        return Attempt::Replaced;
    }
    // Who holds it, for a person who looks; the lock itself is the kernel's.
    QByteArray holder = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (QCoreApplication::instance())
        holder += QFile::encodeName(QCoreApplication::applicationFilePath()) + '\n';
    if (::ftruncate(fd, 0) == 0) {
        const ssize_t written = ::write(fd, holder.constData(), static_cast<size_t>(holder.size()));
        Q_UNUSED(written);
    }
    m_fd = fd;
    return Attempt::Taken;
}

void FileLock::Unlock()
{
    if (m_fd < 0)
        return;
    // Removed while still held, so that the next holder never locks a file that is about to go.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
}

bool FileLock::IsLocked() const
{
    return m_fd >= 0;
}

QString FileLock::Path() const
{
    return m_path;
}

FileLock::Error FileLock::LastError() const
{
    return m_error;
}

QString FileLock::ErrorString() const
{
    return m_errorString;
}
