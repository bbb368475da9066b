#pragma once

#include "platform/NotificationDatabase.h"

#include <map>

/// Keeps the entries in memory: the inert backend of every process that has not installed
/// the user's scheduler, and the one tests look into. It can be told to refuse.
class MemoryNotificationDatabase final : public NotificationDatabase
{
public:
    MemoryNotificationDatabase();

    bool Add(const NotificationEntry& entry, NotificationHandle& handle) override;
    bool ListHandles(std::size_t maxCount, std::vector<NotificationHandle>& handles) override;
    bool Read(NotificationHandle handle, NotificationEntry& entry) override;
    bool Clear(NotificationHandle handle) override;
    uint32_t LastError() const override;

    /// Every later Add fails with `errorCode`; 0 accepts entries again.
    void RefuseAdding(uint32_t errorCode);
    /// Every later ListHandles fails.
    void RefuseListing(bool refuse);
    /// What DeliveryProblem answers (empty: nothing missing).
    void SetDeliveryProblem(const QString& problem);
    QString DeliveryProblem() const override;

    /// Entries added and cleared so far, to count the registrations one change makes.
    int AddedCount() const;
    int ClearedCount() const;

    const std::map<NotificationHandle, NotificationEntry>& Entries() const;

private:
    std::map<NotificationHandle, NotificationEntry> m_entries;
    NotificationHandle m_nextHandle;
    uint32_t m_refuseCode;
    uint32_t m_lastError;
    bool m_refuseListing;
    QString m_deliveryProblem;
    int m_added;
    int m_cleared;
};
