#pragma once

#include "platform/CalendarDay.h"

#include <QString>

#include <cstdint>
#include <optional>

// The records of one entry in the notification database: when it fires, what it starts and,
// for a visible alert, what the user sees.

/// Identifies an entry within its notification database.
using NotificationHandle = uint32_t;

/// Action flag of a visible alert: it shows a dialog (the desktop's notification). Other bits
/// found in a stored entry carry no meaning and are kept as read.
inline constexpr uint32_t kNotifyDialog = 4;

/// What the user sees when a visible alert fires.
struct UserNotification
{
    uint32_t actionFlags = kNotifyDialog;
    QString dialogTitle;
    QString dialogText;
    QString sound; ///< empty: none
    uint32_t maxSound = 0;
    uint32_t reserved = 0;
};

/// When an entry fires and which program it starts.
struct NotificationTrigger
{
    QString application; ///< full path of the executable
    QString arguments;   ///< its command line
    CalDate startDay{0, 0, 0};
    int startHour = 9; ///< local time, on the full hour
    /// The last day on which a visible alert is still worth showing (the predicted start it
    /// announces); a later catch-up of a missed alert is dropped. Empty: no limit.
    CalDate lastDay{0, 0, 0};
};

/// One entry: a wake-up has no user notification, a visible alert has one.
struct NotificationEntry
{
    NotificationTrigger trigger;
    std::optional<UserNotification> notification;
};
