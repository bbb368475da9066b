#pragma once

/// Connects the reminders to the user's systemd for its lifetime: installs the systemd
/// notification database, makes the entries of other copies of the program its own
/// (AppSettings::AdoptEntries) and makes every recalculation of the cycle database reschedule
/// them. The background road waits for systemctl; the interactive road runs it beside the
/// user interface. Whether reminders can reach the user here is asked, not told: the
/// settings screen shows AppSettings::ReminderDeliveryProblem.
///
/// Create it after the application object and let it go before: at its end it waits a few
/// seconds for systemctl commands still running and returns to the inert database.
class ReminderSetup
{
public:
    enum class Road {
        Background,
        Interactive,
    };

    explicit ReminderSetup(Road road);
    ~ReminderSetup();
    ReminderSetup(const ReminderSetup&) = delete;
    ReminderSetup& operator=(const ReminderSetup&) = delete;
};
