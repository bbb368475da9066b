#pragma once

#include "model/CalDate.h"
#include "model/CycleRecord.h"
#include "model/DayRecord.h"
#include "model/DayStatusMap.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

/// The one data object: the stored day records in date order, the day-status map derived from
/// them, the cached statistics and the cached cycle parameters of the settings.
///
/// Every change of the records goes through SetDay, Reset or ReplaceRecords, then Recalculate,
/// which sets `changed`, drops the statistics, derives the map again and reschedules the
/// reminders. Loading, saving and the CSV exchange live in src/storage/.
class CycleDatabase
{
public:
    /// The data file never holds more records than this; neither does the database.
    static constexpr int kMaxRecords = 10000;
    /// The fixed seed of the data file's scrambling.
    static constexpr uint32_t kScrambleSeed = 518294637u;

    CycleDatabase();
    virtual ~CycleDatabase();
    CycleDatabase(const CycleDatabase&) = delete;
    CycleDatabase& operator=(const CycleDatabase&) = delete;

    // Cycle parameters backed by the settings ("InitialCycleLen", "InitialPeriodLen",
    // "LutealPhaseLen"). A stored value outside what derivation can use is replaced by the default.
    int InitialCycleLen();
    int InitialPeriodLen();
    int LutealPhaseLen();
    void SetInitialCycleLen(int days);  ///< stores, writes the setting, recalculates
    void SetInitialPeriodLen(int days); ///< stores, writes the setting, recalculates
    void SetLutealPhaseLen(int days);   ///< stores and writes the setting only

    // Day operations.
    /// Index of the last record whose date is not after `date`; -1 when there is none.
    int FindIndex(const CalDate& date) const;
    /// The stored record of the day (or an empty one flagged kNoRecordFlag) with the map's
    /// level and the conception chance for the day.
    DayRecord GetDay(const CalDate& date);
    /// Stores the record in date order, recalculates and saves the data file. False (with a
    /// message, and the database as it was before) when the record cannot be stored or saved.
    bool SetDay(const DayRecord& record);
    /// Removes every record, then recalculates.
    void Reset();
    /// Replaces all records in one step (sorted by date, the last of equal dates kept), then
    /// recalculates once. False, changing nothing, with more than kMaxRecords dates.
    bool ReplaceRecords(std::vector<DayRecord> records);
    virtual void Recalculate();
    /// The map level of the date is not 0; false outside the map's years.
    bool IsBleedingDay(const CalDate& date) const;

    // Derivation and the cycle queries.
    void Derive();
    void MarkPredictedPeriod(const CalDate& start);
    int AverageCycleLength();
    bool FindPeriodStart(CalDate& date);
    bool FindNextPeriodStart(CalDate& date);
    int BleedingDaysFrom(const CalDate& date) const;
    int DayOfCycle();
    int ChanceForCycleDay(int cycleDay);
    int ChanceForDate(const CalDate& date);
    int ChanceToday();
    int BuildCycleList(std::vector<CycleRecord>& list);
    /// Days from the expected start of a late period to today (0 when it was expected today),
    /// or -1 when the last derivation moved no prediction. A late period is predicted from
    /// the day after today.
    int LateDays() const;
    /// Derives again when the last derivation was made on another day than today, since a late
    /// period moves with the date; sets `changed` then. Runs no reminder update. True when it
    /// derived.
    bool FollowToday();

    // Persistence (src/storage/).
    bool Load();
    bool Save();
    bool ExportDays(const QString& path);
    bool ExportCycles(const QString& path);
    bool ImportDays(const QString& path);
    /// What the last import read: days stored, lines skipped, notes cut, line that ended it (0: none).
    struct ImportReport
    {
        int imported = 0;
        int skipped = 0;
        int shortened = 0;
        int stoppedAtLine = 0;
        QString stopReason; ///< what that line is, as in "line 12 <is blank>"
    };
    const ImportReport& LastImportReport() const;

    // Read access.
    const std::vector<DayRecord>& Records() const;
    int ShortestCycle() const; ///< valid after AverageCycleLength()
    int LongestCycle() const;  ///< valid after AverageCycleLength()
    int LongestPeriod() const; ///< valid after AverageCycleLength()
    /// The cycle intervals (20 to 40 days) the average rests on, besides the initial cycle
    /// length; 0 when none was measured. Valid after AverageCycleLength().
    int MeasuredCycleCount() const;
    uint32_t Seed() const;
    bool Changed() const;
    void SetChanged(bool changed);
    const DayStatusMap& Map() const;

    /// The step Recalculate ends with (the reminders); empty until one is installed.
    static void SetRecalculateHook(std::function<void()> hook);

private:
    // State of the day walk of AverageCycleLength at one day.
    struct AverageWalk
    {
        bool inRun = false;
        bool haveStart = false;
        int runLength = 1;
        int previousStart = 0;
        int64_t sum = 0;
        int64_t samples = 1;
        int longestCycle = 19;
        int shortestCycle = 41;
        int longestPeriod = 3;
        int nextDay = 0; ///< day number of the next day to look at
    };

    bool FindPeriodStartFrom(CalDate& date, bool outsideMapIsNotFound);
    void MarkPredictedDay(const CalDate& date, int level);
    void RunAverageWalk(AverageWalk& walk, int endDay, int checkpointDay);
    /// Sets `changed`, drops the statistics and derives the map.
    void DeriveAgain();
    /// A record from `fromIndex` on with a bleeding level and a date in [from, until).
    bool HasBleedingRecordBetween(size_t fromIndex, const CalDate& from, const CalDate& until) const;

    std::vector<DayRecord> m_records;
    uint32_t m_seed;
    int32_t m_avgCycleLen;
    int32_t m_shortestCycle;
    int32_t m_longestCycle;
    int32_t m_longestPeriod;
    int32_t m_measuredCycles = 0;
    int32_t m_avgPeriodLen;
    bool m_changed;
    int32_t m_initialCycleLen;
    int32_t m_initialPeriodLen;
    int32_t m_lutealPhaseLen;
    DayStatusMap m_dayMap;
    ImportReport m_lastImportReport;
    // A data file that failed to load and could not be copied aside: Save must not replace it.
    QString m_unsecuredDataFile;

    // Cells of stored records: predictions never overwrite a day the user recorded.
    std::vector<bool> m_recordedCells;
    // While deriving, the average walk resumes from the last day no later step can change.
    bool m_deriving;
    int m_finalBeforeDay;
    std::optional<AverageWalk> m_walkCheckpoint;
    int m_lateDays;
    CalDate m_derivedForDay;
};

/// The process-wide database.
CycleDatabase& TheCycleDatabase();

/// Replaces the process-wide database by a fresh, empty one (tests).
void ResetCycleDatabaseForTesting();
