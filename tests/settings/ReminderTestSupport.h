#pragma once

#include "TestSupport.h"

#include "model/CalDate.h"
#include "platform/CommandRunner.h"
#include "platform/NotificationEntry.h"
#include "platform/SystemdNotificationDatabase.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class MemoryNotificationDatabase;

/// Records the commands instead of running them; the list outlives the runner.
class RecordingCommandRunner final : public CommandRunner
{
public:
    using Log = std::vector<std::vector<QStringList>>;

    explicit RecordingCommandRunner(std::shared_ptr<Log> log);
    void Run(const std::vector<QStringList>& commands) override;
    void WaitForFinished(int msecs) override;

private:
    std::shared_ptr<Log> m_log;
};

/// Sets an environment variable for its lifetime (unset when `value` is null).
class ScopedEnvironment
{
public:
    ScopedEnvironment(const char* name, const QByteArray& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    QByteArray m_name;
    QByteArray m_previous;
    bool m_hadPrevious;
};

/// A fresh settings object on an inert memory database, with the executable at kExecutable
/// and the cycle database's recalculation reaching Reschedule.
class ReminderTest : public VeluminaTest
{
protected:
    static const QString kExecutable;

    void SetUp() override;
    void TearDown() override;

    /// A new settings object on a new memory database, as a new process has.
    void FreshSettings();
    MemoryNotificationDatabase& Memory();
    /// Stores bleeding days from `first` on, one after another.
    void RecordPeriod(const CalDate& first, int days);
    /// This executable's wake-up days and its visible alerts' days (yyyy-MM-dd), in handle order.
    QStringList WakeupDays()
    {
        return EntryDays(false);
    }
    QStringList AlertDays()
    {
        return EntryDays(true);
    }

private:
    QStringList EntryDays(bool alerts);

    MemoryNotificationDatabase* m_memory = nullptr;
};

/// The settings on a systemd unit folder, with the systemctl commands recorded.
class UnitFolderTest : public ReminderTest
{
protected:
    void TearDown() override;

    /// A fresh settings object on the systemd database of m_folder, as a new process has.
    SystemdNotificationDatabase& Install(SystemdNotificationDatabase::ChangeObserver observer = {});
    QString Unit(NotificationHandle n, const char* suffix) const;
    QString Link(NotificationHandle n) const;
    QStringList UnitNames() const;

    QString m_folder;
    std::shared_ptr<RecordingCommandRunner::Log> m_commands = std::make_shared<RecordingCommandRunner::Log>();
    SystemdNotificationDatabase* m_database = nullptr;
};

/// A value in the program's settings section, written and read as a new process would.

/// A date as yyyy-MM-dd.
QString IsoDate(const CalDate& day);

/// An entry as another process of this program (or another program) leaves it.
NotificationEntry Wakeup(const QString& application, const CalDate& day);
NotificationEntry Alert(const QString& application, const CalDate& day, const CalDate& start);

/// Writes an executable shell script.
void WriteScript(const QString& path, const QByteArray& body);

/// The values of `key` in a unit file, in file order.
QStringList UnitValues(const QString& path, const QString& key);

/// Splits an ExecStart= value as systemd does for the forms the program writes: words in
/// double quotes with C escapes; "%%" is "%" everywhere, "$$" is "$" in the arguments, and a
/// lone "%" or (in the arguments) "$" becomes "<expanded>", as systemd would replace it.
QStringList SplitCommandLine(const QString& value);

/// Runs `command` (the program, then its arguments) with `environment` and the stubs in
/// `stubs` first on PATH, which find STUB_LOG in `environment`. Its exit code; -1 when it
/// did not finish or crashed. `output` gets what it wrote to standard output.
int RunWithStubs(const QStringList& command,
                 const QString& stubs,
                 QProcessEnvironment environment,
                 QString* output = nullptr);

/// The NUL-separated words a stub wrote; empty when it did not run.
QStringList ReadWords(const QString& path);

/// Runs `run` in a child process. `observe` gets the step the code under test reports at each
/// change; the child is killed at its `killAt`-th. False when the child finished first.
bool RunKilledAt(int killAt,
                 const std::function<void(std::function<void()>)>& observe,
                 const std::function<void()>& run);
