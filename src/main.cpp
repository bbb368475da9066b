#include "app/StatusLine.h"
#include "model/CycleDatabase.h"
#include "settings/AppSettings.h"
#include "settings/ReminderSetup.h"
#include "settings/ScheduledWakeup.h"
#include "settings/SettingsAccess.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // A scheduled wake-up brings the reminders up to date and ends: no window, no display.
    if (IsScheduledWakeup(argc, argv))
        return RunScheduledWakeup(argc, argv);

    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromUtf16(kOrganizationName));
    QCoreApplication::setApplicationName(QString::fromUtf16(kApplicationName));
    ReminderSetup reminders(ReminderSetup::Road::Interactive);
    TheAppSettings().Load();
    TheCycleDatabase().Load();
    std::printf("%s\n", TodayStatusLine().toLocal8Bit().constData());
    return 0;
}
