#pragma once

#include "model/CalDate.h"
#include "platform/NotificationEntry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class NotificationDatabase;

// Kinds of entries for AppSettings::ClearNotifications, as a bit set.
inline constexpr int kWakeupEntries = 1;
inline constexpr int kAlertEntries = 2;
inline constexpr int kAllEntries = kWakeupEntries | kAlertEntries;

/// The process-wide settings object: the reminder switch and bookkeeping, the cached average
/// cycle length for background runs and the selected colour theme; and the next-cycle
/// reminders kept in the platform's notification database.
///
/// The reminders are visible alerts at 09:00 on the chosen day before each of the next two
/// predicted cycle starts, and a silent wake-up 14 days after the last run that starts the
/// program with "AppRunAtTime" to roll them forward. Entries are recognised by the
/// executable's path and their arguments; every change reads the database afresh, under its
/// lock, so a background run beside the interactive one leaves exactly one set behind.
/// Replacements add the new entries before they remove the old ones, so that a process
/// stopped at any moment leaves a wake-up behind.
class AppSettings
{
public:
    AppSettings();
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    /// Reads the six values; values outside their ranges are taken as their defaults.
    void Load();
    /// Writes the six values. The cached cycle length is taken from the cycle database only
    /// in the interactive run, once the data file is loaded; before that the loaded value is
    /// written back, since the database does not hold the user's cycles yet.
    void Save();

    /// Whether she chose not to be greeted by the welcome screen again ("WelcomeDismissed");
    /// read from the settings at every call.
    bool IsWelcomeDismissed() const;
    /// Stores that choice at once. False when the settings could not be written.
    bool SetWelcomeDismissed(bool dismissed);

    /// Brings the registered entries in line with the prediction.
    void Reschedule();
    /// The settings dialog's alert switch and days in advance (0 to 3).
    void SetAlert(bool enabled, int days);
    /// True when no valid last alert date exists or today is later than it.
    bool IsAlertDue() const;
    /// Registers one visible alert for a predicted start.
    void ScheduleCycleAlert(const CalDate& start);
    /// Registers the wake-up, at most once per process and day.
    void ScheduleWakeup();
    /// Removes this executable's entries of the given kinds.
    void ClearNotifications(int kinds);
    /// Makes the entries of other copies of this program its own: an entry that starts the
    /// program under another path (a moved, reinstalled or removed copy) is written again with
    /// this executable's path, or dropped when this executable has the same entry already. So
    /// reminders never point at a program that is gone. Says nothing: start-up never waits on
    /// a message box; an entry that cannot be rewritten stays for the next run.
    void AdoptEntries();
    /// Removes every entry this program made, under any path. The number removed; `failed`
    /// counts those that stayed.
    int RemoveAllEntries(int& failed);

    /// Installs the notification database (the start-up does); null returns to an inert one
    /// in memory, which every process starts with.
    void SetNotificationDatabase(std::unique_ptr<NotificationDatabase> database);
    NotificationDatabase& Notifications();
    /// Plain words why reminders cannot reach the user on this machine (no systemd user
    /// session); empty when nothing is known to be missing. The settings
    /// screen says it beside the reminder switch; start-up never does.
    QString ReminderDeliveryProblem() const;

    /// Folds the reschedules asked for while it lives into one at its end, so that changes
    /// applied together (the settings screen's OK changes the cycle parameters, each of which
    /// recalculates, and then the alert switch) register the entries once, with the final
    /// settings. Switching alerts off inside the batch drops the reschedules asked for before.
    class RescheduleBatch
    {
    public:
        explicit RescheduleBatch(AppSettings& settings);
        ~RescheduleBatch();
        RescheduleBatch(const RescheduleBatch&) = delete;
        RescheduleBatch& operator=(const RescheduleBatch&) = delete;

    private:
        AppSettings& m_settings;
    };

    UserNotification notification;
    bool alertEnabled;
    int32_t alertDaysInAdvance;
    bool interactiveRun;
    CalDate lastAlertDate;
    /// Reminders show only "Velumina reminder", no date and no cycle word.
    bool discreetReminders;
    uint32_t cachedCycleLen;
    int32_t selectedTheme;

private:
    class UpdateScope;

    void RescheduleFromPrediction();
    void RescheduleFromCachedLength();
    /// This executable's entries of the given kinds; none, and the failure reported, when the
    /// database cannot list them.
    std::vector<NotificationHandle> OwnEntries(int kinds);
    /// Every entry: this executable's and those of its other copies, read.
    std::vector<std::pair<NotificationHandle, NotificationEntry>> ProgramEntries();
    void RemoveEntries(const std::vector<NotificationHandle>& handles);
    bool AddEntry(const NotificationEntry& entry);
    void ShowPendingMessages();
    void RetryLater();
    void RetryDeferred();

    std::unique_ptr<NotificationDatabase> m_database;
    CalDate m_wakeupDay; ///< the day this process last registered the wake-up
    int m_updateDepth;
    int m_batchDepth;
    bool m_rescheduleWanted;
    bool m_deferred;     ///< the current update found the database held by another process
    bool m_adoptWanted;  ///< AdoptEntries waits for the database
    bool m_retryPending; ///< a retry is scheduled
    int m_lockRetries;   ///< updates deferred in a row
    // Messages wait until the database's lock is released: a modal box must not hold it.
    std::vector<std::function<void()>> m_pendingMessages;
};

/// The process-wide settings object.
AppSettings& TheAppSettings();

/// Replaces the process-wide settings object by a fresh one with an inert database (tests).
void ResetAppSettingsForTesting();
