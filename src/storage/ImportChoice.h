#pragma once

#include "model/CycleDatabase.h"
#include "storage/DayImporter.h"

#include <QString>

#include <vector>

/// How imported days meet the days already stored.
enum class ImportMode {
    Add,     ///< her own record stays on a date both have
    Replace, ///< the stored days are removed first
};

/// The texts around an import and the step that stores it.
class ImportChoice
{
public:
    /// "312 days from a Clue export, 2 Mar 2019 to 30 Nov 2026; 4 entries skipped: unknown
    /// flow value." and, when they apply, the notes shortened and the line the reading ended at.
    static QString Preview(const ImportedDays& days);

    /// The preview and what she chooses between, for the days stored now.
    static QString Question(const ImportedDays& days, const std::vector<DayRecord>& stored);

    /// The dates both `stored` and `imported` have (both in date order).
    static int Clashes(const std::vector<DayRecord>& stored, const std::vector<DayRecord>& imported);

    /// `stored` with the imported days of the dates it does not have, in date order.
    static std::vector<DayRecord> Merge(const std::vector<DayRecord>& stored, const std::vector<DayRecord>& imported);

    /// Stores the days in one step and one save. When that fails nothing changes, the reason
    /// has been shown, and the result is false.
    static bool Store(CycleDatabase& database, const ImportedDays& days, ImportMode mode);

    /// "Imported 312 days." and, after adding, the dates where her own record stayed.
    static QString Done(int imported, int clashes);
};
