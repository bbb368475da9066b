#include "BenchSupport.h"
#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "platform/CommandRunner.h"
#include "platform/ExecutablePath.h"
#include "platform/MemoryNotificationDatabase.h"
#include "platform/SystemdNotificationDatabase.h"
#include "settings/AppSettings.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {
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

// Reschedule with 128 entries present: the wake-up and two alerts of this program among 125
// alerts left by another executable path. Every iteration registers all three again (a new day,
// a moved prediction), so it lists and reads every entry twice, removes three and adds three.
// Goal: under 50 ms with the systemd backend; the in-memory one shows what the settings and the
// model cost alone.
void BM_Reschedule128(benchmark::State& state, bool systemd)
{
    QTemporaryDir folder;
    std::unique_ptr<NotificationDatabase> database = std::make_unique<MemoryNotificationDatabase>();
    if (systemd)
        database = std::make_unique<SystemdNotificationDatabase>(folder.filePath(QStringLiteral("systemd/user")),
                                                                 std::make_unique<NoCommands>());
    SetExecutablePathForTesting(QStringLiteral("/opt/velumina/bin/velumina"));
    ResetAppSettingsForTesting();
    TheCycleDatabase().ReplaceRecords(Periods(CalDate{11, 9, 2026}, 1, {28}));
    NotificationEntry leftover;
    leftover.trigger.application = QStringLiteral("/home/user/old/velumina");
    leftover.trigger.arguments = QStringLiteral("AppRunToHandleNotification");
    leftover.trigger.startDay = leftover.trigger.lastDay = CalDate{12, 10, 2026};
    leftover.notification.emplace();
    leftover.notification->dialogTitle = QStringLiteral("Velumina");
    leftover.notification->dialogText = QStringLiteral("Velumina: next cycle starts at January 4");
    NotificationHandle handle = 0;
    for (int i = 0; i < 125; ++i)
        database->Add(leftover, handle);
    AppSettings& settings = TheAppSettings();
    settings.SetNotificationDatabase(std::move(database));
    settings.interactiveRun = true;
    settings.alertDaysInAdvance = 0; // two alerts on either day
    settings.Reschedule();           // this program's wake-up and alerts: 128 entries
    bool secondDay = false;
    for (auto _ : state) {
        secondDay = !secondDay;
        SetCurrentTimeForTesting(ToTime(secondDay ? CalDate{12, 7, 2026} : kBenchToday, 12));
        settings.lastAlertDate = CalDate{0, 0, 0};
        settings.Reschedule();
    }
    std::vector<NotificationHandle> handles;
    settings.Notifications().ListHandles(NotificationDatabase::kAllHandles, handles);
    state.counters["entries"] = static_cast<double>(handles.size());
    ResetAppSettingsForTesting();
    SetCurrentTimeForTesting(ToTime(kBenchToday, 12));
    SetExecutablePathForTesting({});
}
BENCHMARK_CAPTURE(BM_Reschedule128, Systemd, true);
BENCHMARK_CAPTURE(BM_Reschedule128, Memory, false);
} // namespace
