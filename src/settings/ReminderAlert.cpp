#include "settings/ReminderAlert.h"

#include "model/CalDate.h"
#include "platform/DesktopNotifier.h"
#include "platform/NotificationDatabase.h"

int ShowReminderAlert(NotificationDatabase& database,
                      NotificationHandle handle,
                      DesktopNotifier& notifier,
                      bool discreet,
                      const ProgramStarter& startProgram)
{
    NotificationEntry entry;
    if (!database.Read(handle, entry) || !entry.notification)
        return 1;
    const CalDate& lastDay = entry.trigger.lastDay;
    if (IsValidDate(lastDay) && IsAfter(Today(), lastDay))
        return 0;
    const UserNotification& notification = *entry.notification;
    const DesktopNotifier::Outcome outcome = discreet
                                                 ? notifier.Show(QString::fromUtf16(kDiscreetReminderText), QString())
                                                 : notifier.Show(notification.dialogTitle, notification.dialogText);
    if (outcome == DesktopNotifier::Outcome::Failed)
        return 1;
    if (outcome == DesktopNotifier::Outcome::Opened) {
        QStringList arguments;
        if (!entry.trigger.arguments.isEmpty())
            arguments.append(entry.trigger.arguments);
        startProgram(entry.trigger.application, arguments);
        return 1; // still here: the program could not be started
    }
    return 0;
}
