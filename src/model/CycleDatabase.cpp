#include "model/CycleDatabase.h"

#include "model/CivilDays.h"
#include "model/CycleLimits.h"
#include "platform/MessageBox.h"
#include "settings/SettingsAccess.h"

#include <algorithm>
#include <climits>

namespace {
constexpr int kDefaultCycleLength = 28;
constexpr int kDefaultPeriodLength = 3;
constexpr int kDefaultLutealPhase = 14;
// The rules these constants take part in are written down in docs/PREDICTIONS.md.
constexpr int kLatePeriodDays = 14; // a period is expected from tomorrow for this long
constexpr int kPeriodStartSearchDays = kLongestCycle + kLatePeriodDays + 1;
constexpr int kRunSkipDays = 20;        // BleedingDaysFrom looks this far
constexpr int kForgottenDays = 2;       // unrecorded days that never split a period
constexpr size_t kAveragedCycles = 6;   // the cycle length is the mean of her last this many
constexpr size_t kAveragedPeriods = 6;  // the period length is the mean of her last this many
constexpr int kMaxPredictedPeriod = 10; // the longest period derived from her records

// Conception chance by cycle day, index 13 being the ovulation day.
constexpr int kChanceTable[28] = {0,  0,  0,  0, 0, 0, 0, 0, 3, 11, 30, 56, 77, 84,
                                  67, 36, 14, 2, 0, 0, 0, 0, 0, 0,  0,  0,  0,  0};

const QString kSettingInitialCycleLen = QStringLiteral("InitialCycleLen");
const QString kSettingInitialPeriodLen = QStringLiteral("InitialPeriodLen");
const QString kSettingLutealPhaseLen = QStringLiteral("LutealPhaseLen");

QString SettingsSection()
{
    return QString::fromUtf16(kSettingsSection);
}

std::function<void()>& RecalculateHook()
{
    static std::function<void()> hook;
    return hook;
}

const int kMapFirstDay = DayNumberOf(CalDate{1, 1, kMapFirstYear});
const int kMapLastDay = DayNumberOf(CalDate{12, 31, kMapLastYear});

// Day number of a date with its day clamped to the month's length: never decreases along
// the date order of records, also for a stored 31 February.
int ClampedDayNumber(const CalDate& date)
{
    if (!IsConvertible(date))
        return INT_MIN;
    CalDate clamped = date;
    clamped.day = static_cast<int16_t>(std::min<int>(date.day, DaysInMonth(date.year, date.month)));
    return DayNumberOf(clamped);
}

std::unique_ptr<CycleDatabase>& DatabaseInstance()
{
    static std::unique_ptr<CycleDatabase> instance = std::make_unique<CycleDatabase>();
    return instance;
}
} // namespace

CycleDatabase::CycleDatabase()
    : m_seed(kScrambleSeed), m_avgCycleLen(0), m_shortestCycle(0), m_longestCycle(0), m_longestPeriod(0),
      m_avgPeriodLen(0), m_changed(false), m_initialCycleLen(0), m_initialPeriodLen(0), m_lutealPhaseLen(0),
      m_recordedCells(DayStatusMap::kCellCount, false), m_lateDays(-1), m_derivedForDay{0, 0, 0}
{
}

CycleDatabase::~CycleDatabase() = default;

// The cached parameter from `cachedFrom` to `longest`; otherwise the stored setting, read again
// on every call, as the settings always did for values below their own range. A stored value
// outside 1 to `longest` (a hand-edited setting, say) would make the derivation meaningless or
// overflow, so it reads as the default.
int CycleDatabase::CachedSetting(int32_t& cached, const QString& key, int fallback, int cachedFrom, int longest)
{
    if (cached >= cachedFrom && cached <= longest)
        return cached;
    int32_t stored = ReadSettingInt(SettingsSection(), key, fallback);
    if (stored < 1 || stored > longest)
        stored = fallback;
    cached = stored;
    return cached;
}

int CycleDatabase::InitialCycleLen()
{
    return CachedSetting(m_initialCycleLen, kSettingInitialCycleLen, kDefaultCycleLength, kShortestCycleSetting,
                         kLongestCycle);
}

