#include "app/SingleInstanceGuard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace {
const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kShownAnswer = QByteArrayLiteral("shown\n");
} // namespace

SingleInstanceGuard::SingleInstanceGuard(QObject* parent) : QObject(parent), m_server(nullptr), m_requestsAnswered(0)
{
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

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

SingleInstanceGuard::Outcome SingleInstanceGuard::Acquire(const QString& socketPath, int attempts, int intervalMs)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        switch (AskOwnerToShow(socketPath, intervalMs)) {
        case Contact::Answered:
            return Outcome::OtherShown;
        case Contact::Refused:
            // Nobody listens on the socket: an instance crashed and left it behind.
            QLocalServer::removeServer(socketPath);
            [[fallthrough]];
        case Contact::NobodyThere:
            if (Listen(socketPath))
                return Outcome::First;
            // Another start took the name in between: ask it on the next try.
            QThread::msleep(static_cast<unsigned long>(intervalMs));
            break;
        case Contact::Silent:
            // The owner accepted but has not answered (it may still be starting up).
            break;
        }
    }
    return Outcome::OtherNotResponding;
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
