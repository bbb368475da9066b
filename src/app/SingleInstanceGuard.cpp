#include "app/SingleInstanceGuard.h"

#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcInstance)

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShownAnswer = QByteArrayLiteral("shown\n");
// Every request is one short line: a longer one is nobody's, and is not read further.
constexpr qint64 kLongestRequest = 64;
constexpr qsizetype kLongestSocketPath = 107;
} // namespace

SingleInstanceGuard::SingleInstanceGuard(QObject* parent) : QObject(parent), m_server(nullptr), m_requestsAnswered(0)
{
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    // Closing the server removes the socket by its name: that must happen while the lock is
    // still held, or it could remove the socket of the next instance.
    delete m_server;
    m_server = nullptr;
    m_lock.reset();
}

bool SingleInstanceGuard::IsPrivateFolder(const QString& folder, QString& reason)
{
    struct stat info
    {
    };
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0) {
        reason = QStringLiteral("'%1' does not exist").arg(folder);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        reason = QStringLiteral("'%1' is not a folder").arg(folder);
        return false;
    }
    if (info.st_uid != ::getuid()) {
        reason = QStringLiteral("'%1' belongs to another user").arg(folder);
        return false;
    }
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        reason = QStringLiteral("'%1' is open to other users").arg(folder);
        return false;
    }
    return true;
}

QString SingleInstanceGuard::PrivateFolder(QString& problem)
{
    // The session's runtime folder, when it is hers alone.
    QString reason;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && IsPrivateFolder(runtime, reason))
        return runtime;
    // Otherwise a folder in her cache, never one in /tmp that another user could make first.
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) {
        problem = QStringLiteral("it finds no home folder to keep its lock in");
        return QString();
    }
    const QString folder = QDir(cache).filePath(QStringLiteral("velumina"));
    QDir().mkpath(cache);
    ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
    struct stat info
    {
    };
    // A folder of hers that others may open is closed to them; one of another user is refused.
    if (::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
        info.st_uid == ::getuid())
        ::chmod(QFile::encodeName(folder).constData(), S_IRWXU);
    if (!IsPrivateFolder(folder, reason)) {
        problem = QStringLiteral("no folder of its own could be made for its lock: %1").arg(reason);
        return QString();
    }
    return folder;
}

QString SingleInstanceGuard::SocketPathFor(const QString& dataFilePath, QString* problem)
{
    QString why;
    const QString folder = PrivateFolder(why);
    if (folder.isEmpty()) {
        if (problem)
            *problem = why;
        return QString();
    }
    // The hash must be the same in every process, so it is not qHash (which is seeded).
    const QString canonical = QFileInfo(dataFilePath).absoluteFilePath();
    const QByteArray digest = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex();
    const QString path = QStringLiteral("%1/velumina-%2-%3")
                             .arg(folder)
                             .arg(static_cast<qulonglong>(getuid()))
                             .arg(QString::fromLatin1(digest.left(16)));
    // A socket's path has room for 107 bytes.
    if (QFile::encodeName(LockPathFor(path)).size() > kLongestSocketPath) {
        if (problem)
            *problem = QStringLiteral("the path of its lock in '%1' is too long for a socket").arg(folder);
        return QString();
    }
    return path;
}

QString SingleInstanceGuard::LockPathFor(const QString& socketPath)
{
    return socketPath + QStringLiteral(".lock");
}

SingleInstanceGuard::Outcome SingleInstanceGuard::Acquire(const QString& socketPath, int attempts, int intervalMs)
{
    m_lock = std::make_unique<FileLock>(LockPathFor(socketPath));
    for (int attempt = 0; attempt < attempts; ++attempt) {
        QElapsedTimer timer;
        timer.start();
        if (m_lock->TryLock()) {
            // Nobody else listens while the lock is this process's: a socket still there is
            // the leftover of an instance that ended.
            QLocalServer::removeServer(socketPath);
            if (!Listen(socketPath))
                qCWarning(lcInstance) << "cannot listen on" << socketPath << "; later starts will not find this one";
            return Outcome::First;
        }
        if (m_lock->LastError() == FileLock::Error::NotUsable)
            return Outcome::LockUnusable;
        // The holder may still be starting (before it listens, or before its event loop runs).
        if (AskOwnerToShow(socketPath, intervalMs) == Contact::Answered)
            return Outcome::OtherShown;
        const qint64 left = intervalMs - timer.elapsed();
        if (left > 0)
            QThread::msleep(static_cast<unsigned long>(left));
    }
    return Outcome::OtherNotResponding;
}

QString SingleInstanceGuard::LockProblem() const
{
    if (!m_lock)
        return QString();
    return QStringLiteral("the lock file '%1' %2").arg(QDir::toNativeSeparators(m_lock->Path()), m_lock->ErrorString());
}

int SingleInstanceGuard::RequestsAnswered() const
{
    return m_requestsAnswered;
}

SingleInstanceGuard::Contact SingleInstanceGuard::AskOwnerToShow(const QString& socketPath, int waitMs) const
{
    if (!QFileInfo::exists(socketPath))
        return Contact::NobodyThere;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(waitMs)) {
        const QLocalSocket::LocalSocketError error = socket.error();
        if (error == QLocalSocket::ConnectionRefusedError)
            return Contact::Refused;
        if (error == QLocalSocket::ServerNotFoundError)
            return Contact::NobodyThere;
        return Contact::Silent;
    }
    socket.write(kShowRequest);
    socket.waitForBytesWritten(waitMs);
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(waitMs))
        answer += socket.readAll();
    socket.disconnectFromServer();
    return answer.startsWith(kShownAnswer) ? Contact::Answered : Contact::Silent;
}

bool SingleInstanceGuard::Listen(const QString& socketPath)
{
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(socketPath)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstanceGuard::AnswerConnections);
    return true;
}

void SingleInstanceGuard::AnswerConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        socket->setReadBufferSize(kLongestRequest);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() >= kLongestRequest)
                    socket->abort();
                return;
            }
            const QByteArray request = socket->readLine();
            if (request != kShowRequest) {
                socket->disconnectFromServer();
                return;
            }
            ++m_requestsAnswered;
            emit ShowRequested();
            socket->write(kShownAnswer);
            socket->flush();
        });
    }
}