int CycleDatabase::InitialPeriodLen()
{
    return CachedSetting(m_initialPeriodLen, kSettingInitialPeriodLen, kDefaultPeriodLength, 1, kLongestStoredPeriod);
}

int CycleDatabase::LutealPhaseLen()
{
    return CachedSetting(m_lutealPhaseLen, kSettingLutealPhaseLen, kDefaultLutealPhase, kShortestLutealSetting + 1,
                         kLongestStoredLutealPhase);
}

void CycleDatabase::SetInitialCycleLen(int days)
{
    m_initialCycleLen = days;
    WriteSettingInt(SettingsSection(), kSettingInitialCycleLen, days);
    Recalculate();
}

void CycleDatabase::SetInitialPeriodLen(int days)
{
    m_initialPeriodLen = days;
    WriteSettingInt(SettingsSection(), kSettingInitialPeriodLen, days);
    Recalculate();
}

void CycleDatabase::SetLutealPhaseLen(int days)
{
    m_lutealPhaseLen = days;
    WriteSettingInt(SettingsSection(), kSettingLutealPhaseLen, days);
}

int CycleDatabase::FindIndex(const CalDate& date) const
{
    // The records are sorted with one per date, so the last record not after `date` is found by
    // binary search; it is the one a scan from the end would stop at.
    const auto after = std::upper_bound(m_records.begin(), m_records.end(), date,
                                        [](const CalDate& d, const DayRecord& r) { return IsBefore(d, r.date); });
    return static_cast<int>(after - m_records.begin()) - 1;
}

DayRecord CycleDatabase::GetDay(const CalDate& date)
{
    DayRecord result;
    const int index = FindIndex(date);
    if (index >= 0 && IsSameDate(m_records[static_cast<size_t>(index)].date, date)) {
        result = m_records[static_cast<size_t>(index)];
    } else {
        result.date = date;
        result.flags = kNoRecordFlag;
    }
    result.chance = -1;
    if (IsYearInMapRange(date.year)) {
        SetLevel(result, m_dayMap.Level(date));
        CalDate start = date;
        if (FindPeriodStart(start))
            result.chance = static_cast<int16_t>(ChanceForCycleDay(CivilDaysBetween(date, start)));
    }
    return result;
}

