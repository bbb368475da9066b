#include "ReminderTestSupport.h"

#include "platform/DBusDesktopNotifier.h"
#include "platform/DesktopNotifier.h"
#include "platform/MessageRecorder.h"
#include "platform/SystemdNotificationDatabase.h"
#include "settings/AppSettings.h"
#include "settings/ReminderAlert.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QVariantMap>

namespace {
const QByteArray kProgramStub = R"(: > "$STUB_LOG/program.args"
for a in "$@"; do printf '%s\0' "$a" >> "$STUB_LOG/program.args"; done)";

// Shows what it is asked to and answers as told.
class RecordingNotifier final : public DesktopNotifier
{
public:
    Outcome Show(const QString& summary, const QString& body) override
    {
        shown.append({summary, body});
        return answer;
    }

    QList<QStringList> shown;
    Outcome answer = Outcome::Closed;
};

// The desktop's notification service on a private bus: records what it is asked to show
// and answers, after its reply, with the action it is told to (none: the notification closes).
class FakeNotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList received;
    QString action;

public slots:
    QStringList GetCapabilities()
    {
        return {QStringLiteral("actions"), QStringLiteral("body-markup")};
    }

    uint
    Notify(QString app, uint, QString icon, QString summary, QString body, QStringList actions, QVariantMap hints, int)
    {
        received = {
            app, icon, summary, body, actions.join(u','), hints.value(QStringLiteral("desktop-entry")).toString()};
        QTimer::singleShot(0, this, [this] { action.isEmpty() ? NotificationClosed(7, 2) : ActionInvoked(7, action); });
        return 7;
    }

signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);
};

QString Single(const QStringList& values)
{
    return values.size() == 1 ? values.front() : QStringLiteral("<%1 values>").arg(values.size());
}
} // namespace

class SystemdRemindersTest : public UnitFolderTest
{
protected:
    void SetUp() override
    {
        UnitFolderTest::SetUp();
        for (const char* folder : {"home", "config", "runtime", "stubs", "log"})
            ASSERT_TRUE(QDir().mkpath(TempPath(QString::fromLatin1(folder))));
        const std::pair<const char*, QByteArray> environment[] = {
            {"HOME", TempPath(QStringLiteral("home")).toUtf8()},
            {"XDG_CONFIG_HOME", TempPath(QStringLiteral("config")).toUtf8()},
            {"XDG_RUNTIME_DIR", TempPath(QStringLiteral("runtime")).toUtf8()},
            {"LANG", "de_DE.UTF-8"},
            {"LC_TIME", "en_GB.UTF-8"},
            {"LC_ALL", QByteArray()}};
        for (const auto& [name, value] : environment)
            m_environment.push_back(std::make_unique<ScopedEnvironment>(name, value));
        m_folder = SystemdNotificationDatabase::DefaultUnitFolder();
        Install();
    }

    // Runs a service's command as systemd would, with the stubs first on PATH.
    int RunService(int n)
    {
        const QStringList words = SplitCommandLine(Single(UnitValues(Unit(n, "service"), QStringLiteral("ExecStart"))));
        QFile::remove(TempPath(QStringLiteral("log/program.args")));
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("STUB_LOG"), TempPath(QStringLiteral("log")));
        return RunWithStubs(words, TempPath(QStringLiteral("stubs")), environment);
    }

    QStringList ProgramArguments() const
    {
        return ReadWords(TempPath(QStringLiteral("log/program.args")));
    }

    // Shows entry n as the program started by its alert does; the program it would become
    // when she chooses "Open Velumina" is recorded.
    int ShowAlert(int n, DesktopNotifier& notifier, bool discreet = false)
    {
        started.clear();
        return ShowReminderAlert(*m_database, static_cast<NotificationHandle>(n), notifier, discreet,
                                 [this](const QString& program, const QStringList& arguments) {
                                     started = QStringList{program} + arguments;
                                 });
    }

    QStringList started;

    // systemd's own reading of the units, where it is installed.
    void ExpectSystemdAccepts(const QStringList& units)
    {
        const QString analyze = QStringLiteral("/usr/bin/systemd-analyze");
        if (!QFileInfo::exists(analyze))
            return;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(analyze, QStringList{QStringLiteral("verify")} + units);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAll().toStdString();
    }

private:
    std::vector<std::unique_ptr<ScopedEnvironment>> m_environment;
};

