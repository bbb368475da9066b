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

    // Derivation and the cycle queries (the rules: docs/PREDICTIONS.md).
    void Derive();
    /// Writes one predicted period of PredictedPeriodLength() days into the map (days she
    /// recorded keep their level).
    void MarkPredictedPeriod(const CalDate& start);
    /// The cycle length predictions use: the mean of her last measured cycles, or the initial
    /// cycle length until one is measured.
    int AverageCycleLength();
    /// The first day of the period, recorded or predicted, at or before the date (today when the
    /// date is not valid), at most 113 days back; the date is replaced only when found.
    bool FindPeriodStart(CalDate& date);
    /// The first day of the next period after the date (today when not valid), at most 113 days
    /// ahead; the date is replaced only when found.
    bool FindNextPeriodStart(CalDate& date);
    /// 1-based position of the last bleeding map day among the 20 days from the date, 0 if none.
    int BleedingDaysFrom(const CalDate& date) const;
    int DayOfCycle();
    int ChanceForCycleDay(int cycleDay);
    int ChanceForDate(const CalDate& date);
    int ChanceToday();
    /// Appends one row per period, recorded or predicted, that starts on or before today (or her
    /// last record): its first day, the days to the next period and its own bleeding days.
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
    /// What an import read: days stored, lines skipped, notes cut, line that ended it (0: none).
    struct ImportReport
    {
        int imported = 0;
        int skipped = 0;
        int shortened = 0;
        int stoppedAtLine = 0;
        QString stopReason; ///< what that line is, as in "line 12 <is blank>"
    };

    // Read access.
    const std::vector<DayRecord>& Records() const;
    // Statistics of the last derivation (AverageCycleLength() derives when none was made).
    int ShortestCycle() const; ///< of all measured cycles; the average when none was measured
    int LongestCycle() const;  ///< of all measured cycles; the average when none was measured
    /// Her longest recorded period; the initial period length while none is recorded.
    int LongestPeriod() const;
    /// Cycles measured between two recorded period starts (0: none yet).
    int MeasuredCycleCount() const;
    /// How many of her latest measured cycles the average rests on (0: the initial length).
    int AveragedCycleCount() const;
    /// Days of a predicted period: the mean of her recent recorded periods of two days or more,
    /// or the initial period length while none is recorded.
    int PredictedPeriodLength();
    /// How many recorded periods PredictedPeriodLength rests on (0: the initial period length).
    int AveragedPeriodCount() const;
    bool Changed() const;
    void SetChanged(bool changed);
    const DayStatusMap& Map() const;

    /// The step Recalculate ends with (the reminders); empty until one is installed.
    static void SetRecalculateHook(std::function<void()> hook);

private:
    /// One period in the map, by day numbers (DayNumberOf).
    struct PeriodRun
    {
        int start = 0;
        int days = 0;
        bool predicted = false;
    };
    /// The figures the cycle length and the period length rest on at one point of the history.
    struct Basis
    {
        std::vector<int> cycles;  ///< measured cycle lengths, oldest first
        std::vector<int> periods; ///< recorded periods of two days or more, oldest first
    };

    int CachedSetting(int32_t& cached, const QString& key, int fallback, int cachedFrom, int longest);
    int CycleLengthFrom(const Basis& basis);
    int PeriodLengthFrom(const Basis& basis);
    void PaintPrediction(int startDay, int days);
    void PredictAfter(const PeriodRun& last, int nextRecordedStart, const Basis& basis);
    void TakeStatistics(const Basis& basis);
    /// Index into m_runs of the last period starting on or before the day; -1 when none.
    int RunAtOrBefore(int dayNumber) const;
    /// Sets `changed`, drops the statistics and derives the map.
    void DeriveAgain();

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
    // A data file that failed to load and could not be copied aside: Save must not replace it.
    QString m_unsecuredDataFile;

    // Cells of stored records: predictions never overwrite a day the user recorded.
    std::vector<bool> m_recordedCells;
    // Every period of the last derivation, recorded and predicted, in date order.
    std::vector<PeriodRun> m_runs;
    int32_t m_averagedCycles = 0;
    int32_t m_averagedPeriods = 0;
    int m_lateDays;
    CalDate m_derivedForDay;
};

/// The process-wide database.
CycleDatabase& TheCycleDatabase();

/// Replaces the process-wide database by a fresh, empty one (tests).
void ResetCycleDatabaseForTesting();
