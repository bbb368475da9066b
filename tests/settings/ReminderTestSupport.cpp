#include "ReminderTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/ExecutablePath.h"
#include "platform/MemoryNotificationDatabase.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

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
    for (int i = 0; i < days; ++i)
        records.push_back(Day(OffsetDate(first, i), Heavy));
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
}

QStringList ReminderTest::EntryDays(bool alerts)
{
    QStringList days;
    for (const auto& [handle, entry] : m_memory->Entries()) {
        const bool wakeup = !entry.notification && entry.trigger.arguments == QLatin1String("AppRunAtTime");
        if (entry.trigger.application == kExecutable && (alerts ? entry.notification.has_value() : wakeup))
            days.append(IsoDate(entry.trigger.startDay));
    }
    return days;
}

NotificationEntry Wakeup(const QString& application, const CalDate& day)
{
    NotificationEntry entry;
    entry.trigger.application = application;
    entry.trigger.arguments = QStringLiteral("AppRunAtTime");
    entry.trigger.startDay = day;
    return entry;
}

NotificationEntry Alert(const QString& application, const CalDate& day, const CalDate& start)
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

void UnitFolderTest::TearDown()
{
    ResetAppSettingsForTesting();
    m_database = nullptr;
    ReminderTest::TearDown();
}

SystemdNotificationDatabase& UnitFolderTest::Install(SystemdNotificationDatabase::ChangeObserver observer)
{
    ResetAppSettingsForTesting();
    auto database =
        std::make_unique<SystemdNotificationDatabase>(m_folder, std::make_unique<RecordingCommandRunner>(m_commands));
    database->SetChangeObserver(std::move(observer));
    m_database = database.get();
    TheAppSettings().SetNotificationDatabase(std::move(database));
    return *m_database;
}

QString UnitFolderTest::Unit(NotificationHandle n, const char* suffix) const
{
    return m_folder + QStringLiteral("/velumina-%1.%2").arg(n).arg(QString::fromLatin1(suffix));
}

QString UnitFolderTest::Link(NotificationHandle n) const
{
    return m_folder + QStringLiteral("/timers.target.wants/velumina-%1.timer").arg(n);
}

QStringList UnitFolderTest::UnitNames() const
{
    return QDir(m_folder).entryList({QStringLiteral("velumina-*")}, QDir::Files, QDir::Name);
}

QString IsoDate(const CalDate& day)
{
    return QStringLiteral("%1-%2-%3").arg(day.year).arg(day.month, 2, 10, QChar(u'0')).arg(day.day, 2, 10, QChar(u'0'));
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
    for (const QString& line : QString::fromUtf8(FileBytes(path)).split(u'\n')) {
        if (line.startsWith(key + u'='))
            values.append(line.mid(key.size() + 1));
    }
    return values;
}

namespace {
// "%%" (or "$$") is the sign itself; a lone sign starts something systemd expands, marked here.
QString ResolveDoubled(const QString& word, QChar sign)
{
    QString resolved;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] != sign)
            resolved += word[i];
        else
            resolved += word.mid(++i, 1) == QString(sign) ? QString(sign) : QStringLiteral("<expanded>");
    }
    return resolved;
}
} // namespace

QStringList SplitCommandLine(const QString& value)
{
    static const QRegularExpression quoted(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QStringList words;
    for (const QRegularExpressionMatch& match : quoted.globalMatch(value)) {
        const QString text = match.captured(1);
        QString word;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] != u'\\' || i + 1 == text.size()) {
                word += text[i];
                continue;
            }
            const QChar next = text[++i];
            if (next == u'x') {
                word += QChar(text.mid(i + 1, 2).toUShort(nullptr, 16));
                i += 2;
            } else {
                word += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
            }
        }
        word = ResolveDoubled(word, u'%');
        words.append(words.isEmpty() ? word : ResolveDoubled(word, u'$'));
    }
    return words;
}

int RunWithStubs(const QStringList& command, const QString& stubs, QProcessEnvironment environment, QString* output)
{
    environment.insert(QStringLiteral("PATH"), stubs + QStringLiteral(":/usr/bin:/bin"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(command.value(0), command.mid(1));
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return process.exitCode();
}

QStringList ReadWords(const QString& path)
{
    QStringList words = QString::fromUtf8(FileBytes(path)).split(QChar(u'\0'));
    if (!words.isEmpty() && words.last().isEmpty())
        words.removeLast();
    return words;
}

bool RunKilledAt(int killAt,
                 const std::function<void(std::function<void()>)>& observe,
                 const std::function<void()>& run)
{
    const pid_t child = ::fork();
    if (child == 0) {
        int steps = 0;
        observe([&steps, killAt] {
            if (++steps == killAt)
                ::kill(::getpid(), SIGKILL);
        });
        run();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    EXPECT_TRUE(killed || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
    return killed;
}
