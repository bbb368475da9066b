#include "platform/NotificationDatabase.h"

NotificationDatabase::~NotificationDatabase() = default;

void NotificationDatabase::BeginUpdate()
{
}

void NotificationDatabase::EndUpdate()
{
}

QString NotificationDatabase::DeliveryProblem() const
{
    return {};
}

void NotificationDatabase::WaitForPendingWork(int)
{
}
