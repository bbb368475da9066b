#include "app/CMainApp.h"
#include "app/CommandLine.h"
#include "settings/ScheduledWakeup.h"

int main(int argc, char* argv[])
{
    // A scheduled wake-up brings the reminders up to date and ends: no window, no display.
    if (IsScheduledWakeup(argc, argv))
        return RunScheduledWakeup(argc, argv);
    // --help, --version, --remove-reminders and a reminder's alert end here, without a window.
    if (const std::optional<int> status = RunCommandLine(argc, argv))
        return *status;

    CMainApp application(argc, argv);
    return application.Run();
}
