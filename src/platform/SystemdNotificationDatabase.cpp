#include "platform/SystemdNotificationDatabase.h"

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/MessageBox.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {
const QString kUnitPrefix = QStringLiteral("velumina-");
const QString kTimerSuffix = QStringLiteral(".timer");
const QString kServiceSuffix = QStringLiteral(".service");
const QString kKeyPrefix = QStringLiteral("X-Velumina-");
// The units this program writes take a few kilobytes; a larger file under their name is
// somebody else's and is not read into memory.
constexpr qint64 kMaxUnitFileSize = 64 * 1024;

// A path systemd refuses as the command itself is started through the shell instead; the
// words reach the shell only as positional parameters, never as script text.
const QString kStartScript = QStringLiteral("exec \"$@\"");
// The argument with which an alert's service starts the program: the program reads the alert
// from its own unit file, so no text of it is ever on a command line.
const QString kShowReminderOption = QStringLiteral("--show-reminder");

bool IsControl(char16_t c)
{
    return c < 0x20 || c == 0x7F;
}

QString HexEscape(char16_t c)
{
    return QStringLiteral("\\x%1").arg(static_cast<unsigned>(c), 2, 16, QLatin1Char('0'));
}

// A double-quoted word for a unit file: systemd unquotes it and resolves C escapes and "%%"
// (a lone % is a specifier). In a command line it also resolves "$$" (a lone $ names a
// variable); in an Environment= assignment "$" is plain.
enum class QuotedFor {
    CommandLine,
    Assignment,
};

QString QuoteForUnit(const QString& text, QuotedFor use)
{
    QString word = QStringLiteral("\"");
    for (const QChar character : text) {
        const char16_t c = character.unicode();
        if (c == u'\\' || c == u'"')
            word += u'\\' + character;
        else if (c == u'$' && use == QuotedFor::CommandLine)
            word += QStringLiteral("$$");
        else if (c == u'%')
            word += QStringLiteral("%%");
        else if (c == 0)
            continue; // no word of a unit file can hold it
        else if (IsControl(c))
            word += HexEscape(c);
        else
            word += character;
    }
    return word + u'"';
}

QString QuoteArgument(const QString& text)
{
    return QuoteForUnit(text, QuotedFor::CommandLine);
}

// systemd takes the command itself literally apart from specifiers, and refuses one with
// quotes, backslashes or control characters in it.
bool IsSafeCommand(const QString& path)
{
    for (const QChar character : path) {
        const char16_t c = character.unicode();
        if (IsControl(c) || c == u'\\' || c == u'"' || c == u'\'')
            return false;
    }
    return path.startsWith(u'/');
}

QString QuoteCommand(const QString& path)
{
    QString escaped = path;
    escaped.replace(u'%', QStringLiteral("%%"));
    return u'"' + escaped + u'"';
}

// X-Velumina-* values: percent-encoded UTF-8, so every text reads back exactly and nothing in
// it can end or continue the line.
QString EncodeValue(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text, " /:,()+@!*'"));
}

QString DecodeValue(const QString& value)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(value.toLatin1()));
}

bool ParseDay(const QString& text, CalDate& day)
{
    const QStringList parts = text.split(u'-');
    if (parts.size() != 3)
        return false;
    bool okYear = false, okMonth = false, okDay = false;
    const int year = parts[0].toInt(&okYear);
    const int month = parts[1].toInt(&okMonth);
    const int dayOfMonth = parts[2].toInt(&okDay);
    if (!okYear || !okMonth || !okDay)
        return false;
    if (!AreDateFieldsInRange(year, month, dayOfMonth, kFirstValidYear, kLastValidYear))
        return false;
    day = CalDate{static_cast<int16_t>(month), static_cast<int16_t>(dayOfMonth), static_cast<int16_t>(year)};
    return true;
}

