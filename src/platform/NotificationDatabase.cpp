#include "platform/NotificationDatabase.h"

NotificationDatabase::~NotificationDatabase() = default;

void NotificationDatabase::BeginUpdate()
{
}

bool NotificationDatabase::IsHeldElsewhere() const
{
    return false;
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
