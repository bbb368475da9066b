#include "ReminderTestSupport.h"

#include "platform/SystemdNotificationDatabase.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>

// The real program on the road a scheduled wake-up takes, in a home of its own: a temporary
// HOME, XDG_CONFIG_HOME and XDG_RUNTIME_DIR, and a PATH whose systemctl and notify-send are
// stubs. It runs on the real clock.
class BackgroundRunTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        m_program =
            QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/../velumina")).canonicalFilePath();
        for (const char* folder : {"home", "config", "runtime", "stubs"})
            ASSERT_TRUE(QDir().mkpath(TempPath(QString::fromLatin1(folder))));
        WriteScript(TempPath(QStringLiteral("stubs/systemctl")),
                    "printf '%s\\n' \"$*\" >> \"$STUB_LOG/systemctl.log\"");
        WriteScript(TempPath(QStringLiteral("stubs/notify-send")),
                    "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$STUB_LOG/notify-send.args\"");
    }

    QString UnitFolder() const
    {
        return TempPath(QStringLiteral("config/systemd/user"));
    }

    QString SettingsFile() const
    {
        return TempPath(QStringLiteral("config/Quorlen Software/Velumina.conf"));
    }

    int RunProgram(const QStringList& arguments, QString* output = nullptr)
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), TempPath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), TempPath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), TempPath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("STUB_LOG"), TempPath(QString()));
        environment.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Berlin"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        // A program that needed a display would stop here.
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
        const QStringList command =
            arguments.value(0).startsWith(u'/') ? arguments : QStringList{m_program} + arguments;
        return RunWithStubs(command, TempPath(QStringLiteral("stubs")), environment, output);
    }

    QStringList Timers() const
    {
        return QDir(UnitFolder()).entryList({QStringLiteral("velumina-*.timer")}, QDir::Files, QDir::Name);
    }

    QString m_program;
};

TEST_F(BackgroundRunTest, AScheduledWakeUpRollsTheRemindersOnWithoutADisplay)
{
    if (m_program.isEmpty())
        GTEST_SKIP() << "the velumina program is not built next to the tests";
    const QDate today = QDate::currentDate();
    const QDate lastAlert = today.addDays(-5);
    {
        QSettings settings(SettingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Settings/LastAlertTime"),
                          lastAlert.toString(QStringLiteral("yyyyMMdd")).toInt());
        settings.setValue(QStringLiteral("Settings/CanchedCycleLen"), 30);
        settings.setValue(QStringLiteral("Settings/AlertDaysInAdvance"), 1);
    }

    ASSERT_EQ(RunProgram({QStringLiteral("AppRunAtTime")}), 0);

    const QDate start = lastAlert.addDays(30);
    ASSERT_EQ(Timers(), (QStringList{QStringLiteral("velumina-1.timer"), QStringLiteral("velumina-2.timer")}));
    const QString alert = UnitFolder() + QStringLiteral("/velumina-2");
    EXPECT_EQ(UnitValues(alert + QStringLiteral(".timer"), QStringLiteral("OnCalendar")),
              QStringList{start.addDays(-1).toString(QStringLiteral("yyyy-MM-dd 09:00:00"))});

    // The data file was not loaded: the chain keeps its cycle length.
    EXPECT_EQ(QSettings(SettingsFile(), QSettings::IniFormat).value(QStringLiteral("Settings/CanchedCycleLen")).toInt(),
              30);

    // The alert's process: the program, which shows the text from the unit. Without a
    // notification service on D-Bus, notify-send says only that it is a reminder.
    QString output;
    const QStringList alertCommand =
        SplitCommandLine(UnitValues(alert + QStringLiteral(".service"), QStringLiteral("ExecStart")).value(0));
    EXPECT_EQ(alertCommand, (QStringList{m_program, QStringLiteral("--show-reminder"), QStringLiteral("2")}));
    EXPECT_EQ(RunProgram(alertCommand), 0);
    EXPECT_EQ(ReadWords(TempPath(QStringLiteral("notify-send.args"))),
              (QStringList{QStringLiteral("--app-name=Velumina"), QStringLiteral("--"),
                           QStringLiteral("Velumina reminder")}));

    // The command line: everything the program made goes, and it says how many.
    EXPECT_EQ(RunProgram({QStringLiteral("--no-such-option")}), 2);
    EXPECT_EQ(RunProgram({QStringLiteral("--remove-reminders")}, &output), 0);
    EXPECT_EQ(output, QStringLiteral("Removed 2 reminders of Velumina.\n"));
    EXPECT_TRUE(Timers().isEmpty());
    EXPECT_EQ(RunProgram({QStringLiteral("--remove-reminders")}, &output), 0);
    EXPECT_EQ(output, QStringLiteral("Velumina had no reminders to remove.\n"));
}
