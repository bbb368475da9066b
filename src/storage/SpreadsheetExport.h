#pragma once

#include "model/CycleDatabase.h"

#include <QByteArray>
#include <QString>

#include <vector>

/// The days and the cycle history as spreadsheet programs open them: UTF-8 with a byte-order
/// mark, a header row, comma-separated fields quoted where needed, ISO dates, lines ending in
/// CR LF. The day file imports back to the same dates, levels and notes.
class SpreadsheetExport
{
public:
    /// "Date,Bleeding,Note", then one line per record: "2010-03-05,Medium,".
    static QByteArray DaysText(const std::vector<DayRecord>& records);

    /// "First day,Bleeding days,Cycle length,Status", then one line per history row.
    static QByteArray CyclesText(CycleDatabase& database, int* rowCount = nullptr);

    /// Write the file in one step (an earlier file stays when that fails, and the reason is
    /// shown). The number of days or cycles written, -1 on failure.
    static int WriteDays(const CycleDatabase& database, const QString& path);
    static int WriteCycles(CycleDatabase& database, const QString& path);
};
