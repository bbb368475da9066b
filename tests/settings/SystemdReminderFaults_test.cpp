#include "ReminderTestSupport.h"

#include "platform/FileLock.h"
#include "platform/MessageRecorder.h"
#include "platform/SystemdNotificationDatabase.h"
#include "settings/AppSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryDir>

#include <functional>
#include <sys/resource.h>

// The reminder folder when things go wrong: processes killed between any two of their
// changes, leftovers of such kills, lock files that name nobody, and files that are not
// regular files under the names the program uses.

namespace {
const QString kOtherProgram = QStringLiteral("/usr/bin/calendar");

// The start days of this program's complete entries (timer, service and link all there).
struct Found
{
    QStringList wakeups;
    QStringList alerts;
};
} // namespace

class SystemdReminderFaultTest : public UnitFolderTest
{
protected:
    void SetUp() override
    {
        UnitFolderTest::SetUp();
        // Hundreds of runs each write and sync a dozen small files: a folder in memory, where
        // the machine has one, keeps them from waiting for the disk.
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            m_memoryFolder = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/velumina-test-XXXXXX"));
        m_folder = m_memoryFolder && m_memoryFolder->isValid() ? m_memoryFolder->filePath(QStringLiteral("units"))
                                                               : TempPath(QStringLiteral("units"));
    }

    // This program's complete wake-ups and alerts, as the folder holds them (what this reading
    // says about the folder is not the program's to say).
    Found Entries()
    {
        MessageRecorder quiet;
        SystemdNotificationDatabase database(m_folder, nullptr);
        std::vector<NotificationHandle> handles;
        Found found;
        if (!database.ListHandles(NotificationDatabase::kAllHandles, handles))
            return found;
        for (const NotificationHandle handle : handles) {
            NotificationEntry entry;
            if (database.Read(handle, entry) && entry.trigger.application == kExecutable &&
                QFileInfo::exists(Unit(handle, "service")) &&
                QFileInfo(Link(handle)).symLinkTarget() == Unit(handle, "timer"))
                (entry.notification ? found.alerts : found.wakeups).append(IsoDate(entry.trigger.startDay));
        }
        return found;
    }

    // Every unit has its partner and its link, and nothing else is left of the program's work.
    QStringList Untidy() const
    {
        QStringList untidy;
        const QDir folder(m_folder);
        for (const QString& name : folder.entryList(QDir::Files | QDir::System | QDir::Hidden)) {
            if (name.endsWith(QLatin1String(".service"))) {
                if (!folder.exists(name.chopped(8) + QStringLiteral(".timer")))
                    untidy.append(name + QStringLiteral(" without its timer"));
            } else if (name.endsWith(QLatin1String(".timer"))) {
                if (!folder.exists(name.chopped(6) + QStringLiteral(".service")))
                    untidy.append(name + QStringLiteral(" without its service"));
                if (!QFileInfo(folder.filePath(QStringLiteral("timers.target.wants/") + name)).isSymLink())
                    untidy.append(name + QStringLiteral(" without its link"));
            } else {
                untidy.append(name);
            }
        }
        for (const QFileInfo& link : QDir(m_folder + QStringLiteral("/timers.target.wants"))
                                         .entryInfoList(QDir::Files | QDir::System | QDir::Hidden)) {
            if (!QFileInfo::exists(link.symLinkTarget()))
                untidy.append(link.fileName() + QStringLiteral(" links nowhere"));
        }
        return untidy;
    }

    std::unique_ptr<QTemporaryDir> m_memoryFolder;
};

