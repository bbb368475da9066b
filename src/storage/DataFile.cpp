#include "model/CycleDatabase.h"

// The scrambled data file. Until it is written, nothing is stored.
bool CycleDatabase::Load()
{
    m_records.clear();
    Recalculate();
    return true;
}

bool CycleDatabase::Save()
{
    return true;
}