// "yyyy-mm-dd hh:00"
bool ParseStart(const QString& text, CalDate& day, int& hour)
{
    const QStringList parts = text.split(u' ');
    if (parts.size() != 2 || !ParseDay(parts[0], day))
        return false;
    const QStringList time = parts[1].split(u':');
    bool ok = false;
    hour = time.value(0).toInt(&ok);
    return ok && time.size() == 2 && hour >= 0 && hour <= 23;
}

// The user's language settings of the moment, so that a wake-up formats dates in her language.
QString EnvironmentLine()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QStringList names = environment.keys();
    names.sort();
    QStringList words;
    for (const QString& name : names) {
        if (name != QLatin1String("LANG") && !name.startsWith(QLatin1String("LC_")))
            continue;
        words.append(QuoteForUnit(name + u'=' + environment.value(name), QuotedFor::Assignment));
    }
    if (words.isEmpty())
        return {};
    return QStringLiteral("Environment=") + words.join(u' ') + u'\n';
}

QString HeaderComment()
{
    return QStringLiteral("# Written by Velumina, which replaces and removes this file itself.\n");
}

QString TimerText(const NotificationEntry& entry, const QString& serviceName)
{
    const NotificationTrigger& trigger = entry.trigger;
    const QString start =
        IsoDayText(trigger.startDay) + QStringLiteral(" %1:00").arg(trigger.startHour, 2, 10, QLatin1Char('0'));
    QString text = HeaderComment();
    text += QStringLiteral("[Unit]\n");
    text += entry.notification ? QStringLiteral("Description=Velumina next-cycle reminder\n")
                               : QStringLiteral("Description=Velumina wake-up that keeps the reminders current\n");
    text += kKeyPrefix + QStringLiteral("Application=") + EncodeValue(trigger.application) + u'\n';
    text += kKeyPrefix + QStringLiteral("Arguments=") + EncodeValue(trigger.arguments) + u'\n';
    text += kKeyPrefix + QStringLiteral("Start=") + start + u'\n';
    if (IsValidDate(trigger.lastDay))
        text += kKeyPrefix + QStringLiteral("LastDay=") + IsoDayText(trigger.lastDay) + u'\n';
    if (entry.notification) {
        const UserNotification& notification = *entry.notification;
        text += kKeyPrefix + QStringLiteral("ActionFlags=") + QString::number(notification.actionFlags) + u'\n';
        text += kKeyPrefix + QStringLiteral("Title=") + EncodeValue(notification.dialogTitle) + u'\n';
        text += kKeyPrefix + QStringLiteral("Text=") + EncodeValue(notification.dialogText) + u'\n';
        if (!notification.sound.isEmpty())
            text += kKeyPrefix + QStringLiteral("Sound=") + EncodeValue(notification.sound) + u'\n';
    }
    text += QStringLiteral("\n[Timer]\n");
    text += QStringLiteral("OnCalendar=") + start + QStringLiteral(":00\n");
    // A machine that was off at the time fires the timer when it next runs.
    text += QStringLiteral("Persistent=true\n");
    text += QStringLiteral("Unit=") + serviceName + u'\n';
    text += QStringLiteral("\n[Install]\nWantedBy=timers.target\n");
    return text;
}

// Starts the program with `arguments`: directly where systemd takes the path as a command,
// through the shell where it does not.
QString StartCommand(const QString& application, const QStringList& arguments)
{
    QString command;
    if (IsSafeCommand(application)) {
        command = QuoteCommand(application);
    } else {
        command = QuoteCommand(QStringLiteral("/bin/sh")) + u' ' + QuoteArgument(QStringLiteral("-c")) + u' ' +
                  QuoteArgument(kStartScript) + u' ' + QuoteArgument(QStringLiteral("velumina-start")) + u' ' +
                  QuoteArgument(application);
    }
    for (const QString& argument : arguments)
        command += u' ' + QuoteArgument(argument);
    return command;
}

