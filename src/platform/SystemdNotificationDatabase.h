#pragma once

#include "platform/CommandRunner.h"
#include "platform/NotificationDatabase.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <set>

class FileLock;

/// The user's notification database on systemd user timers. Entry n is the unit pair
/// velumina-<n>.timer and velumina-<n>.service in the unit folder, the timer linked into
/// timers.target.wants/. The entry's records live in X-Velumina-* keys of the timer, which
/// systemd ignores, so entries are listed and read back from the files alone. The units are
/// readable by the user alone: a visible alert's service starts the program with
/// ShowReminderOption() and the entry's number, never with its text, which any local user
/// could read on a command line.
///
/// A group of changes (BeginUpdate to EndUpdate) holds a lock file in the unit folder, so
/// that two processes never interleave their listing and adding; at its end one
/// `systemctl --user daemon-reload` follows, then the changed timers are stopped or
/// (re)started. systemctl is best-effort: without it the files are still right and the
/// timers start with the next login.
///
/// Only regular files are read, and nothing is written over anything else: a named pipe or
/// a device under a unit's name is left alone and reported once.
class SystemdNotificationDatabase final : public NotificationDatabase
{
public:
    SystemdNotificationDatabase(const QString& unitFolder, std::unique_ptr<CommandRunner> runner);
    ~SystemdNotificationDatabase() override;

    /// $XDG_CONFIG_HOME/systemd/user, with ~/.config when XDG_CONFIG_HOME is not set.
    static QString DefaultUnitFolder();
    /// The option, followed by the entry's number, with which an alert starts the program.
    static QString ShowReminderOption();

    bool Add(const NotificationEntry& entry, NotificationHandle& handle) override;
    bool ListHandles(std::size_t maxCount, std::vector<NotificationHandle>& handles) override;
    bool Read(NotificationHandle handle, NotificationEntry& entry) override;
    bool Clear(NotificationHandle handle) override;
    uint32_t LastError() const override;
    void BeginUpdate() override;
    void EndUpdate() override;
    bool IsHeldElsewhere() const override;
    QString DeliveryProblem() const override;
    void WaitForPendingWork(int msecs) override;

    QString UnitFolder() const;
    QString LockFilePath() const;
    /// How long BeginUpdate waits for another process's lock before it goes on without it.
    void SetLockTimeout(int msecs);
    /// Makes BeginUpdate give up at once while another process holds the lock (the program
    /// with a window must not freeze): IsHeldElsewhere then says so, and the caller retries.
    void SetGiveUpWhenHeld(bool giveUp);

    /// Called with the path just before each change to the unit folder: a unit written or
    /// removed, a link made or removed. Tests stop the process there, to see that the folder
    /// is sound whichever step a kill interrupts.
    using ChangeObserver = std::function<void(const QString& path)>;
    void SetChangeObserver(ChangeObserver observer);

private:
    QString UnitPath(NotificationHandle handle, const QString& suffix) const;
    QString WantsLinkPath(NotificationHandle handle) const;
    bool IsNumberFree(NotificationHandle handle) const;
    bool WriteUnit(const QString& path, const QByteArray& text);
    void Fail(int errorCode);
    void ApplyChanges();
    void WillChange(const QString& path);
    bool Remove(const QString& path);
    void RemoveServicesWithoutTimers();
    void Report(const QString& key, const QString& text);
    void ShowReports();

    QString m_folder;
    std::unique_ptr<CommandRunner> m_runner;
    std::unique_ptr<FileLock> m_lock;
    int m_updateDepth;
    int m_lockTimeoutMs;
    bool m_giveUpWhenHeld;
    bool m_heldElsewhere;
    uint32_t m_lastError;
    std::set<NotificationHandle> m_added;
    std::set<NotificationHandle> m_removed;
    ChangeObserver m_observer;
    std::set<QString> m_reported; ///< what was already said in this process
    QStringList m_reports;        ///< said when the lock is released
};
