#include "settings/ReminderSetup.h"

#include "model/CycleDatabase.h"
#include "platform/ProcessCommandRunner.h"
#include "platform/SystemdNotificationDatabase.h"
#include "settings/AppSettings.h"
#include "storage/LiveCalendarFile.h"

namespace {
constexpr int kCommandGraceMs = 5000;
}

ReminderSetup::ReminderSetup(Road road)
{
    const auto mode =
        road == Road::Background ? ProcessCommandRunner::Mode::Wait : ProcessCommandRunner::Mode::InBackground;
    AppSettings& settings = TheAppSettings();
    settings.SetNotificationDatabase(std::make_unique<SystemdNotificationDatabase>(
        SystemdNotificationDatabase::DefaultUnitFolder(), std::make_unique<ProcessCommandRunner>(mode)));
    // Every change of her records also reaches the calendar file, when she keeps one.
    CycleDatabase::SetRecalculateHook([] {
        TheAppSettings().Reschedule();
        LiveCalendarFile::Follow();
    });
}

ReminderSetup::~ReminderSetup()
{
    CycleDatabase::SetRecalculateHook({});
    AppSettings& settings = TheAppSettings();
    settings.Notifications().WaitForPendingWork(kCommandGraceMs);
    settings.SetNotificationDatabase(nullptr);
}