// A wake-up starts the program with its arguments. An alert starts the program with the
// number of its entry; the program reads the entry, drops an alert replayed after the start it
// announces (Persistent=true replays a missed one when the machine next runs) and shows it.
// Type=simple: the alert's process waits for her choice of "Open Velumina".
QString ServiceText(const NotificationEntry& entry, NotificationHandle handle)
{
    const NotificationTrigger& trigger = entry.trigger;
    QString text = HeaderComment();
    text += QStringLiteral("[Unit]\n");
    QStringList arguments;
    if (entry.notification) {
        text += QStringLiteral("Description=Velumina next-cycle reminder\n\n[Service]\nType=simple\n");
        arguments = QStringList{kShowReminderOption, QString::number(handle)};
    } else {
        text += QStringLiteral("Description=Velumina wake-up that keeps the reminders current\n\n[Service]\n"
                               "Type=oneshot\n");
        if (!trigger.arguments.isEmpty())
            arguments.append(trigger.arguments);
    }
    text += EnvironmentLine();
    text += QStringLiteral("ExecStart=") + StartCommand(trigger.application, arguments) + u'\n';
    return text;
}

// The number of a unit this backend names "velumina-<n><suffix>"; 0 for any other name
// ("velumina-07.timer" is somebody else's).
NotificationHandle UnitNumber(const QString& name, const QString& suffix)
{
    if (!name.startsWith(kUnitPrefix) || !name.endsWith(suffix))
        return 0;
    const QString number = name.mid(kUnitPrefix.size(), name.size() - kUnitPrefix.size() - suffix.size());
    bool ok = false;
    const NotificationHandle handle = number.toUInt(&ok);
    return ok && QString::number(handle) == number ? handle : 0;
}

bool IsAcceptable(const NotificationEntry& entry)
{
    const NotificationTrigger& trigger = entry.trigger;
    return trigger.application.startsWith(u'/') && IsValidDate(trigger.startDay) && trigger.startHour >= 0 &&
           trigger.startHour <= 23;
}
} // namespace

SystemdNotificationDatabase::SystemdNotificationDatabase(const QString& unitFolder,
                                                         std::unique_ptr<CommandRunner> runner)
    : m_folder(unitFolder), m_runner(std::move(runner)), m_updateDepth(0), m_lockTimeoutMs(10000),
      m_giveUpWhenHeld(false), m_heldElsewhere(false), m_lastError(0)
{
}

SystemdNotificationDatabase::~SystemdNotificationDatabase() = default;

QString SystemdNotificationDatabase::DefaultUnitFolder()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and to be ignored.
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/systemd/user");
}

QString SystemdNotificationDatabase::ShowReminderOption()
{
    return kShowReminderOption;
}

QString SystemdNotificationDatabase::UnitFolder() const
{
    return m_folder;
}

QString SystemdNotificationDatabase::LockFilePath() const
{
    return m_folder + QStringLiteral("/velumina.lock");
}

void SystemdNotificationDatabase::SetLockTimeout(int msecs)
{
    m_lockTimeoutMs = msecs;
}

void SystemdNotificationDatabase::SetGiveUpWhenHeld(bool giveUp)
{
    m_giveUpWhenHeld = giveUp;
}

bool SystemdNotificationDatabase::IsHeldElsewhere() const
{
    return m_heldElsewhere;
}

void SystemdNotificationDatabase::SetChangeObserver(ChangeObserver observer)
{
    m_observer = std::move(observer);
}

void SystemdNotificationDatabase::WillChange(const QString& path)
{
    if (m_observer)
        m_observer(path);
}

bool SystemdNotificationDatabase::Remove(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    WillChange(path);
    return QFile::remove(path);
}

void SystemdNotificationDatabase::Report(const QString& key, const QString& text)
{
    if (!m_reported.insert(key).second)
        return;
    m_reports.append(text);
    if (m_updateDepth == 0)
        ShowReports();
}

void SystemdNotificationDatabase::ShowReports()
{
    QStringList reports;
    reports.swap(m_reports);
    for (const QString& text : reports)
        ShowMessage(text, MessageButtons::Ok, MessageIcon::Warning);
}

