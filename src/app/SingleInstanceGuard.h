#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

/// Keeps one interactive Velumina per user and data file. The first instance listens on a
/// local socket in the user's runtime folder; a later start asks it to show itself and ends.
/// A socket nobody listens on (left by a crashed instance) is removed and taken over; one
/// whose owner accepts but does not answer is never removed, so two live instances never
/// share a data file.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT

public:
    enum class Outcome {
        First,              ///< this process is the instance; ShowRequested tells of later starts
        OtherShown,         ///< another instance runs and was asked to show itself
        OtherNotResponding, ///< the name is taken, but its owner never answered
    };

    explicit SingleInstanceGuard(QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    /// The socket path for a data file: "<runtime folder>/velumina-<uid>-<hash of the path>".
    static QString SocketPathFor(const QString& dataFilePath);

    /// Takes the name or asks its owner to show itself: `attempts` tries `intervalMs` apart
    /// while the owner does not answer.
    Outcome Acquire(const QString& socketPath, int attempts = 40, int intervalMs = 250);

    /// Requests answered since Acquire returned First.
    int RequestsAnswered() const;

signals:
    /// A later start asked this instance to show its window.
    void ShowRequested();

private:
    enum class Contact { Answered, Silent, NobodyThere, Refused };

    Contact AskOwnerToShow(const QString& socketPath, int waitMs) const;
    bool Listen(const QString& socketPath);
    void AnswerConnections();

    QLocalServer* m_server;
    int m_requestsAnswered;
};