TEST_F(SystemdRemindersTest, EachEntryIsATimerAndServicePairAndNoCommandLineCarriesHerDates)
{
    RecordPeriod(Date(2026, 11, 9), 3); // the data load: the wake-up
    m_commands->clear();
    TheAppSettings().interactiveRun = true;
    TheAppSettings().SetAlert(true, 0);

    const auto systemctl = [](const char* verb, const QStringList& timers) {
        return QStringList{QStringLiteral("systemctl"), QStringLiteral("--user"), QString::fromLatin1(verb)} + timers;
    };
    const std::vector<QStringList> expected = {
        systemctl("daemon-reload", {}),
        systemctl("restart", {QStringLiteral("velumina-2.timer"), QStringLiteral("velumina-3.timer")})};
    EXPECT_EQ(*m_commands, std::vector<std::vector<QStringList>>{expected});

    // The wake-up and the two alerts, with what systemd needs to replay a missed one. The
    // alert's text stays in the timer, hers alone; the alert speaks her language settings.
    const struct
    {
        int n;
        const char* suffix;
        const char* key;
        QString value;
    } values[] = {
        {1, "timer", "OnCalendar", QStringLiteral("2026-12-20 09:00:00")},
        {2, "timer", "OnCalendar", QStringLiteral("2026-12-07 09:00:00")},
        {3, "timer", "OnCalendar", QStringLiteral("2027-01-04 09:00:00")},
        {2, "service", "Environment", QStringLiteral("\"LANG=de_DE.UTF-8\" \"LC_TIME=en_GB.UTF-8\"")},
        {2, "timer", "X-Velumina-Text", QStringLiteral("Velumina: next cycle starts at December 7")},
    };
    for (const auto& value : values) {
        EXPECT_EQ(Single(UnitValues(Unit(value.n, value.suffix), QString::fromLatin1(value.key))), value.value)
            << value.n << value.suffix << ' ' << value.key;
    }
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(Single(UnitValues(Unit(n, "timer"), QStringLiteral("Persistent"))), QStringLiteral("true"));
        EXPECT_EQ(QFileInfo(Link(n)).symLinkTarget(), Unit(n, "timer"));
        EXPECT_EQ(FileMode(Unit(n, "timer")), 0600);
        EXPECT_EQ(FileMode(Unit(n, "service")), 0600);
    }
    ExpectSystemdAccepts({Unit(1, "timer"), Unit(2, "timer"), Unit(3, "timer")});

    // What systemd starts: the program with the alert's number, in the language settings.
    QList<QStringList> commandLines;
    for (const int n : {2, 3}) {
        commandLines.append(SplitCommandLine(Single(UnitValues(Unit(n, "service"), QStringLiteral("ExecStart")))));
        commandLines.append(UnitValues(Unit(n, "service"), QStringLiteral("Environment")));
    }
    const QRegularExpression privateWords(QStringLiteral("cycle|period|ovulat|fertil|bleed|January|December|Dezember|"
                                                         "Januar|2026|2027|\\b[0-9]{1,2}[./-][0-9]{1,2}\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const QStringList& words : commandLines)
        EXPECT_FALSE(words.join(u' ').contains(privateWords)) << words.join(u' ').toStdString();

    // Discreet: the notification itself says no more than a command line may. (What notify-send
    // gets without a notification service is in BackgroundRun_test.cpp.)
    RecordingNotifier notifier;
    ShowAlert(3, notifier, true);
    EXPECT_EQ(notifier.shown, QList<QStringList>{(QStringList{QStringLiteral("Velumina reminder"), QString()})});

    // Switching off removes the three pairs and their links and stops the timers.
    m_commands->clear();
    TheAppSettings().SetAlert(false, 0);
    EXPECT_TRUE(UnitNames().isEmpty()) << UnitNames().join(u' ').toStdString();
    ASSERT_EQ(m_commands->size(), 1u);
    EXPECT_EQ(m_commands->front().back(),
              systemctl("stop", {QStringLiteral("velumina-1.timer"), QStringLiteral("velumina-2.timer"),
                                 QStringLiteral("velumina-3.timer")}));
}

TEST_F(SystemdRemindersTest, EntriesReadBackExactlyAndOtherUnitsStayUntouched)
{
    ASSERT_TRUE(QDir().mkpath(m_folder));
    const QStringList foreign = {QStringLiteral("backup.timer"), QStringLiteral("velumina-07.timer"),
                                 QStringLiteral("velumina-x.timer"), QStringLiteral("velumina-5.timer"),
                                 QStringLiteral("velumina-1.service")};
    for (const QString& name : foreign)
        WriteScript(m_folder + u'/' + name, "[Timer]\nOnCalendar=daily");

    NotificationEntry alert = Alert(kExecutable, Date(2027, 2, 27), Date(2027, 2, 28));
    alert.notification->dialogText = QString::fromUtf16(u"Velumina: 100% <b>sure</b> & \"so\" $HOME \\ \u00fc\nnext");
    NotificationHandle handle = 0;
    ASSERT_TRUE(m_database->Add(alert, handle));
    EXPECT_EQ(handle, 2u); // 1 is taken by a stray service file

    std::vector<NotificationHandle> handles;
    ASSERT_TRUE(m_database->ListHandles(NotificationDatabase::kAllHandles, handles));
    EXPECT_EQ(handles, (std::vector<NotificationHandle>{2, 5}));
    EXPECT_FALSE(m_database->ListHandles(1, handles)); // more than asked for

    NotificationEntry read;
    ASSERT_TRUE(m_database->Read(2, read));
    EXPECT_TRUE(IsSameDate(read.trigger.startDay, Date(2027, 2, 27)));
    EXPECT_TRUE(IsSameDate(read.trigger.lastDay, Date(2027, 2, 28)));
    ASSERT_TRUE(read.notification.has_value());
    EXPECT_EQ(read.notification->dialogText, alert.notification->dialogText);
    EXPECT_FALSE(m_database->Read(5, read)); // not one of ours

    TheAppSettings().ClearNotifications(kAllEntries);
    QStringList left = QDir(m_folder).entryList(QDir::Files, QDir::Name);
    left.removeAll(QStringLiteral("velumina.lock"));
    QStringList expected = foreign;
    expected.sort();
    EXPECT_EQ(left, expected);
}

TEST_F(SystemdRemindersTest, PathsAndTextsReachTheirProgramsUnchanged)
{
    // A path systemd takes as the command itself, and one it must get through the shell.
    const QString folder = TempPath(QStringLiteral("My Apps 100%"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString plain = folder + QStringLiteral("/velumina $HOME");
    const QString quoted = folder + QStringLiteral("/vel\"u'mina\\");
    WriteScript(plain, kProgramStub);
    WriteScript(quoted, kProgramStub);

    NotificationHandle handle = 0;
    ASSERT_TRUE(m_database->Add(Wakeup(plain, Date(2026, 12, 20)), handle));
    ASSERT_TRUE(m_database->Add(Wakeup(quoted, Date(2026, 12, 20)), handle));
    NotificationEntry alert = Alert(quoted, Date(2026, 12, 20), Date(2026, 12, 21));
    alert.notification->dialogText = QStringLiteral("Velumina: <b>next</b> & \"cycle\" 100% $HOME \\ 'x' ;");
    ASSERT_TRUE(m_database->Add(alert, handle));

    EXPECT_EQ(RunService(1), 0);
    EXPECT_EQ(ProgramArguments(), QStringList{QStringLiteral("AppRunAtTime")});
    EXPECT_EQ(RunService(2), 0);
    EXPECT_EQ(ProgramArguments(), QStringList{QStringLiteral("AppRunAtTime")});
    EXPECT_EQ(RunService(3), 0);
    EXPECT_EQ(ProgramArguments(), (QStringList{QStringLiteral("--show-reminder"), QStringLiteral("3")}));

    // The program shows the text as it was registered; choosing it becomes the program.
    RecordingNotifier notifier;
    notifier.answer = DesktopNotifier::Outcome::Opened;
    EXPECT_EQ(ShowAlert(3, notifier), 1); // the recorder does not replace the process
    EXPECT_EQ(notifier.shown,
              QList<QStringList>{(QStringList{QStringLiteral("Velumina"), alert.notification->dialogText})});
    EXPECT_EQ(started, (QStringList{quoted, QStringLiteral("AppRunToHandleNotification")}));

    ExpectSystemdAccepts({Unit(1, "service"), Unit(2, "service"), Unit(3, "service"), Unit(1, "timer"),
                          Unit(2, "timer"), Unit(3, "timer")});
}

TEST_F(SystemdRemindersTest, AnAlertReplayedAfterTheStartItAnnouncesIsDropped)
{
    NotificationHandle handle = 0;
    ASSERT_TRUE(m_database->Add(Alert(kExecutable, Date(2026, 12, 30), Date(2026, 12, 31)), handle));
    RecordingNotifier notifier;
    const struct
    {
        CalDate today;
        bool shown;
    } rows[] = {
        {Date(2026, 12, 30), true}, {Date(2026, 12, 31), true}, {Date(2027, 1, 1), false}, {Date(2027, 2, 15), false}};
    for (const auto& row : rows) {
        SetToday(row.today.year, row.today.month, row.today.day);
        notifier.shown.clear();
        EXPECT_EQ(ShowAlert(1, notifier), 0);
        EXPECT_EQ(notifier.shown.size(), row.shown ? 1 : 0) << FormatShortDate(row.today).toStdString();
    }
    EXPECT_EQ(ShowAlert(2, notifier), 1); // no such alert
}

TEST_F(SystemdRemindersTest, WhyRemindersCannotArriveIsAskedForAndNeverShownWhileRegistering)
{
    const QString stubs = TempPath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(stubs));
    ScopedEnvironment path("PATH", stubs.toUtf8());
    MessageRecorder messages;

    // No user systemd: registering says nothing (start-up must not wait on a box), the
    // entries are written all the same, and the reason is there for the settings screen.
    TheAppSettings().ScheduleWakeup();
    TheAppSettings().ScheduleCycleAlert(Date(2027, 1, 4));
    EXPECT_TRUE(messages.Texts().isEmpty()) << messages.Texts().join(u'|').toStdString();
    EXPECT_EQ(UnitNames().size(), 4);
    EXPECT_EQ(TheAppSettings().ReminderDeliveryProblem(),
              QStringLiteral("Reminders cannot appear on this computer: it runs no systemd user session."));

    // A user systemd: nothing to say (notifications go over D-Bus, notify-send is not needed).
    WriteScript(stubs + QStringLiteral("/systemctl"), "exit 0");
    ASSERT_TRUE(QDir().mkpath(TempPath(QStringLiteral("runtime/systemd"))));
    WriteScript(TempPath(QStringLiteral("runtime/systemd/private")), "");
    EXPECT_TRUE(TheAppSettings().ReminderDeliveryProblem().isEmpty());
    EXPECT_TRUE(messages.Texts().isEmpty());
}

TEST_F(SystemdRemindersTest, AUnitThatCannotBeWrittenIsAFailedRegistration)
{
    // The unit folder is a file: nothing can be written into it.
    ASSERT_TRUE(QDir().mkpath(TempPath(QStringLiteral("config/systemd"))));
    WriteScript(m_folder, "");
    MessageRecorder messages;
    TheAppSettings().ScheduleWakeup();
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("User notification failed\nrc=0x")));
    EXPECT_FALSE(messages.Texts()[0].endsWith(QStringLiteral("rc=0x00000000")));
    EXPECT_TRUE(m_commands->empty());
}

