#include "model/CycleDatabase.h"

// CSV export and import of the day records and the cycle history.
bool CycleDatabase::ExportDays(const QString&)
{
    return false;
}

bool CycleDatabase::ExportCycles(const QString&)
{
    return false;
}

bool CycleDatabase::ImportDays(const QString&)
{
    return false;
}
