#include "app/SingleInstanceGuard.h"

#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

Q_DECLARE_LOGGING_CATEGORY(lcInstance)

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShownAnswer = QByteArrayLiteral("shown\n");
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

QString SingleInstanceGuard::SocketPathFor(const QString& dataFilePath)
{
    QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtimeFolder.isEmpty() || !QFileInfo(runtimeFolder).isDir())
        runtimeFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtimeFolder.isEmpty())
        runtimeFolder = QDir::tempPath();
    // The hash must be the same in every process, so it is not qHash (which is seeded).
    const QString canonical = QFileInfo(dataFilePath).absoluteFilePath();
    const QByteArray digest = QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("%1/velumina-%2-%3")
        .arg(runtimeFolder)
        .arg(static_cast<qulonglong>(getuid()))
        .arg(QString::fromLatin1(digest.left(16)));
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
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
