#include "settings/ScheduledWakeup.h"

#include "settings/AppSettings.h"
#include "settings/ReminderSetup.h"
#include "settings/SettingsAccess.h"

#include <QCoreApplication>

#include <cstring>

bool IsScheduledWakeup(int argc, char* argv[])
{
    return argc == 2 && std::strcmp(argv[1], "AppRunAtTime") == 0;
}

int RunScheduledWakeup(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromUtf16(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromUtf16(kApplicationName));
    ReminderSetup reminders(ReminderSetup::Road::Background);
    AppSettings& settings = TheAppSettings();
    settings.Load();
    settings.Reschedule();
    return 0;
}
