#pragma once

#include "platform/CommandRunner.h"
#include "platform/DesktopNotifier.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>
#include <utility>
#include <vector>

/// The desktop notification service (org.freedesktop.Notifications) over D-Bus, so that no
/// text of the notification is ever on a command line. When the service cannot be reached,
/// notify-send is the fallback, and it is only ever given the words `fallbackSummary`, which
/// must hold nothing private: every local user can read a command line.
class DBusDesktopNotifier final : public QObject, public DesktopNotifier
{
    Q_OBJECT

public:
    DBusDesktopNotifier(const QDBusConnection& bus,
                        std::unique_ptr<CommandRunner> fallback,
                        const QString& fallbackSummary);
    ~DBusDesktopNotifier() override;

    Outcome Show(const QString& summary, const QString& body) override;
    /// How long Show waits for her choice before it lets the notification be.
    void SetWaitLimit(int msecs);

private slots:
    void OnActionInvoked(uint id, const QString& action);
    void OnClosed(uint id, uint reason);

signals:
    void Finished();

private:
    Outcome Fallback();

    QDBusConnection m_bus;
    std::unique_ptr<CommandRunner> m_fallback;
    QString m_fallbackSummary;
    int m_waitLimitMs;
    uint m_id = 0;
    bool m_opened = false;
    bool m_finished = false;
    // Answers that came in while the Notify call was still waiting for its id (a quick
    // server's signal can overtake the reply's handling): the id and whether it opened.
    std::vector<std::pair<uint, bool>> m_earlyAnswers;
};
