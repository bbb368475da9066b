#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "platform/CommandRunner.h"
#include "platform/ExecutablePath.h"
#include "platform/MemoryNotificationDatabase.h"
#include "platform/SystemdNotificationDatabase.h"
#include "settings/AppSettings.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

// Reschedule with 128 entries present: the wake-up and two alerts of this program among 125
// leftovers of another executable path. Every iteration registers all three again (a new day,
// a moved prediction), so it lists and reads every entry twice, removes three and adds three.
// Goal: under 50 ms with the systemd backend.

namespace {
const QString kProgram = QStringLiteral("/opt/velumina/bin/velumina");

class NoCommands final : public CommandRunner
{
public:
    void Run(const std::vector<QStringList>&) override
    {
    }
    void WaitForFinished(int) override
    {
    }
};

CalDate Day(int year, int month, int day)
{
    return CalDate{static_cast<int16_t>(month), static_cast<int16_t>(day), static_cast<int16_t>(year)};
}

NotificationEntry Entry(const QString& program, const CalDate& day, bool alert)
{
    NotificationEntry entry;
    entry.trigger.application = program;
    entry.trigger.arguments = alert ? QStringLiteral("AppRunToHandleNotification") : QStringLiteral("AppRunAtTime");
    entry.trigger.startDay = day;
    if (alert) {
        entry.trigger.lastDay = day;
        UserNotification notification;
        notification.dialogTitle = QStringLiteral("Velumina");
        notification.dialogText = QStringLiteral("Velumina: next cycle starts at January 4");
        entry.notification = notification;
    }
    return entry;
}

void RunReschedule(benchmark::State& state, std::unique_ptr<NotificationDatabase> database)
{
    SetExecutablePathForTesting(kProgram);
    ResetCycleDatabaseForTesting();
    ResetAppSettingsForTesting();
    SetCurrentTimeForTesting(ToTime(Day(2026, 12, 6), 12));
    std::vector<DayRecord> records;
    for (int i = 0; i < 3; ++i) {
        DayRecord record;
        record.date = Day(2026, 11, 9 + i);
        SetLevel(record, Heavy);
        records.push_back(record);
    }
    TheCycleDatabase().ReplaceRecords(records);

    NotificationHandle handle = 0;
    for (int i = 0; i < 125; ++i)
        database->Add(Entry(QStringLiteral("/home/user/old/velumina"), Day(2026, 12, 10), i % 2 == 0), handle);
    AppSettings& settings = TheAppSettings();
    settings.SetNotificationDatabase(std::move(database));
    settings.interactiveRun = true;
    settings.alertDaysInAdvance = 0; // two alerts on either day
    settings.Reschedule();           // this program's wake-up and alerts: 128 entries

    bool secondDay = false;
    for (auto _ : state) {
        secondDay = !secondDay;
        SetCurrentTimeForTesting(ToTime(Day(2026, 12, secondDay ? 7 : 6), 12));
        settings.lastAlertDate = CalDate{0, 0, 0};
        settings.Reschedule();
    }
    std::vector<NotificationHandle> handles;
    settings.Notifications().ListHandles(NotificationDatabase::kAllHandles, handles);
    state.counters["entries"] = static_cast<double>(handles.size());

    ResetAppSettingsForTesting();
    ResetCycleDatabaseForTesting();
    ClearCurrentTimeForTesting();
    SetExecutablePathForTesting({});
}
} // namespace

static void BM_RescheduleSystemd128(benchmark::State& state)
{
    QTemporaryDir folder;
    RunReschedule(state, std::make_unique<SystemdNotificationDatabase>(folder.filePath(QStringLiteral("systemd/user")),
                                                                       std::make_unique<NoCommands>()));
}
BENCHMARK(BM_RescheduleSystemd128)->Unit(benchmark::kMillisecond);

// The same work on the in-memory database: what the settings and the model cost alone.
static void BM_RescheduleMemory128(benchmark::State& state)
{
    RunReschedule(state, std::make_unique<MemoryNotificationDatabase>());
}
BENCHMARK(BM_RescheduleMemory128)->Unit(benchmark::kMillisecond);
