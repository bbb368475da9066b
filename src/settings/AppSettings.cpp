#include "settings/AppSettings.h"

#include "model/CycleDatabase.h"
#include "model/CycleLimits.h"
#include "platform/ExecutablePath.h"
#include "platform/MemoryNotificationDatabase.h"
#include "platform/MessageBox.h"
#include "platform/ShowError.h"
#include "settings/SettingsAccess.h"

#include <QFileInfo>
#include <QTimer>

#include <algorithm>

namespace {
const QString kAlertEnabled = QStringLiteral("AlertEnabled");
const QString kAlertDaysInAdvance = QStringLiteral("AlertDaysInAdvance");
const QString kLastAlertTime = QStringLiteral("LastAlertTime");
// The stored name keeps its historical spelling.
const QString kCachedCycleLen = QStringLiteral("CanchedCycleLen");
const QString kSelectedTheme = QStringLiteral("SelectedTheme");
const QString kWelcomeDismissed = QStringLiteral("WelcomeDismissed");
const QString kDiscreetReminders = QStringLiteral("DiscreetReminders");

const QString kWakeupArguments = QStringLiteral("AppRunAtTime");
const QString kAlertArguments = QStringLiteral("AppRunToHandleNotification");

constexpr int kDefaultDaysInAdvance = 1;
constexpr int kMaxDaysInAdvance = 3;
constexpr int kThemeCount = 5;
constexpr int kAlertHour = 9;
constexpr int kWakeupInterval = 14;
// While another process holds the reminders' lock, an interactive run tries again this often,
// and after this many tries goes on without the lock, as a background run does after waiting.
constexpr int kLockRetryMs = 500;
constexpr int kMostLockRetries = 20;
constexpr int32_t kFirstLastAlertTime = 20090001;

QString Section()
{
    return QString::fromUtf16(kSettingsSection);
}

int ClampDays(int days)
{
    return std::clamp(days, 0, kMaxDaysInAdvance);
}

// "LastAlertTime" holds year * 10000 + month * 100 + day. A day beyond the month's end rolls
// over into the next month, as the local-time conversion does; anything that cannot be a date
// the program can hold is no date.
void DecodeLastAlertTime(int32_t value, CalDate& date)
{
    if (value < kFirstLastAlertTime)
        return;
    const int year = value / 10000;
    const int month = value % 10000 / 100;
    const int day = value % 100;
    if (!AreDateFieldsInRange(year, month, day, kFirstValidYear, kLastValidYear)) {
        date = CalDate{0, 0, 0};
        return;
    }
    const CalDate stored{static_cast<int16_t>(month), static_cast<int16_t>(day), static_cast<int16_t>(year)};
    const CalDate rolled = FromTime(ToTime(stored, 12));
    date = IsValidDate(rolled) ? rolled : CalDate{0, 0, 0};
}

// A copy of this program elsewhere: an executable of the same name under another path.
bool IsOtherCopy(const QString& application, const QString& executable)
{
    return application != executable && !executable.isEmpty() &&
           QFileInfo(application).fileName() == QFileInfo(executable).fileName();
}

bool IsSameEntry(const NotificationEntry& a, const NotificationEntry& b)
{
    const bool sameTrigger =
        a.trigger.application == b.trigger.application && a.trigger.arguments == b.trigger.arguments &&
        IsSameDate(a.trigger.startDay, b.trigger.startDay) && a.trigger.startHour == b.trigger.startHour &&
        IsSameDate(a.trigger.lastDay, b.trigger.lastDay);
    if (!sameTrigger || a.notification.has_value() != b.notification.has_value())
        return false;
    return !a.notification || (a.notification->dialogTitle == b.notification->dialogTitle &&
                               a.notification->dialogText == b.notification->dialogText);
}

int32_t EncodeLastAlertTime(const CalDate& date)
{
    return (static_cast<int32_t>(date.year) * 100 + date.month) * 100 + date.day;
}
} // namespace

// Groups the changes of one public operation: the database's lock is held from the first
// listing to the last addition, and its changes are applied once at the end.
class AppSettings::UpdateScope
{
public:
    explicit UpdateScope(AppSettings& settings) : m_settings(settings), m_database(*settings.m_database)
    {
        if (m_settings.m_updateDepth++ == 0) {
            m_database.BeginUpdate();
            m_settings.m_deferred = m_database.IsHeldElsewhere() && m_settings.m_lockRetries < kMostLockRetries;
        }
    }

    ~UpdateScope()
    {
        if (--m_settings.m_updateDepth == 0) {
            m_database.EndUpdate();
            if (m_settings.m_deferred) {
                m_settings.m_deferred = false;
                m_settings.RetryLater();
            } else {
                m_settings.m_lockRetries = 0;
            }
            m_settings.ShowPendingMessages();
        }
    }

