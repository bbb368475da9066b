#include "app/CMainApp.h"
#include "settings/ScheduledWakeup.h"

int main(int argc, char* argv[])
{
    // A scheduled wake-up brings the reminders up to date and ends: no window, no display.
    if (IsScheduledWakeup(argc, argv))
        return RunScheduledWakeup(argc, argv);

    CMainApp application(argc, argv);
    return application.Run();
}