bool CycleDatabase::SetDay(const DayRecord& record)
{
    std::vector<DayRecord> before = m_records;
    const bool appends = m_records.empty() || IsAfter(record.date, m_records.back().date);
    const int index = appends ? -1 : FindIndex(record.date);
    const bool replaces = !appends && index >= 0 && IsSameDate(m_records[static_cast<size_t>(index)].date, record.date);
    if (!replaces && static_cast<int>(m_records.size()) >= kMaxRecords) {
        ShowMessage(QStringLiteral("The day cannot be stored: Velumina holds at most %1 days.").arg(kMaxRecords),
                    MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    if (appends)
        m_records.push_back(record);
    else if (replaces)
        m_records[static_cast<size_t>(index)] = record;
    else
        m_records.insert(m_records.begin() + (index + 1), record);
    Recalculate();
    if (!Save()) {
        // Keep memory and the data file in step: a retry stores the record again.
        m_records = std::move(before);
        Recalculate();
        return false;
    }
    return true;
}

void CycleDatabase::Reset()
{
    m_records.clear();
    Recalculate();
}

bool CycleDatabase::ReplaceRecords(std::vector<DayRecord> records)
{
    std::stable_sort(records.begin(), records.end(),
                     [](const DayRecord& a, const DayRecord& b) { return IsBefore(a.date, b.date); });
    // Of records with the same date the last one wins, as storing them one by one would give.
    std::vector<DayRecord> unique;
    unique.reserve(records.size());
    for (DayRecord& record : records) {
        if (!unique.empty() && IsSameDate(unique.back().date, record.date))
            unique.back() = std::move(record);
        else
            unique.push_back(std::move(record));
    }
    if (static_cast<int>(unique.size()) > kMaxRecords)
        return false;
    m_records = std::move(unique);
    Recalculate();
    return true;
}

void CycleDatabase::Recalculate()
{
    DeriveAgain();
    if (RecalculateHook())
        RecalculateHook()();
}

bool CycleDatabase::IsBleedingDay(const CalDate& date) const
{
    return m_dayMap.IsBleeding(date);
}

void CycleDatabase::MarkPredictedPeriod(const CalDate& start)
{
    if (IsConvertible(start))
        PaintPrediction(ClampedDayNumber(start), PredictedPeriodLength());
}

void CycleDatabase::PaintPrediction(int startDay, int days)
{
    // Heavy, then Medium, the last day Slight; a recorded day keeps its recorded level.
    for (int k = 0; k < days; ++k) {
        const int day = startDay + k;
        if (day < kMapFirstDay || day > kMapLastDay)
            continue;
        const CalDate date = DateOfDayNumber(day);
        const int cell = DayStatusMap::CellIndex(date);
        if (cell < 0 || m_recordedCells[static_cast<size_t>(cell)])
            continue;
        m_dayMap.SetLevel(date, k == 0 ? Heavy : k + 1 == days ? Slight : Medium);
    }
}

namespace {
// The mean of the last `count` lengths (count > 0), halves rounded up, within 1 to `longest`.
int MeanOfLatest(const std::vector<int>& lengths, size_t count, int longest)
{
    int64_t sum = 0;
    for (size_t k = lengths.size() - count; k < lengths.size(); ++k)
        sum += lengths[k];
    const int64_t n = static_cast<int64_t>(count);
    const int64_t roundedHalfUp = (2 * sum + n) / (2 * n);
    return static_cast<int>(std::clamp<int64_t>(roundedHalfUp, 1, longest));
}
} // namespace

int CycleDatabase::CycleLengthFrom(const Basis& basis)
{
    // The mean of her latest measured cycles; the setting before the first.
    const size_t count = std::min<size_t>(basis.cycles.size(), kAveragedCycles);
    return count == 0 ? InitialCycleLen() : MeanOfLatest(basis.cycles, count, kLongestCycle);
}

int CycleDatabase::PeriodLengthFrom(const Basis& basis)
{
    const size_t count = std::min<size_t>(basis.periods.size(), kAveragedPeriods);
    return count == 0 ? InitialPeriodLen() : MeanOfLatest(basis.periods, count, kMaxPredictedPeriod);
}

void CycleDatabase::Derive()
{
    m_dayMap.Clear();
    std::fill(m_recordedCells.begin(), m_recordedCells.end(), false);
    m_runs.clear();
    m_lateDays = -1;
    m_derivedForDay = Today();

    // 1. Every record in the map's years writes its own level, None included.
    for (const DayRecord& record : m_records) {
        const int cell = DayStatusMap::CellIndex(record.date);
        if (cell < 0)
            continue;
        m_recordedCells[static_cast<size_t>(cell)] = true;
        m_dayMap.SetLevel(record.date, LevelOf(record));
    }

    // 2. Her periods: bleeding records at most kForgottenDays unrecorded days apart belong to
    // one period, whose unrecorded days read as Medium; a record without bleeding ends it.
    std::vector<PeriodRun> recorded;
    bool open = false;
    int lastBleeding = 0;
    for (const DayRecord& record : m_records) {
        if (!IsYearInMapRange(record.date.year) || !IsConvertible(record.date))
            continue;
        const int day = ClampedDayNumber(record.date);
        if (LevelOf(record) == None) {
            open = false;
            continue;
        }
        if (open && day - lastBleeding <= kForgottenDays + 1) {
            for (int gap = lastBleeding + 1; gap < day; ++gap)
                m_dayMap.SetLevel(DateOfDayNumber(gap), Medium);
        } else {
            recorded.push_back(PeriodRun{day, 0, false});
        }
        lastBleeding = std::max(lastBleeding, day);
        recorded.back().days = lastBleeding - recorded.back().start + 1;
        open = true;
    }

    // 3. Predictions: a gap between two of her periods holds a predicted period only where she
    // would have been more than kLatePeriodDays late; after her last period the late rule decides.
    Basis basis;
    for (size_t k = 0; k < recorded.size(); ++k) {
        const PeriodRun& period = recorded[k];
        m_runs.push_back(period);
        if (period.days >= 2)
            basis.periods.push_back(period.days);
        const bool last = k + 1 == recorded.size();
        const size_t before = m_runs.size();
        PredictAfter(period, last ? INT_MAX : recorded[k + 1].start, basis);
        if (!last && m_runs.size() == before) {
            const int length = recorded[k + 1].start - period.start;
            if (length >= kShortestCycle)
                basis.cycles.push_back(length);
        }
    }
    TakeStatistics(basis);
}

void CycleDatabase::PredictAfter(const PeriodRun& last, int nextRecordedStart, const Basis& basis)
{
    const int cycle = CycleLengthFrom(basis);
    const int period = PeriodLengthFrom(basis);
    // Periods never touch: a prediction keeps one dry day after her period and before the next.
    const int days = std::max(1, std::min(period, cycle - 1));
    int start = std::max(last.start + cycle, last.start + last.days + 1);
    if (nextRecordedStart == INT_MAX) {
        const CalDate today = m_derivedForDay;
        if (IsConvertible(today)) {
            const int late = DayNumberOf(today) - start;
            if (late >= 0 && late <= kLatePeriodDays) {
                // Due and not recorded: expected from tomorrow, not assumed to have come.
                m_lateDays = late;
                start = DayNumberOf(today) + 1;
            }
        }
        for (; start <= kMapLastDay; start += std::max(cycle, days + 1)) {
            PaintPrediction(start, days);
            m_runs.push_back(PeriodRun{start, days, true});
        }
        return;
    }
    // Her next period came more than kLatePeriodDays after this prediction: she may not have
    // recorded it.
    for (; nextRecordedStart - start > kLatePeriodDays; start += std::max(cycle, days + 1)) {
        const int painted = std::min(days, nextRecordedStart - 1 - start);
        PaintPrediction(start, painted);
        m_runs.push_back(PeriodRun{start, painted, true});
    }
}

void CycleDatabase::TakeStatistics(const Basis& basis)
{
    m_avgCycleLen = CycleLengthFrom(basis);
    m_avgPeriodLen = PeriodLengthFrom(basis);
    m_measuredCycles = static_cast<int32_t>(basis.cycles.size());
    m_averagedCycles = static_cast<int32_t>(std::min<size_t>(basis.cycles.size(), kAveragedCycles));
    m_averagedPeriods = static_cast<int32_t>(std::min<size_t>(basis.periods.size(), kAveragedPeriods));
    m_shortestCycle = m_longestCycle = m_avgCycleLen;
    if (!basis.cycles.empty()) {
        const auto [shortest, longest] = std::minmax_element(basis.cycles.begin(), basis.cycles.end());
        m_shortestCycle = *shortest;
        m_longestCycle = *longest;
    }
    m_longestPeriod = 0;
    for (const PeriodRun& run : m_runs) {
        if (!run.predicted)
            m_longestPeriod = std::max(m_longestPeriod, run.days);
    }
    if (m_longestPeriod == 0)
        m_longestPeriod = InitialPeriodLen();
}

int CycleDatabase::RunAtOrBefore(int dayNumber) const
{
    const auto after = std::upper_bound(m_runs.begin(), m_runs.end(), dayNumber,
                                        [](int day, const PeriodRun& run) { return day < run.start; });
    return static_cast<int>(after - m_runs.begin()) - 1;
}

int CycleDatabase::LateDays() const
{
    return m_lateDays;
}

bool CycleDatabase::FollowToday()
{
    if (IsSameDate(m_derivedForDay, Today()))
        return false;
    DeriveAgain();
    return true;
}

void CycleDatabase::DeriveAgain()
{
    m_changed = true;
    Derive();
}

int CycleDatabase::AverageCycleLength()
{
    if (m_avgCycleLen == 0)
        Derive();
    return m_avgCycleLen;
}

int CycleDatabase::PredictedPeriodLength()
{
    if (m_avgPeriodLen == 0)
        Derive();
    return m_avgPeriodLen;
}

bool CycleDatabase::FindPeriodStart(CalDate& date)
{
    const CalDate day = IsValidDate(date) ? date : Today();
    if (!IsYearInMapRange(day.year) || !IsConvertible(day))
        return false;
    const int dayNumber = ClampedDayNumber(day);
    const int index = RunAtOrBefore(dayNumber);
    if (index < 0 || dayNumber - m_runs[static_cast<size_t>(index)].start >= kPeriodStartSearchDays)
        return false;
    date = DateOfDayNumber(m_runs[static_cast<size_t>(index)].start);
    return true;
}

bool CycleDatabase::FindNextPeriodStart(CalDate& date)
{
    const CalDate day = IsValidDate(date) ? date : Today();
    if (!IsConvertible(day))
        return false;
    const int dayNumber = ClampedDayNumber(day);
    const size_t index = static_cast<size_t>(RunAtOrBefore(dayNumber) + 1);
    if (index >= m_runs.size() || m_runs[index].start - dayNumber >= kPeriodStartSearchDays)
        return false;
    date = DateOfDayNumber(m_runs[index].start);
    return true;
}

int CycleDatabase::BleedingDaysFrom(const CalDate& date) const
{
    int result = 0;
    CalDate day = date;
    for (int k = 0; k < kRunSkipDays; ++k) {
        if (m_dayMap.IsBleeding(day))
            result = k + 1;
        CivilNextDay(day);
    }
    return result;
}

int CycleDatabase::DayOfCycle()
{
    const CalDate today = Today();
    CalDate start = today;
    if (!FindPeriodStart(start))
        return -1;
    return CivilDaysBetween(today, start);
}

int CycleDatabase::ChanceForCycleDay(int cycleDay)
{
    const int ovulationDay = AverageCycleLength() - LutealPhaseLen();
    const int64_t x = static_cast<int64_t>(ovulationDay) - cycleDay + 14;
    if (x < 0 || x > 27)
        return 0;
    return kChanceTable[27 - x];
}

int CycleDatabase::ChanceForDate(const CalDate& date)
{
    CalDate start = Today();
    if (!FindPeriodStart(start))
        return -1;
    return ChanceForCycleDay(CivilDaysBetween(date, start));
}

int CycleDatabase::ChanceToday()
{
    return ChanceForDate(Today());
}

int CycleDatabase::BuildCycleList(std::vector<CycleRecord>& list)
{
    // The rows run to today, or to the start of her last period when that is later.
    int end = IsConvertible(m_derivedForDay) ? DayNumberOf(m_derivedForDay) : INT_MIN;
    for (const PeriodRun& run : m_runs) {
        if (!run.predicted)
            end = std::max(end, run.start);
    }
    for (size_t k = 0; k < m_runs.size() && m_runs[k].start <= end; ++k) {
        const int length = k + 1 < m_runs.size() ? m_runs[k + 1].start - m_runs[k].start : AverageCycleLength();
        list.push_back(CycleRecord{DateOfDayNumber(m_runs[k].start), length, m_runs[k].days});
    }
    return static_cast<int>(list.size());
}

const std::vector<DayRecord>& CycleDatabase::Records() const
{
    return m_records;
}

int CycleDatabase::ShortestCycle() const
{
    return m_shortestCycle;
}

int CycleDatabase::LongestCycle() const
{
    return m_longestCycle;
}

int CycleDatabase::LongestPeriod() const
{
    return m_longestPeriod;
}

int CycleDatabase::AveragedCycleCount() const
{
    return m_averagedCycles;
}

int CycleDatabase::AveragedPeriodCount() const
{
    return m_averagedPeriods;
}

int CycleDatabase::MeasuredCycleCount() const
{
    return m_measuredCycles;
}

bool CycleDatabase::Changed() const
{
    return m_changed;
}

void CycleDatabase::SetChanged(bool changed)
{
    m_changed = changed;
}

const DayStatusMap& CycleDatabase::Map() const
{
    return m_dayMap;
}

void CycleDatabase::SetRecalculateHook(std::function<void()> hook)
{
    RecalculateHook() = std::move(hook);
}

CycleDatabase& TheCycleDatabase()
{
    return *DatabaseInstance();
}

void ResetCycleDatabaseForTesting()
{
    DatabaseInstance() = std::make_unique<CycleDatabase>();
}