TEST_F(SystemdRemindersTest, TheProgramWithAWindowNeverWaitsForTheLockButTriesAgain)
{
    RecordPeriod(Date(2026, 11, 9), 3);
    ASSERT_EQ(UnitNames().size(), 2); // the wake-up
    m_database->SetGiveUpWhenHeld(true);
    QLockFile other(m_database->LockFilePath());
    ASSERT_TRUE(other.tryLock(0));
    TheAppSettings().interactiveRun = true;
    TheAppSettings().Reschedule(); // returns at once: the alert waits for the lock
    EXPECT_EQ(UnitNames().size(), 2);
    other.unlock();
    QElapsedTimer waited;
    waited.start();
    while (UnitNames().size() != 4 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(UnitNames().size(), 4); // wake-up and the alert for 4 January
}

TEST_F(SystemdRemindersTest, TheTextTravelsOverDBusAndItsActionOpensVelumina)
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        GTEST_SKIP() << "dbus-daemon is not installed";
    QProcess bus;
    bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    FakeNotificationService service;
    QDBusConnection serviceBus = QDBusConnection::connectToBus(address, QStringLiteral("velumina-test-service"));
    ASSERT_TRUE(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    ASSERT_TRUE(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                          QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));

    NotificationHandle handle = 0;
    NotificationEntry alert = Alert(kExecutable, Date(2026, 12, 20), Date(2026, 12, 21));
    alert.notification->dialogText = QStringLiteral("Velumina: next cycle <starts> & soon");
    ASSERT_TRUE(m_database->Add(alert, handle));
    auto fallback = std::make_shared<RecordingCommandRunner::Log>();
    // Chosen, then closed.
    for (const QString& action : {QStringLiteral("default"), QString()}) {
        service.action = action;
        DBusDesktopNotifier notifier(QDBusConnection::connectToBus(address, QStringLiteral("velumina-test-client")),
                                     std::make_unique<RecordingCommandRunner>(fallback),
                                     QString::fromUtf16(kDiscreetReminderText));
        notifier.SetWaitLimit(10000);
        ShowAlert(1, notifier);
        const QString expected = QStringLiteral("Velumina|com.quorlen.Velumina|Velumina|"
                                                "Velumina: next cycle &lt;starts&gt; &amp; soon|"
                                                "default,Open Velumina|com.quorlen.Velumina");
        EXPECT_EQ(service.received.join(u'|'), expected);
        EXPECT_EQ(started.join(u' '),
                  action.isEmpty() ? QString() : kExecutable + QStringLiteral(" AppRunToHandleNotification"));
        QDBusConnection::disconnectFromBus(QStringLiteral("velumina-test-client"));
    }
    EXPECT_TRUE(fallback->empty());
    QDBusConnection::disconnectFromBus(QStringLiteral("velumina-test-service"));
    bus.kill();
    bus.waitForFinished();
}

#include "SystemdReminders_test.moc"