TEST_F(SystemdReminderFaultTest, AKillAtAnyStepLeavesAWakeupAndTheNextRunTidiesUp)
{
    // A background run rolls the alert on; an interactive one follows a new prediction. Both
    // replace a wake-up and alerts registered before, beside another program's entry.
    struct Scenario
    {
        const char* name;
        int oldAlerts;
        std::function<void()> run;
        QStringList alertDays;
    };
    RecordPeriod(Date(2026, 11, 9), 3);
    const std::vector<Scenario> scenarios = {
        {"background",
         1,
         [] {
             AppSettings& settings = TheAppSettings();
             settings.lastAlertDate = Date(2026, 12, 5);
             settings.cachedCycleLen = 28;
             settings.Reschedule();
         },
         {QStringLiteral("2027-01-01")}},
        {"interactive",
         2,
         [] {
             AppSettings& settings = TheAppSettings();
             settings.interactiveRun = true;
             settings.alertDaysInAdvance = 0;
             settings.lastAlertDate = Date(2026, 11, 30);
             settings.Reschedule();
         },
         {QStringLiteral("2026-12-07"), QStringLiteral("2027-01-04")}},
    };

    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        NotificationHandle handle = 0;
        auto prepare = [&] {
            QDir(m_folder).removeRecursively();
            SystemdNotificationDatabase& before = Install();
            ASSERT_TRUE(before.Add(Wakeup(kExecutable, Date(2026, 12, 10)), handle));
            for (int i = 0; i < scenario.oldAlerts; ++i)
                ASSERT_TRUE(before.Add(Alert(kExecutable, Date(2026, 12, 28 + i), Date(2026, 12, 29 + i)), handle));
            ASSERT_TRUE(before.Add(Wakeup(kOtherProgram, Date(2026, 12, 8)), handle));
        };

        // Killed at the k-th change; then the next run, which would leave the folder as it is
        // at each of its changes if it were killed there too.
        QStringList changes;
        for (int k = 1;; ++k) {
            prepare();
            const auto observe = [this](std::function<void()> step) { Install([step](const QString&) { step(); }); };
            if (!RunKilledAt(k, observe, scenario.run))
                break;
            SCOPED_TRACE(QStringLiteral("killed at change %1").arg(k).toStdString());
            QString broken;
            Install([&](const QString& path) {
                if (k == 1)
                    changes.append(QFileInfo(path).fileName());
                if (!broken.isEmpty())
                    return;
                const Found found = Entries();
                if (found.wakeups.isEmpty() || found.alerts.isEmpty() || !QFileInfo::exists(Unit(handle, "timer")))
                    broken = path;
            });
            scenario.run();
            ASSERT_EQ(broken, QString()) << "a kill before this change leaves no wake-up, no alert or "
                                            "loses another program's entry";
            // The run that was not stopped leaves exactly what it should.
            const Found found = Entries();
            ASSERT_EQ(found.wakeups, QStringList{QStringLiteral("2026-12-20")});
            ASSERT_EQ(found.alerts, scenario.alertDays);
            ASSERT_EQ(Untidy(), QStringList());
        }
        // Among the kill points: between a service and its timer written, and between the
        // removals of an entry's link, service and timer.
        const QString sequence = changes.join(u' ');
        EXPECT_TRUE(
            sequence.contains(QRegularExpression(QStringLiteral("velumina-(\\d+).service velumina-\\1.timer"))));
        EXPECT_TRUE(sequence.contains(
            QRegularExpression(QStringLiteral("velumina-(\\d+).timer velumina-\\1.service velumina-\\1.timer"))))
            << sequence.toStdString();
    }
}

TEST_F(SystemdReminderFaultTest, ALockThatNamesNobodyOrIsALinkIsNeverWaitedForNorFollowed)
{
    ASSERT_TRUE(QDir().mkpath(m_folder));
    SystemdNotificationDatabase& database = Install();
    database.SetLockTimeout(300);
    MessageRecorder messages;
    const QString lockPath = database.LockFilePath();
    const QString target = TempPath(QStringLiteral("target"));
    // Left by a process killed while it wrote the lock, by one that is gone, and links planted
    // at its name, to a file or to nothing.
    const struct
    {
        QByteArray left;
        bool link;
        bool targetExists;
        FileLock::Error error;
    } rows[] = {
        {QByteArray(), false, false, FileLock::Error::Held},
        {"999999999\nvelumina\n" + QSysInfo::machineHostName().toUtf8() + '\n', false, false, FileLock::Error::Held},
        {QByteArray(), true, true, FileLock::Error::NotUsable},
        {QByteArray(), true, false, FileLock::Error::NotUsable}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.left.size() + 10 * row.link + 100 * row.targetExists);
        QFile::remove(target);
        if (row.targetExists)
            WriteScript(target, "keep");
        const QByteArray kept = FileBytes(target);
        if (row.link)
            ASSERT_TRUE(QFile::link(target, lockPath));
        else
            ASSERT_TRUE(WriteWholeFile(lockPath, row.left));
        database.BeginUpdate();
        FileLock other(lockPath);
        EXPECT_FALSE(other.TryLock());
        EXPECT_EQ(other.LastError(), row.error);
        database.EndUpdate();
        EXPECT_EQ(FileBytes(target), kept);
        EXPECT_EQ(QFileInfo::exists(target), row.targetExists);
        EXPECT_EQ(QFileInfo(lockPath).isSymLink(), row.link);
        QFile::remove(lockPath);
    }
    EXPECT_TRUE(messages.Texts().join(u'|').contains(QStringLiteral("is a symbolic link")));
}

