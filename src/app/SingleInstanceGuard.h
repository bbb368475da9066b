#pragma once

#include <QObject>
#include <QString>

#include <memory>

class FileLock;
class QLocalServer;

/// Keeps one interactive Velumina per user and data file. The instance is the process that
/// holds the lock file beside the socket (FileLock: it ends with its holder); it holds it for
/// its whole run and is the only one that listens on the socket. A later start that cannot
/// take the lock asks the holder over the socket to show itself, and ends. A socket left by
/// an instance that ended is removed by the next holder.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        First,              ///< this process is the instance; ShowRequested tells of later starts
        OtherShown,         ///< another instance runs and was asked to show itself
        OtherNotResponding, ///< another instance holds the lock, but never answered
        LockUnusable,       ///< the lock file cannot be used (LockProblem says why)
    };

    explicit SingleInstanceGuard(QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    /// The socket path for a data file: "<folder>/velumina-<uid>-<hash of the path>", in a
    /// folder only she can enter: $XDG_RUNTIME_DIR when it is one, else her cache's
    /// "velumina" folder (made with mode 0700). Empty, with `problem` saying why, when there
    /// is none: a name in a shared folder could be taken first by another user.
    static QString SocketPathFor(const QString& dataFilePath, QString* problem = nullptr);
    /// Whether `folder` is a folder (not a link) of this user that no one else may enter.
    static bool IsPrivateFolder(const QString& folder, QString& reason);
    /// The lock file beside the socket: the socket path and ".lock".
    static QString LockPathFor(const QString& socketPath);

    /// Takes the lock and listens, or asks the holder to show itself: `attempts` tries
    /// `intervalMs` apart while the lock is held and the holder does not answer.
    Outcome Acquire(const QString& socketPath, int attempts = 40, int intervalMs = 250);

    /// Why the lock file cannot be used, for the user: after LockUnusable.
    QString LockProblem() const;

    /// Requests answered since Acquire returned First.
    int RequestsAnswered() const;

signals:
    /// A later start asked this instance to show its window.
    void ShowRequested();

private:
    enum class Contact { Answered, Silent, NobodyThere, Refused };

    static QString PrivateFolder(QString& problem);
    Contact AskOwnerToShow(const QString& socketPath, int waitMs) const;
    bool Listen(const QString& socketPath);
    void AnswerConnections();

    std::unique_ptr<FileLock> m_lock;
    QLocalServer* m_server;
    int m_requestsAnswered;
};
