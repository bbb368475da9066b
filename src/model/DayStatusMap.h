#pragma once

#include "model/CalDate.h"

#include <cstdint>
#include <vector>

/// One level per calendar day for the map's years: 32 cells a month, 12 months a year.
/// Cells of day numbers a month lacks exist but are only reached by such a stored date.
/// Dates outside the map read as level 0 and their writes are dropped.
class DayStatusMap
{
public:
    static constexpr int kCellsPerMonth = 32;
    static constexpr int kCellsPerYear = 12 * kCellsPerMonth;
    static constexpr int kCellCount = (kMapLastYear - kMapFirstYear + 1) * kCellsPerYear;

    DayStatusMap();

    /// The cell of a date, or -1 when it lies outside the map.
    static int CellIndex(const CalDate& date);

    void Clear();
    int Level(const CalDate& date) const;
    bool IsBleeding(const CalDate& date) const;
    void SetLevel(const CalDate& date, int level);

    /// The level in a cell given by CellIndex (for walks that step through the cells).
    int LevelAtCell(int cell) const
    {
        return m_cells[static_cast<size_t>(cell)] & 3;
    }

    /// The day number after which every cell is 0 (INT_MIN when the map is empty).
    int LastNonZeroDayNumber() const;

private:
    std::vector<uint16_t> m_cells;
    int m_lastNonZeroDay;
};