QString SystemdNotificationDatabase::UnitPath(NotificationHandle handle, const QString& suffix) const
{
    return m_folder + u'/' + kUnitPrefix + QString::number(handle) + suffix;
}

QString SystemdNotificationDatabase::WantsLinkPath(NotificationHandle handle) const
{
    return m_folder + QStringLiteral("/timers.target.wants/") + kUnitPrefix + QString::number(handle) + kTimerSuffix;
}

bool SystemdNotificationDatabase::IsNumberFree(NotificationHandle handle) const
{
    // A dangling link still counts: QFileInfo::exists follows links, so ask for the link itself.
    return !QFileInfo::exists(UnitPath(handle, kTimerSuffix)) && !QFileInfo::exists(UnitPath(handle, kServiceSuffix)) &&
           !QFileInfo(WantsLinkPath(handle)).isSymLink() && !QFileInfo::exists(WantsLinkPath(handle));
}

void SystemdNotificationDatabase::Fail(int errorCode)
{
    m_lastError = static_cast<uint32_t>(errorCode != 0 ? errorCode : EIO);
}

bool SystemdNotificationDatabase::WriteUnit(const QString& path, const QByteArray& text)
{
    QString error;
    WillChange(path);
    errno = 0;
    if (WriteFileAtomically(path, text, error, kOwnerOnlyFile))
        return true;
    Fail(errno);
    return false;
}

bool SystemdNotificationDatabase::Add(const NotificationEntry& entry, NotificationHandle& handle)
{
    if (!IsAcceptable(entry)) {
        Fail(EINVAL);
        return false;
    }
    NotificationHandle number = 1;
    while (!IsNumberFree(number))
        ++number;

    const QString timerPath = UnitPath(number, kTimerSuffix);
    const QString servicePath = UnitPath(number, kServiceSuffix);
    const QString linkPath = WantsLinkPath(number);
    const QString serviceName = kUnitPrefix + QString::number(number) + kServiceSuffix;
    // The service first and the link last: a listed timer always has its service.
    bool written = WriteUnit(servicePath, ServiceText(entry, number).toUtf8()) &&
                   WriteUnit(timerPath, TimerText(entry, serviceName).toUtf8());
    if (written) {
        errno = 0;
        const QString wantsFolder = QFileInfo(linkPath).absolutePath();
        written = QDir().mkpath(wantsFolder);
        if (written) {
            WillChange(linkPath);
            written = QFile::link(timerPath, linkPath);
        }
        if (!written)
            Fail(errno);
    }
    if (!written) {
        Remove(linkPath);
        Remove(timerPath);
        Remove(servicePath);
        return false;
    }
    handle = number;
    m_added.insert(number);
    if (m_updateDepth == 0)
        ApplyChanges();
    return true;
}

bool SystemdNotificationDatabase::ListHandles(std::size_t maxCount, std::vector<NotificationHandle>& handles)
{
    handles.clear();
    const QDir folder(m_folder);
    if (!folder.exists())
        return true;
    RemoveServicesWithoutTimers();
    const QStringList names =
        folder.entryList({kUnitPrefix + u'*' + kTimerSuffix}, QDir::Files | QDir::System | QDir::Hidden);
    for (const QString& name : names) {
        if (const NotificationHandle handle = UnitNumber(name, kTimerSuffix))
            handles.push_back(handle);
    }
    std::sort(handles.begin(), handles.end());
    if (handles.size() > maxCount) {
        handles.clear();
        Fail(ENOBUFS);
        return false;
    }
    return true;
}

