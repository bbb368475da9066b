#include "platform/MemoryNotificationDatabase.h"

#include <cerrno>

MemoryNotificationDatabase::MemoryNotificationDatabase()
    : m_nextHandle(1), m_refuseCode(0), m_lastError(0), m_refuseListing(false), m_added(0), m_cleared(0)
{
}

bool MemoryNotificationDatabase::Add(const NotificationEntry& entry, NotificationHandle& handle)
{
    if (m_refuseCode != 0) {
        m_lastError = m_refuseCode;
        return false;
    }
    handle = m_nextHandle++;
    m_entries[handle] = entry;
    ++m_added;
    return true;
}

bool MemoryNotificationDatabase::ListHandles(std::size_t maxCount, std::vector<NotificationHandle>& handles)
{
    handles.clear();
    if (m_refuseListing || m_entries.size() > maxCount) {
        m_lastError = EIO;
        return false;
    }
    for (const auto& [handle, entry] : m_entries)
        handles.push_back(handle);
    return true;
}

bool MemoryNotificationDatabase::Read(NotificationHandle handle, NotificationEntry& entry)
{
    const auto found = m_entries.find(handle);
    if (found == m_entries.end()) {
        m_lastError = ENOENT;
        return false;
    }
    entry = found->second;
    return true;
}

bool MemoryNotificationDatabase::Clear(NotificationHandle handle)
{
    if (m_entries.erase(handle) == 0) {
        m_lastError = ENOENT;
        return false;
    }
    ++m_cleared;
    return true;
}

uint32_t MemoryNotificationDatabase::LastError() const
{
    return m_lastError;
}

void MemoryNotificationDatabase::RefuseAdding(uint32_t errorCode)
{
    m_refuseCode = errorCode;
}

void MemoryNotificationDatabase::RefuseListing(bool refuse)
{
    m_refuseListing = refuse;
}

void MemoryNotificationDatabase::SetDeliveryProblem(const QString& problem)
{
    m_deliveryProblem = problem;
}

QString MemoryNotificationDatabase::DeliveryProblem() const
{
    return m_deliveryProblem;
}

int MemoryNotificationDatabase::AddedCount() const
{
    return m_added;
}

int MemoryNotificationDatabase::ClearedCount() const
{
    return m_cleared;
}

const std::map<NotificationHandle, NotificationEntry>& MemoryNotificationDatabase::Entries() const
{
    return m_entries;
}