    /// Another process holds the reminders: the operation changes nothing now and is retried.
    bool Deferred() const
    {
        return m_settings.m_deferred;
    }

    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    AppSettings& m_settings;
    NotificationDatabase& m_database;
};

AppSettings::AppSettings()
    : alertEnabled(true), alertDaysInAdvance(kDefaultDaysInAdvance), interactiveRun(false), lastAlertDate{0, 0, 0},
      discreetReminders(false), cachedCycleLen(0), selectedTheme(0),
      m_database(std::make_unique<MemoryNotificationDatabase>()), m_wakeupDay{0, 0, 0}, m_updateDepth(0),
      m_batchDepth(0), m_rescheduleWanted(false), m_deferred(false), m_adoptWanted(false), m_retryPending(false),
      m_lockRetries(0)
{
    notification.actionFlags = kNotifyDialog;
    notification.dialogTitle = QStringLiteral("Velumina");
}

AppSettings::~AppSettings() = default;

void AppSettings::Load()
{
    const QString section = Section();
    alertEnabled = ReadSettingInt(section, kAlertEnabled, alertEnabled ? 1 : 0) != 0;
    // The reminder counts 0 to 3 days back from the start: a stored value beyond is clamped.
    alertDaysInAdvance = ClampDays(ReadSettingInt(section, kAlertDaysInAdvance, kDefaultDaysInAdvance));
    cachedCycleLen =
        static_cast<uint32_t>(ReadSettingInt(section, kCachedCycleLen, TheCycleDatabase().AverageCycleLength()));
    // The painters need one of the five themes: an unknown index is the first theme.
    selectedTheme = ReadSettingInt(section, kSelectedTheme, 0);
    if (selectedTheme < 0 || selectedTheme >= kThemeCount)
        selectedTheme = 0;
    DecodeLastAlertTime(ReadSettingInt(section, kLastAlertTime, 0), lastAlertDate);
    discreetReminders = ReadSettingInt(section, kDiscreetReminders, 0) != 0;
}

void AppSettings::Save()
{
    const QString section = Section();
    WriteSettingInt(section, kAlertEnabled, alertEnabled ? 1 : 0);
    WriteSettingInt(section, kAlertDaysInAdvance, alertDaysInAdvance);
    WriteSettingInt(section, kLastAlertTime, EncodeLastAlertTime(lastAlertDate));
    // Before the interactive run has loaded the data file the database's average is that of no
    // cycles (the initial cycle length), and storing it would move the background chain.
    if (interactiveRun)
        cachedCycleLen = static_cast<uint32_t>(TheCycleDatabase().AverageCycleLength());
    WriteSettingInt(section, kCachedCycleLen, static_cast<int32_t>(cachedCycleLen));
    WriteSettingInt(section, kSelectedTheme, selectedTheme);
    WriteSettingInt(section, kDiscreetReminders, discreetReminders ? 1 : 0);
}

bool AppSettings::IsWelcomeDismissed() const
{
    return ReadSettingInt(Section(), kWelcomeDismissed, 0) != 0;
}

bool AppSettings::SetWelcomeDismissed(bool dismissed)
{
    return WriteSettingInt(Section(), kWelcomeDismissed, dismissed ? 1 : 0);
}

void AppSettings::Reschedule()
{
    if (m_batchDepth > 0) {
        m_rescheduleWanted = true;
        return;
    }
    UpdateScope scope(*this);
    if (scope.Deferred())
        return;
    ScheduleWakeup();
    if (!interactiveRun && !IsAlertDue())
        return;
    if (alertEnabled) {
        if (interactiveRun)
            RescheduleFromPrediction();
        else
            RescheduleFromCachedLength();
    }
    Save();
}

void AppSettings::RescheduleFromPrediction()
{
    CalDate start{0, 0, 0};
    if (!TheCycleDatabase().FindNextPeriodStart(start)) {
        // Nothing is predicted (the data were erased, or an import left no bleeding day): the
        // alerts registered for the old data must go, and no background run may roll them on.
        ClearNotifications(kAlertEntries);
        lastAlertDate = CalDate{0, 0, 0};
        return;
    }
    if (IsSameDate(start, lastAlertDate))
        return; // the registered alerts are current
    const std::vector<NotificationHandle> previous = OwnEntries(kAlertEntries);
    // A late period is expected from tomorrow, and from the day after tomorrow once that has
    // come: an alert for it would repeat every day. Only the start after it is announced.
    const bool startIsLate = TheCycleDatabase().LateDays() >= 0 && IsSameDate(start, OffsetDate(Today(), 1));
    if (!startIsLate)
        ScheduleCycleAlert(start);
    lastAlertDate = start;
    CalDate following = start;
    if (TheCycleDatabase().FindNextPeriodStart(following))
        ScheduleCycleAlert(following);
    RemoveEntries(previous);
}

