#include "model/DayStatusMap.h"

#include "model/CivilDays.h"

#include <algorithm>
#include <climits>

DayStatusMap::DayStatusMap() : m_cells(kCellCount, 0), m_lastNonZeroDay(INT_MIN)
{
}

int DayStatusMap::CellIndex(const CalDate& date)
{
    if (!AreDateFieldsInRange(date.year, date.month, date.day, kMapFirstYear, kMapLastYear))
        return -1;
    return (date.year - kMapFirstYear) * kCellsPerYear + (date.month - 1) * kCellsPerMonth + (date.day - 1);
}

void DayStatusMap::Clear()
{
    std::fill(m_cells.begin(), m_cells.end(), 0);
    m_lastNonZeroDay = INT_MIN;
}

int DayStatusMap::Level(const CalDate& date) const
{
    const int index = CellIndex(date);
    return index < 0 ? 0 : (m_cells[static_cast<size_t>(index)] & 3);
}

bool DayStatusMap::IsBleeding(const CalDate& date) const
{
    return Level(date) != 0;
}

void DayStatusMap::SetLevel(const CalDate& date, int level)
{
    const int index = CellIndex(date);
    if (index < 0)
        return;
    m_cells[static_cast<size_t>(index)] = static_cast<uint16_t>(level);
    if ((level & 3) != 0)
        m_lastNonZeroDay = std::max(m_lastNonZeroDay, DayNumberOf(date));
}

int DayStatusMap::LastNonZeroDayNumber() const
{
    return m_lastNonZeroDay;
}