// A service whose timer is gone is what an addition or a removal cut short left behind:
// nothing starts it and nothing else would ever remove it. Only done under the lock, where
// no other process is between writing a service and its timer.
void SystemdNotificationDatabase::RemoveServicesWithoutTimers()
{
    if (!m_lock || !m_lock->IsLocked())
        return;
    const QStringList names =
        QDir(m_folder).entryList({kUnitPrefix + u'*' + kServiceSuffix}, QDir::Files | QDir::System | QDir::Hidden);
    for (const QString& name : names) {
        const NotificationHandle handle = UnitNumber(name, kServiceSuffix);
        if (handle == 0)
            continue;
        const QString timerPath = UnitPath(handle, kTimerSuffix);
        if (QFileInfo::exists(timerPath) || QFileInfo(timerPath).isSymLink())
            continue;
        // Only what this program wrote: a hand-made unit of that name stays.
        const QString servicePath = UnitPath(handle, kServiceSuffix);
        QFile service;
        QString reason;
        if (QFileInfo(servicePath).isSymLink() || !OpenRegularFile(service, servicePath, reason))
            continue;
        const bool written = service.readLine(256) == HeaderComment().toUtf8();
        service.close();
        if (written) {
            Remove(WantsLinkPath(handle));
            Remove(servicePath);
        }
    }
}

bool SystemdNotificationDatabase::Read(NotificationHandle handle, NotificationEntry& entry)
{
    const QString timerPath = UnitPath(handle, kTimerSuffix);
    QFile file;
    QString reason;
    if (!OpenRegularFile(file, timerPath, reason)) {
        if (IsOtherThanRegularFile(timerPath)) {
            Report(timerPath,
                   QStringLiteral("'%1' in the reminder folder is not a regular file. Velumina does not read it and "
                                  "writes nothing over it; remove it if it is not yours.")
                       .arg(QDir::toNativeSeparators(timerPath)));
        }
        Fail(ENOENT);
        return false;
    }
    if (file.size() > kMaxUnitFileSize) {
        Report(timerPath,
               QStringLiteral("'%1' in the reminder folder is larger than %2 KB, which no reminder of Velumina "
                              "is. Velumina does not read it; remove it if it is not yours.")
                   .arg(QDir::toNativeSeparators(timerPath))
                   .arg(kMaxUnitFileSize / 1024));
        Fail(EFBIG);
        return false;
    }
    NotificationEntry result;
    bool hasApplication = false, hasArguments = false, hasStart = false;
    UserNotification notification;
    bool hasNotification = false;
    // One bounded read, also when the file grows while it is read; reading it line by line with
    // that bound would set the whole bound aside for every line.
    const QByteArray content = file.read(kMaxUnitFileSize);
    for (const QByteArray& bytes : content.split('\n')) {
        QString line = QString::fromUtf8(bytes);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.startsWith(kKeyPrefix))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = line.mid(kKeyPrefix.size(), equals - kKeyPrefix.size());
        const QString value = line.mid(equals + 1);
        if (key == QLatin1String("Application")) {
            result.trigger.application = DecodeValue(value);
            hasApplication = true;
        } else if (key == QLatin1String("Arguments")) {
            result.trigger.arguments = DecodeValue(value);
            hasArguments = true;
        } else if (key == QLatin1String("Start")) {
            hasStart = ParseStart(value, result.trigger.startDay, result.trigger.startHour);
        } else if (key == QLatin1String("LastDay")) {
            ParseDay(value, result.trigger.lastDay);
        } else if (key == QLatin1String("ActionFlags")) {
            notification.actionFlags = value.toUInt(&hasNotification);
        } else if (key == QLatin1String("Title")) {
            notification.dialogTitle = DecodeValue(value);
        } else if (key == QLatin1String("Text")) {
            notification.dialogText = DecodeValue(value);
        } else if (key == QLatin1String("Sound")) {
            notification.sound = DecodeValue(value);
        }
    }
    if (!hasApplication || !hasArguments || !hasStart) {
        Fail(EINVAL);
        return false;
    }
    if (hasNotification)
        result.notification = notification;
    entry = result;
    return true;
}

bool SystemdNotificationDatabase::Clear(NotificationHandle handle)
{
    const QString timerPath = UnitPath(handle, kTimerSuffix);
    const QString servicePath = UnitPath(handle, kServiceSuffix);
    // The timer goes last, so an entry removed only in part is still listed and cleared later.
    Remove(WantsLinkPath(handle));
    Remove(servicePath);
    Remove(timerPath);
    const bool cleared = !QFileInfo::exists(timerPath) && !QFileInfo::exists(servicePath);
    if (!cleared)
        Fail(EACCES);
    m_removed.insert(handle);
    if (m_updateDepth == 0)
        ApplyChanges();
    return cleared;
}

