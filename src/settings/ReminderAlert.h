#pragma once

#include "platform/NotificationEntry.h"

#include <QString>
#include <QStringList>

#include <functional>

class DesktopNotifier;
class NotificationDatabase;

/// What a discreet reminder says, and all a command line ever gets: no date, no cycle word.
inline constexpr char16_t kDiscreetReminderText[] = u"Velumina reminder";

/// Replaces the process by a program (a test records it instead). Returns only on failure.
using ProgramStarter = std::function<void(const QString& program, const QStringList& arguments)>;

/// Shows the visible alert whose timer started the program: reads entry `handle` from the
/// database, drops it when it is no alert or today is past the start it announces (a
/// replayed one), and shows its text, or only kDiscreetReminderText when `discreet`. When she
/// chooses "Open Velumina" the process becomes the program the entry names. Exit status: 0
/// when shown or rightly dropped, 1 when the entry cannot be read or nothing could be shown.
int ShowReminderAlert(NotificationDatabase& database,
                      NotificationHandle handle,
                      DesktopNotifier& notifier,
                      bool discreet,
                      const ProgramStarter& startProgram);