TEST_F(SystemdReminderFaultTest, ForeignFilesUnderUnitNamesAreLeftAlone)
{
    constexpr qint64 kHuge = qint64{200} << 20;
    const QString lockPath = m_folder + QStringLiteral("/velumina.lock");
    struct Row
    {
        const char* name;
        std::function<bool()> plant;
        NotificationHandle next; // the number the wake-up gets
        QStringList said;        // what the one message says; nothing said when empty
        std::function<bool()> kept;
    };
    const Row rows[] = {
        // Opening one of these would wait for ever.
        {"named pipes",
         [&] { return MakePipe(Unit(1, "timer")) && MakePipe(Unit(2, "service")); },
         3,
         {QDir::toNativeSeparators(Unit(1, "timer")), QStringLiteral("not a regular file")},
         [&] { return IsPipe(Unit(1, "timer")) && IsPipe(Unit(2, "service")); }},
        // 200 MB after a reminder's first lines, all of it one line; sparse, so made at once.
        {"oversized timer",
         [&] {
             QFile timer(Unit(1, "timer"));
             return timer.open(QIODevice::WriteOnly) &&
                    timer.write("# Written by Velumina, which replaces and removes this file itself.\n[Unit]\n"
                                "X-Velumina-Text=") > 0 &&
                    timer.resize(kHuge);
         },
         2,
         {QDir::toNativeSeparators(Unit(1, "timer")), QStringLiteral("larger than")},
         [&] { return QFileInfo(Unit(1, "timer")).size() == kHuge; }},
        // The update goes on without the lock and says so once.
        {"named pipe as lock",
         [&] { return MakePipe(lockPath); },
         1,
         {QStringLiteral("velumina.lock")},
         [&] { return IsPipe(lockPath); }},
        // What an addition killed between the service and its timer leaves goes; a unit of the
        // same pattern somebody wrote by hand, and a link to the leftover, stay.
        {"hand-written unit and link",
         [&] {
             NotificationHandle handle = 0;
             WriteScript(Unit(8, "service"), "[Service]\nExecStart=/bin/true");
             return Install().Add(Wakeup(kExecutable, Date(2026, 12, 10)), handle) &&
                    QFile::rename(Unit(handle, "service"), Unit(7, "service")) && QFile::remove(Link(handle)) &&
                    QFile::remove(Unit(handle, "timer")) && QFile::link(Unit(7, "service"), Unit(9, "service"));
         },
         1,
         {},
         [&] {
             return !QFileInfo::exists(Unit(7, "service")) && QFileInfo::exists(Unit(8, "service")) &&
                    QFileInfo(Unit(9, "service")).isSymLink();
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(m_folder).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(m_folder + QStringLiteral("/timers.target.wants")));
        ASSERT_TRUE(row.plant());
        MessageRecorder messages;
        Install();
        rusage before = {};
        ::getrusage(RUSAGE_SELF, &before);
        RunBesidePipe(Unit(1, "timer"), [] {
            TheAppSettings().ScheduleWakeup();
            return true;
        });
        rusage after = {};
        ::getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32 * 1024) << "kilobytes more at the peak";
        EXPECT_TRUE(QFileInfo(Unit(row.next, "timer")).isFile()) << "the wake-up went to the next free number";
        EXPECT_EQ(Entries().wakeups.size(), 1);
        RunBesidePipe(Unit(1, "timer"), [] {
            TheAppSettings().ClearNotifications(kAllEntries);
            return true;
        });
        EXPECT_FALSE(QFileInfo::exists(Unit(row.next, "timer")));
        EXPECT_TRUE(row.kept());
        ASSERT_EQ(messages.Messages().size(), row.said.isEmpty() ? 0u : 1u)
            << messages.Texts().join(u'|').toStdString();
        for (const QString& words : row.said)
            EXPECT_TRUE(messages.Texts()[0].contains(words)) << words.toStdString();
    }
}
