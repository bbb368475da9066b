#pragma once

/// True when the command line is exactly the one word "AppRunAtTime" (case-sensitive), with
/// which a scheduled wake-up starts the program.
bool IsScheduledWakeup(int argc, char* argv[]);

/// The background road of a scheduled wake-up: loads the settings, rolls the reminders on from
/// the cached cycle length and ends, without a window and without needing a display. Waits
/// for systemctl before it returns. Exit status 0: the reminders were rescheduled.
int RunScheduledWakeup(int argc, char* argv[]);
