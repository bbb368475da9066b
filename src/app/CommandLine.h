#pragma once

#include <optional>

/// The command line of an interactive start: --help and --version print and end,
/// --remove-reminders removes every reminder the program made and says how many, and the
/// hidden --show-reminder <number> shows the alert a reminder's timer started. None of these
/// needs a display. Without any of them (no option, or only words such as the one a chosen
/// notification starts the program with, or Qt's own single-dash options) the result is
/// empty and the interactive start goes on. An unknown "--" option is an error (status 2).
std::optional<int> RunCommandLine(int& argc, char** argv);
