#pragma once

#include <QString>

/// Shows one notification on the user's desktop. Tests replace it by one that records.
class DesktopNotifier
{
public:
    enum class Outcome {
        Opened, ///< she chose "Open Velumina"
        Closed, ///< shown, and closed or left without that choice
        Failed, ///< nothing could be shown
    };

    DesktopNotifier() = default;
    virtual ~DesktopNotifier();
    DesktopNotifier(const DesktopNotifier&) = delete;
    DesktopNotifier& operator=(const DesktopNotifier&) = delete;

    /// Shows `summary` and `body` (plain text; empty: none) and, where the desktop offers
    /// actions, an "Open Velumina" choice, waiting for it until the notification closes.
    virtual Outcome Show(const QString& summary, const QString& body) = 0;
};