uint32_t SystemdNotificationDatabase::LastError() const
{
    return m_lastError;
}

void SystemdNotificationDatabase::BeginUpdate()
{
    if (m_updateDepth++ > 0)
        return;
    if (!QFileInfo::exists(m_folder) && QDir().mkpath(m_folder))
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_lock = std::make_unique<FileLock>(LockFilePath());
    m_heldElsewhere = false;
    // A lock left by a process that died is free at once; one held by a live process is
    // waited for, or given up at once when the caller retries later. When that process hangs,
    // going on without the lock is better than losing the reminders.
    if (!m_lock->TryLock(m_giveUpWhenHeld ? 0 : m_lockTimeoutMs)) {
        if (m_giveUpWhenHeld && m_lock->LastError() == FileLock::Error::Held) {
            m_heldElsewhere = true;
            m_lock.reset();
            return;
        }
        // A folder that cannot be written is reported by the first unit that cannot be; a lock
        // file that is something else stays in the way and is said once.
        const QString lockPath = LockFilePath();
        if (QFileInfo(lockPath).isSymLink() || IsOtherThanRegularFile(lockPath)) {
            Report(lockPath,
                   QStringLiteral("The reminders were updated without their lock file '%1', which %2. Remove it if it "
                                  "is not yours.")
                       .arg(QDir::toNativeSeparators(lockPath), m_lock->ErrorString()));
        }
        m_lock.reset();
    }
}

void SystemdNotificationDatabase::EndUpdate()
{
    if (m_updateDepth == 0 || --m_updateDepth > 0)
        return;
    m_lock.reset();
    ApplyChanges();
    ShowReports();
}

void SystemdNotificationDatabase::ApplyChanges()
{
    if (m_added.empty() && m_removed.empty())
        return;
    QStringList stop;
    QStringList restart;
    for (const NotificationHandle handle : m_removed) {
        if (m_added.count(handle) == 0)
            stop.append(kUnitPrefix + QString::number(handle) + kTimerSuffix);
    }
    for (const NotificationHandle handle : m_added)
        restart.append(kUnitPrefix + QString::number(handle) + kTimerSuffix);
    m_added.clear();
    m_removed.clear();

    const QString systemctl = QStringLiteral("systemctl");
    const QString user = QStringLiteral("--user");
    std::vector<QStringList> commands;
    commands.push_back({systemctl, user, QStringLiteral("daemon-reload")});
    if (!stop.isEmpty())
        commands.push_back(QStringList{systemctl, user, QStringLiteral("stop")} + stop);
    // restart, not start: a timer whose number was just reused must take its new time.
    if (!restart.isEmpty())
        commands.push_back(QStringList{systemctl, user, QStringLiteral("restart")} + restart);
    if (m_runner)
        m_runner->Run(commands);
}

QString SystemdNotificationDatabase::DeliveryProblem() const
{
    QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtimeFolder.isEmpty())
        runtimeFolder = QStringLiteral("/run/user/%1").arg(getuid());
    const bool hasUserSystemd = !QStandardPaths::findExecutable(QStringLiteral("systemctl")).isEmpty() &&
                                QFileInfo::exists(runtimeFolder + QStringLiteral("/systemd/private"));
    // One short line: the settings screen shows it under the reminder switch. Notifications go
    // over D-Bus, with notify-send only as a fallback, so its absence is no reason.
    if (!hasUserSystemd)
        return QStringLiteral("Reminders cannot appear on this computer: it runs no systemd user session.");
    return {};
}

void SystemdNotificationDatabase::WaitForPendingWork(int msecs)
{
    if (m_runner)
        m_runner->WaitForFinished(msecs);
}
