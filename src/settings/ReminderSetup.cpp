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
    auto database = std::make_unique<SystemdNotificationDatabase>(SystemdNotificationDatabase::DefaultUnitFolder(),
                                                                  std::make_unique<ProcessCommandRunner>(mode));
    // The program with a window never waits for a background run's lock: it tries again shortly.
    database->SetGiveUpWhenHeld(road == Road::Interactive);
    settings.SetNotificationDatabase(std::move(database));
    // Every change of her records also reaches the calendar file, when she keeps one.
    CycleDatabase::SetRecalculateHook([] {
        TheAppSettings().Reschedule();
        LiveCalendarFile::Follow();
    });
    // Reminders follow the program: whichever copy runs takes over those of a moved,
    // reinstalled or removed one.
    settings.AdoptEntries();
}

ReminderSetup::~ReminderSetup()
{
    CycleDatabase::SetRecalculateHook({});
    AppSettings& settings = TheAppSettings();
    settings.Notifications().WaitForPendingWork(kCommandGraceMs);
    settings.SetNotificationDatabase(nullptr);
}
