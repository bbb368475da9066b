#include "platform/AtomicFile.h"

#include "platform/Clock.h"
#include "platform/FileError.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The fixed word of the name a save gives its new file while it is not complete. No copy
// command makes a name like ".Velumina.dat.4242.velumina-saving", and no person would.
const QString kSavingWord = QStringLiteral("velumina-saving");
// A temporary file younger than this may belong to a save running right now in a process
// this one cannot see (another PID namespace, such as a sandbox sharing the folder).
constexpr qint64 kLeftoverAge = 60;
// Links are followed this far to the file they name, as far as the system itself follows them.
constexpr int kMaxLinkDepth = 40;

struct InjectedFault
{
    WriteStep step = WriteStep::Create;
    int error = 0;
};

InjectedFault& Fault()
{
    static InjectedFault fault;
    return fault;
}

// The error a test wants at this step, or 0.
int FaultAt(WriteStep step)
{
    return Fault().error != 0 && Fault().step == step ? Fault().error : 0;
}

QString Describe(const QString& path, const QString& what, const QString& reason)
{
    return QStringLiteral("Could not %1 the file '%2': %3.").arg(what, QDir::toNativeSeparators(path), reason);
}

QString TemporaryPathFor(const QString& folder, const QString& fileName)
{
    return folder + QStringLiteral("/.") + fileName + u'.' + QString::number(::getpid()) + u'.' + kSavingWord;
}

// The file a link leads to, as QSaveFile did it: a data file kept elsewhere through a link
// stays there, and the link stays a link.
QString FinalPath(const QString& path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < kMaxLinkDepth && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.absoluteFilePath();
}

bool WriteAll(int fd, const char* bytes, qint64 size, int& error)
{
    if ((error = FaultAt(WriteStep::Write)) != 0)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (written == 0) {
            error = ENOSPC;
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool IsProcessAlive(qint64 pid)
{
    if (pid <= 0 || pid != static_cast<pid_t>(pid))
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

mode_t ModeOf(QFileDevice::Permissions permissions)
{
    mode_t mode = 0;
    const std::pair<QFileDevice::Permission, mode_t> bits[] = {
        {QFileDevice::ReadOwner, S_IRUSR}, {QFileDevice::WriteOwner, S_IWUSR}, {QFileDevice::ExeOwner, S_IXUSR},
        {QFileDevice::ReadGroup, S_IRGRP}, {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
        {QFileDevice::ReadOther, S_IROTH}, {QFileDevice::WriteOther, S_IWOTH}, {QFileDevice::ExeOther, S_IXOTH},
    };
    for (const auto& [permission, bit] : bits) {
        if (permissions.testFlag(permission))
            mode |= bit;
    }
    return mode;
}
} // namespace

bool WriteFileAtomically(const QString& path,
                         const QByteArray& data,
                         QString& error,
                         QFileDevice::Permissions permissions)
{
    const QString target = FinalPath(path);
    const QFileInfo info(target);
    const QString folder = info.absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder)) {
            error = Describe(path, QStringLiteral("write"), QStringLiteral("its folder could not be created"));
            return false;
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // The rename at the end would put a file where a named pipe or a device was.
    if (IsOtherThanRegularFile(target)) {
        error = Describe(path, QStringLiteral("write"),
                         QStringLiteral("it is not a regular file, and Velumina writes nothing over it"));
        return false;
    }
    const QByteArray targetName = QFile::encodeName(target);
    // A file she made read-only stays as it is, although its folder would let it be replaced.
    if (info.exists() && ::access(targetName.constData(), W_OK) != 0) {
        error = Describe(path, QStringLiteral("write"), DescribeFileError(errno, FileAccess::Write));
        return false;
    }

    // The new file is written where nobody sees it: without a name where the file system
    // offers that (O_TMPFILE), else under a hidden name of this process. It gets a name only
    // when it is complete, and then takes the old file's place in one step.
    const QByteArray folderName = QFile::encodeName(folder);
    const QByteArray temporaryName = QFile::encodeName(TemporaryPathFor(folder, info.fileName()));
    const mode_t mode = ModeOf(permissions);
    const int injected = FaultAt(WriteStep::Create);
    errno = injected;
    int fd = injected != 0 ? -1 : ::open(folderName.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    const bool unnamed = fd >= 0;
    int failure = fd < 0 ? errno : 0;
    if (fd < 0 && (failure == EOPNOTSUPP || failure == EISDIR || failure == EINVAL)) {
        // A file of this name is what an earlier process of the same number left.
        ::unlink(temporaryName.constData());
        fd = ::open(temporaryName.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, mode);
        failure = fd < 0 ? errno : 0;
    }
    if (fd < 0) {
        error = Describe(path, QStringLiteral("write"), DescribeFileError(failure, FileAccess::Write));
        errno = failure;
        return false;
    }

    bool named = !unnamed;
    auto fail = [&](int cause) {
        ::close(fd);
        if (named)
            ::unlink(temporaryName.constData());
        error = Describe(path, QStringLiteral("write"), DescribeFileError(cause, FileAccess::Write));
        errno = cause; // for callers that report the code
        return false;
    };
    int cause = 0;
    // The mode asked for, whatever the process's umask took from it.
    if (::fchmod(fd, mode) != 0)
        return fail(errno);
    if (!WriteAll(fd, data.constData(), data.size(), cause))
        return fail(cause);
    // A disk that fills up while its caches are written out says so here.
    if (::fsync(fd) != 0)
        return fail(errno);
    if (unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        ::unlink(temporaryName.constData());
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporaryName.constData(), AT_SYMLINK_FOLLOW) != 0)
            return fail(errno);
        named = true;
    }
    if ((cause = FaultAt(WriteStep::Replace)) != 0 || ::rename(temporaryName.constData(), targetName.constData()) != 0)
        return fail(cause != 0 ? cause : errno);
    named = false;
    ::close(fd);
    // The new name survives a power cut only once the folder is on the disk too.
    const int folderFd = ::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    RemoveInterruptedSaves(target);
    return true;
}

int RemoveInterruptedSaves(const QString& path)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QRegularExpression ours(
        QStringLiteral("^\\.%1\\.([0-9]+)\\.%2$").arg(QRegularExpression::escape(target.fileName()), kSavingWord));
    const QDateTime now = QDateTime::fromSecsSinceEpoch(CurrentTime(), Qt::UTC);
    int removed = 0;
    const QStringList names =
        folder.entryList({u'.' + target.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = ours.match(name);
        if (!match.hasMatch())
            continue;
        const QString candidate = folder.filePath(name);
        const QFileInfo info(candidate);
        if (info.isSymLink() || IsProcessAlive(match.captured(1).toLongLong()) ||
            info.lastModified().toUTC().secsTo(now) <= kLeftoverAge)
            continue;
        if (QFile::remove(candidate))
            ++removed;
    }
    return removed;
}

void SetWriteFaultForTesting(WriteStep step, int error)
{
    Fault() = InjectedFault{step, error};
}