void AppSettings::RescheduleFromCachedLength()
{
    const int length = static_cast<int>(std::min<uint32_t>(cachedCycleLen, 1000));
    if (!IsValidDate(lastAlertDate) || length < kShortestCycle || length > kLongestCycle)
        return;
    const std::vector<NotificationHandle> previous = OwnEntries(kAlertEntries);
    const CalDate today = Today();
    CalDate start = lastAlertDate;
    // Each step moves at least 20 days on; a date past the last year the program handles
    // ends the walk as not valid.
    do {
        AddDays(start, length);
    } while (IsValidDate(start) && IsBeforeOrSame(start, today));
    if (IsValidDate(start)) {
        ScheduleCycleAlert(start);
        lastAlertDate = start;
    }
    RemoveEntries(previous);
}

void AppSettings::SetAlert(bool enabled, int days)
{
    days = ClampDays(days);
    const bool changed = enabled != alertEnabled || days != alertDaysInAdvance;
    alertEnabled = enabled;
    alertDaysInAdvance = days;
    // A new number of days moves the alert days: register the alerts again.
    if (enabled && changed)
        lastAlertDate = CalDate{0, 0, 0};
    UpdateScope scope(*this);
    if (scope.Deferred()) {
        Save();
        return;
    }
    if (enabled) {
        Reschedule();
    } else {
        // Nothing is registered while alerts are off: a reschedule asked for earlier in the
        // same batch has nothing left to do.
        m_rescheduleWanted = false;
        ClearNotifications(kAllEntries);
        // Switched on again later, today, both the wake-up and the alerts must be registered anew.
        m_wakeupDay = CalDate{0, 0, 0};
        lastAlertDate = CalDate{0, 0, 0};
    }
    Save();
}

bool AppSettings::IsAlertDue() const
{
    return !IsValidDate(lastAlertDate) || IsAfter(Today(), lastAlertDate);
}

void AppSettings::ScheduleCycleAlert(const CalDate& start)
{
    UpdateScope scope(*this);
    const QString text = QStringLiteral("Velumina: next cycle starts at %1").arg(FormatMonthDay(start));
    CalDate alertDay = start;
    SubtractDays(alertDay, ClampDays(alertDaysInAdvance));
    if (!IsValidDate(alertDay) || IsBeforeOrSame(alertDay, Today()))
        return;
    notification.dialogText = text;
    NotificationEntry entry;
    entry.trigger.application = ExecutablePath();
    entry.trigger.arguments = kAlertArguments;
    entry.trigger.startDay = alertDay;
    entry.trigger.startHour = kAlertHour;
    entry.trigger.lastDay = start;
    entry.notification = notification;
    AddEntry(entry);
}

void AppSettings::ScheduleWakeup()
{
    UpdateScope scope(*this);
    const CalDate today = Today();
    if (IsSameDate(m_wakeupDay, today))
        return;
    m_wakeupDay = today;
    // The old wake-ups go only once the new one is there: a process stopped in between leaves
    // one of them, and the chain goes on. When the new one cannot be added the old one stays.
    const std::vector<NotificationHandle> previous = OwnEntries(kWakeupEntries);
    CalDate day = today;
    AddDays(day, kWakeupInterval);
    NotificationEntry entry;
    entry.trigger.application = ExecutablePath();
    entry.trigger.arguments = kWakeupArguments;
    entry.trigger.startDay = day;
    entry.trigger.startHour = kAlertHour;
    if (AddEntry(entry))
        RemoveEntries(previous);
}

void AppSettings::ClearNotifications(int kinds)
{
    UpdateScope scope(*this);
    RemoveEntries(OwnEntries(kinds));
}

std::vector<NotificationHandle> AppSettings::OwnEntries(int kinds)
{
    const QString executable = ExecutablePath();
    std::vector<NotificationHandle> handles;
    std::vector<NotificationHandle> own;
    // Every entry is looked at: leftovers of other paths can never hide this program's own.
    if (!m_database->ListHandles(NotificationDatabase::kAllHandles, handles)) {
        m_pendingMessages.push_back([] { ShowMessage(QStringLiteral("Could not query handles")); });
        return own;
    }
    for (const NotificationHandle handle : handles) {
        NotificationEntry entry;
        if (!m_database->Read(handle, entry) || entry.trigger.application != executable)
            continue;
        const bool isWakeup = !entry.notification && entry.trigger.arguments == kWakeupArguments;
        const bool isAlert = entry.notification && entry.trigger.arguments != kWakeupArguments;
        if (((kinds & kWakeupEntries) && isWakeup) || ((kinds & kAlertEntries) && isAlert))
            own.push_back(handle);
    }
    return own;
}

