#include "ReminderTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/ExecutablePath.h"
#include "platform/MemoryNotificationDatabase.h"
#include "settings/AppSettings.h"

#include <QFile>

#include <cstdlib>
#include <sys/stat.h>

RecordingCommandRunner::RecordingCommandRunner(std::shared_ptr<Log> log) : m_log(std::move(log))
{
}

void RecordingCommandRunner::Run(const std::vector<QStringList>& commands)
{
    m_log->push_back(commands);
}

void RecordingCommandRunner::WaitForFinished(int)
{
}

ScopedEnvironment::ScopedEnvironment(const char* name, const QByteArray& value) : m_name(name)
{
    m_hadPrevious = qEnvironmentVariableIsSet(name);
    if (m_hadPrevious)
        m_previous = qgetenv(name);
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    if (m_hadPrevious)
        qputenv(m_name.constData(), m_previous);
    else
        qunsetenv(m_name.constData());
}

const QString ReminderTest::kExecutable = QStringLiteral("/opt/velumina/bin/velumina");

void ReminderTest::SetUp()
{
    VeluminaTest::SetUp();
    SetExecutablePathForTesting(kExecutable);
    FreshSettings();
    CycleDatabase::SetRecalculateHook([] { TheAppSettings().Reschedule(); });
}

void ReminderTest::TearDown()
{
    CycleDatabase::SetRecalculateHook({});
    ResetAppSettingsForTesting();
    SetExecutablePathForTesting({});
    m_memory = nullptr;
    VeluminaTest::TearDown();
}

void ReminderTest::FreshSettings()
{
    ResetAppSettingsForTesting();
    auto memory = std::make_unique<MemoryNotificationDatabase>();
    m_memory = memory.get();
    TheAppSettings().SetNotificationDatabase(std::move(memory));
}

MemoryNotificationDatabase& ReminderTest::Memory()
{
    return *m_memory;
}

void ReminderTest::RecordPeriod(const CalDate& first, int days)
{
    std::vector<DayRecord> records = TheCycleDatabase().Records();
    CalDate day = first;
    for (int i = 0; i < days; ++i) {
        DayRecord record;
        record.date = day;
        SetLevel(record, Heavy);
        records.push_back(record);
        NextDay(day);
    }
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
}

std::vector<CalDate> ReminderTest::WakeupDays()
{
    std::vector<CalDate> days;
    for (const auto& [handle, entry] : m_memory->Entries()) {
        if (entry.trigger.application == kExecutable && !entry.notification &&
            entry.trigger.arguments == QLatin1String("AppRunAtTime"))
            days.push_back(entry.trigger.startDay);
    }
    return days;
}

std::vector<CalDate> ReminderTest::AlertDays()
{
    std::vector<CalDate> days;
    for (const auto& [handle, entry] : m_memory->Entries()) {
        if (entry.trigger.application == kExecutable && entry.notification)
            days.push_back(entry.trigger.startDay);
    }
    return days;
}

NotificationEntry ReminderTest::Wakeup(const QString& application, const CalDate& day)
{
    NotificationEntry entry;
    entry.trigger.application = application;
    entry.trigger.arguments = QStringLiteral("AppRunAtTime");
    entry.trigger.startDay = day;
    return entry;
}

NotificationEntry ReminderTest::Alert(const QString& application, const CalDate& day, const CalDate& start)
{
    NotificationEntry entry;
    entry.trigger.application = application;
    entry.trigger.arguments = QStringLiteral("AppRunToHandleNotification");
    entry.trigger.startDay = day;
    entry.trigger.lastDay = start;
    UserNotification notification;
    notification.dialogTitle = QStringLiteral("Velumina");
    notification.dialogText = QStringLiteral("Velumina: next cycle starts at %1").arg(FormatMonthDay(start));
    entry.notification = notification;
    return entry;
}

int FileMode(const QString& path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return static_cast<int>(status.st_mode & 07777);
}

void WriteScript(const QString& path, const QByteArray& body)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write("#!/bin/sh\n" + body + "\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QStringList UnitValues(const QString& path, const QString& key)
{
    QStringList values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(key + u'='))
            values.append(line.mid(key.size() + 1));
    }
    return values;
}

QStringList SplitCommandLine(const QString& value)
{
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = value.size();
    while (i < n) {
        while (i < n && value[i] == u' ')
            ++i;
        if (i >= n)
            break;
        const bool quoted = value[i] == u'"';
        if (quoted)
            ++i;
        QString word;
        while (i < n && (quoted ? value[i] != u'"' : value[i] != u' ')) {
            if (value[i] == u'\\' && i + 1 < n) {
                const QChar next = value[i + 1];
                if (next == u'x' && i + 3 < n) {
                    word += QChar(value.mid(i + 2, 2).toUShort(nullptr, 16));
                    i += 4;
                    continue;
                }
                word += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
                i += 2;
                continue;
            }
            word += value[i++];
        }
        if (quoted)
            ++i;
        word.replace(QStringLiteral("%%"), QStringLiteral("%"));
        if (!words.isEmpty())
            word.replace(QStringLiteral("$$"), QStringLiteral("$"));
        words.append(word);
    }
    return words;
}

QStringList ReadWords(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList words = QString::fromUtf8(file.readAll()).split(QChar(u'\0'));
    if (!words.isEmpty() && words.last().isEmpty())
        words.removeLast();
    return words;
}
