#pragma once

#include "platform/NotificationEntry.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

/// The platform's database of timed entries that start the program or show an alert while it
/// is not running. Entries are told apart only by their records.
///
/// Changes may be grouped between BeginUpdate and EndUpdate: a backend shared with other
/// processes holds them off meanwhile and applies the whole group at EndUpdate.
class NotificationDatabase
{
public:
    /// Asks ListHandles for every entry, however many there are.
    static constexpr std::size_t kAllHandles = static_cast<std::size_t>(-1);

    NotificationDatabase() = default;
    virtual ~NotificationDatabase();
    NotificationDatabase(const NotificationDatabase&) = delete;
    NotificationDatabase& operator=(const NotificationDatabase&) = delete;

    /// Adds a new entry. False (see LastError) when the platform refuses it.
    virtual bool Add(const NotificationEntry& entry, NotificationHandle& handle) = 0;
    /// The handles of all entries; false when there are more than `maxCount` or they cannot
    /// be listed.
    virtual bool ListHandles(std::size_t maxCount, std::vector<NotificationHandle>& handles) = 0;
    /// Reads one entry; false when it cannot be read.
    virtual bool Read(NotificationHandle handle, NotificationEntry& entry) = 0;
    /// Removes one entry; false when it stays.
    virtual bool Clear(NotificationHandle handle) = 0;
    /// The error code of the last refused operation.
    virtual uint32_t LastError() const = 0;

    virtual void BeginUpdate();
    virtual void EndUpdate();
    /// True after a BeginUpdate that found the backend held by another process and did not
    /// wait for it: the group's changes should be made later.
    virtual bool IsHeldElsewhere() const;
    /// Plain words for the user when entries cannot reach her on this machine; empty when
    /// nothing is known to be missing.
    virtual QString DeliveryProblem() const;
    /// Waits up to `msecs` for work the backend still does outside the program.
    virtual void WaitForPendingWork(int msecs);
};