std::vector<std::pair<NotificationHandle, NotificationEntry>> AppSettings::ProgramEntries()
{
    const QString executable = ExecutablePath();
    std::vector<NotificationHandle> handles;
    std::vector<std::pair<NotificationHandle, NotificationEntry>> entries;
    if (!m_database->ListHandles(NotificationDatabase::kAllHandles, handles))
        return entries;
    for (const NotificationHandle handle : handles) {
        NotificationEntry entry;
        if (m_database->Read(handle, entry) &&
            (entry.trigger.application == executable || IsOtherCopy(entry.trigger.application, executable)))
            entries.emplace_back(handle, entry);
    }
    return entries;
}

void AppSettings::AdoptEntries()
{
    UpdateScope scope(*this);
    if (scope.Deferred()) {
        m_adoptWanted = true;
        return;
    }
    m_adoptWanted = false;
    const QString executable = ExecutablePath();
    const auto entries = ProgramEntries();
    std::vector<NotificationEntry> own;
    for (const auto& [handle, entry] : entries) {
        if (entry.trigger.application == executable)
            own.push_back(entry);
    }
    for (const auto& [handle, entry] : entries) {
        if (entry.trigger.application == executable)
            continue;
        NotificationEntry moved = entry;
        moved.trigger.application = executable;
        const bool known =
            std::any_of(own.begin(), own.end(), [&moved](const NotificationEntry& e) { return IsSameEntry(e, moved); });
        // The new entry first: a process stopped in between leaves one of the two.
        NotificationHandle added = 0;
        if (!known) {
            if (!m_database->Add(moved, added))
                continue;
            own.push_back(moved);
        }
        m_database->Clear(handle);
    }
}

int AppSettings::RemoveAllEntries(int& failed)
{
    UpdateScope scope(*this);
    int removed = 0;
    failed = 0;
    for (const auto& [handle, entry] : ProgramEntries()) {
        if (m_database->Clear(handle))
            ++removed;
        else
            ++failed;
    }
    return removed;
}

void AppSettings::RemoveEntries(const std::vector<NotificationHandle>& handles)
{
    UpdateScope scope(*this);
    for (const NotificationHandle handle : handles)
        m_database->Clear(handle);
}

bool AppSettings::AddEntry(const NotificationEntry& entry)
{
    NotificationHandle handle = 0;
    if (!m_database->Add(entry, handle)) {
        const uint32_t code = m_database->LastError();
        m_pendingMessages.push_back([code] { ShowError(QStringLiteral("User notification failed"), code); });
        return false;
    }
    return true;
}

void AppSettings::ShowPendingMessages()
{
    std::vector<std::function<void()>> messages;
    messages.swap(m_pendingMessages);
    for (const std::function<void()>& show : messages)
        show();
}

void AppSettings::SetNotificationDatabase(std::unique_ptr<NotificationDatabase> database)
{
    if (m_updateDepth > 0)
        return; // never while a group of changes runs on the current one
    m_database = database ? std::move(database) : std::make_unique<MemoryNotificationDatabase>();
}

NotificationDatabase& AppSettings::Notifications()
{
    return *m_database;
}

void AppSettings::RetryLater()
{
    ++m_lockRetries;
    if (m_retryPending)
        return;
    m_retryPending = true;
    // The settings object a test replaced meanwhile has nothing to retry.
    QTimer::singleShot(kLockRetryMs, [] { TheAppSettings().RetryDeferred(); });
}

void AppSettings::RetryDeferred()
{
    if (!m_retryPending)
        return;
    m_retryPending = false;
    // One try of the lock for the whole retry, so that each try counts once.
    UpdateScope scope(*this);
    if (scope.Deferred())
        return;
    // Whatever was asked meanwhile, the state now decides: the entries of other copies, then
    // the alerts of the current prediction, or none while alerts are off.
    if (m_adoptWanted)
        AdoptEntries();
    if (alertEnabled)
        Reschedule();
    else
        SetAlert(false, alertDaysInAdvance);
}

QString AppSettings::ReminderDeliveryProblem() const
{
    return m_database->DeliveryProblem();
}

AppSettings::RescheduleBatch::RescheduleBatch(AppSettings& settings) : m_settings(settings)
{
    ++m_settings.m_batchDepth;
}

AppSettings::RescheduleBatch::~RescheduleBatch()
{
    if (--m_settings.m_batchDepth == 0 && m_settings.m_rescheduleWanted) {
        m_settings.m_rescheduleWanted = false;
        m_settings.Reschedule();
    }
}

namespace {
std::unique_ptr<AppSettings>& Instance()
{
    static std::unique_ptr<AppSettings> instance = std::make_unique<AppSettings>();
    return instance;
}
} // namespace

AppSettings& TheAppSettings()
{
    return *Instance();
}

void ResetAppSettingsForTesting()
{
    Instance() = std::make_unique<AppSettings>();
}
