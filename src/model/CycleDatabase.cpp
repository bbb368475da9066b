#include "model/CycleDatabase.h"

#include "model/CivilDays.h"
#include "platform/MessageBox.h"
#include "settings/SettingsAccess.h"

#include <algorithm>
#include <climits>

namespace {
constexpr int kDefaultCycleLength = 28;
constexpr int kDefaultPeriodLength = 3;
constexpr int kDefaultLutealPhase = 14;
constexpr int kMaxLutealPhase = 40; // the settings dialog's arrows reach 1 to 40
constexpr int kPeriodStartSearchDays = 40;
constexpr int kRunSkipDays = 20;
constexpr int kGapAfterPrediction = 14;
constexpr int kAverageLookAhead = 40;
constexpr int kGapFillDays = 7;
constexpr int kLatePeriodDays = 14;

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

bool IsAfterMap(const CalDate& date)
{
    return date.year > kMapLastYear;
}

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
      m_recordedCells(DayStatusMap::kCellCount, false), m_deriving(false), m_finalBeforeDay(INT_MIN),
      m_lateDays(-1), m_derivedForDay{0, 0, 0}
{
}

CycleDatabase::~CycleDatabase() = default;

int CycleDatabase::InitialCycleLen()
{
    // The cached copy is used from 20 days on; below that the setting is read on every call and
    // used unchanged, as long as derivation can work with it (1 to 99 days).
    if (m_initialCycleLen >= 20 && m_initialCycleLen <= 99)
        return m_initialCycleLen;
    int32_t stored = ReadSettingInt(SettingsSection(), kSettingInitialCycleLen, kDefaultCycleLength);
    if (stored < 1 || stored > 99)
        stored = kDefaultCycleLength;
    m_initialCycleLen = stored;
    return m_initialCycleLen;
}

int CycleDatabase::InitialPeriodLen()
{
    if (m_initialPeriodLen >= 1 && m_initialPeriodLen <= 20)
        return m_initialPeriodLen;
    int32_t stored = ReadSettingInt(SettingsSection(), kSettingInitialPeriodLen, kDefaultPeriodLength);
    if (stored < 1 || stored > 20)
        stored = kDefaultPeriodLength;
    m_initialPeriodLen = stored;
    return m_initialPeriodLen;
}

int CycleDatabase::LutealPhaseLen()
{
    // The cached copy is used from 11 days on; below that the setting is read on every call.
    // A stored value no cycle can have (a hand-edited setting) would make the ovulation day
    // meaningless, or overflow, so it reads as the default.
    if (m_lutealPhaseLen >= 11 && m_lutealPhaseLen <= kMaxLutealPhase)
        return m_lutealPhaseLen;
    int32_t stored = ReadSettingInt(SettingsSection(), kSettingLutealPhaseLen, kDefaultLutealPhase);
    if (stored < 1 || stored > kMaxLutealPhase)
        stored = kDefaultLutealPhase;
    m_lutealPhaseLen = stored;
    return m_lutealPhaseLen;
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

void CycleDatabase::MarkPredictedDay(const CalDate& date, int level)
{
    // A recorded day keeps its recorded level: predictions only fill days without a record.
    const int cell = DayStatusMap::CellIndex(date);
    if (cell >= 0 && m_recordedCells[static_cast<size_t>(cell)])
        return;
    m_dayMap.SetLevel(date, level);
}

void CycleDatabase::MarkPredictedPeriod(const CalDate& start)
{
    MarkPredictedDay(start, Heavy);
    int periodLength = m_avgPeriodLen;
    if (periodLength == 0) {
        periodLength = InitialPeriodLen();
        m_avgPeriodLen = periodLength;
    }
    CalDate day = start;
    if (periodLength - 1 > 1) {
        for (int i = 0; i < periodLength - 2; ++i) {
            CivilNextDay(day);
            MarkPredictedDay(day, Medium);
        }
    }
    CivilNextDay(day);
    MarkPredictedDay(day, Slight);
}

void CycleDatabase::Derive()
{
    m_dayMap.Clear();
    m_lateDays = -1;
    m_derivedForDay = Today();
    std::fill(m_recordedCells.begin(), m_recordedCells.end(), false);
    for (const DayRecord& record : m_records) {
        const int cell = DayStatusMap::CellIndex(record.date);
        if (cell >= 0)
            m_recordedCells[static_cast<size_t>(cell)] = true;
    }
    if (m_records.empty())
        return;

    // A record whose date no calendar arithmetic can take (month 13, a year before 1900) takes
    // no part: it cannot be in the map, and predicting from it would never reach a later day.
    auto takesPart = [this](size_t index) { return IsConvertible(m_records[index].date); };
    size_t i = 0;
    while (i < m_records.size() && (LevelOf(m_records[i]) == None || !takesPart(i)))
        ++i;
    if (i == m_records.size())
        return;

    m_deriving = true;
    m_walkCheckpoint.reset();
    const CalDate first = m_records[i].date;
    const int firstDay = ClampedDayNumber(first);
    CalDate rec = first;
    CalDate pred = rec;
    MarkPredictedPeriod(pred);

    // No later step writes a cell before this day, so the average walk may resume there.
    auto noteFinalDay = [&]() {
        int finalDay = std::min(ClampedDayNumber(pred), ClampedDayNumber(rec));
        if (ClampedDayNumber(rec) - firstDay < kGapFillDays)
            finalDay = std::min(finalDay, firstDay);
        m_finalBeforeDay = finalDay;
    };

    bool predictionsPassedMap = false;
    for (;;) {
        if (!IsBefore(rec, CivilOffsetDate(pred, kGapAfterPrediction))) {
            // A gap follows the period at pred: predict the next one from the latest run start.
            if (IsAfterMap(pred) || !IsConvertible(pred)) {
                // Nothing later can reach the map any more.
                predictionsPassedMap = true;
                break;
            }
            const CalDate previous = pred;
            CivilAddDays(pred, kGapAfterPrediction);
            FindPeriodStartFrom(pred, true);
            const CalDate base = pred;
            m_avgCycleLen = 0;
            noteFinalDay();
            const int average = AverageCycleLength();
            CalDate next = CivilOffsetDate(pred, average);
            // A long recorded run can make the latest start plus the average land on or before
            // the previous prediction; predicting that again would never end.
            if (!IsAfter(next, previous))
                next = CivilOffsetDate(previous, average);
            pred = next;
            // A period she recorded before the predicted one, or up to 14 days after it, takes
            // its place: the prediction is left out, and her recorded run becomes the base of
            // the next one.
            if (!HasBleedingRecordBetween(i, CivilOffsetDate(base, kGapAfterPrediction),
                                          CivilOffsetDate(pred, kGapAfterPrediction)))
                MarkPredictedPeriod(pred);
            continue;
        }

        const int level = LevelOf(m_records[i]);
        m_dayMap.SetLevel(rec, level);
        if (level != None && CivilDaysBetween(rec, first) < kGapFillDays) {
            // The first period of the database is filled between its bleeding records.
            CalDate day = first;
            CivilNextDay(day);
            while (IsBefore(day, rec)) {
                m_dayMap.SetLevel(day, Medium);
                CivilNextDay(day);
            }
        }

        ++i;
        while (i < m_records.size() && !takesPart(i))
            ++i;
        if (i < m_records.size()) {
            rec = m_records[i].date;
            continue;
        }
        CivilAddDays(pred, kGapAfterPrediction);
        FindPeriodStartFrom(pred, true);
        rec = pred;
        m_avgCycleLen = 0;
        break;
    }

    if (!predictionsPassedMap) {
        const CalDate today = m_derivedForDay;
        bool firstPrediction = true;
        while (rec.year < kMapLastYear && IsConvertible(rec)) {
            noteFinalDay();
            CivilAddDays(rec, AverageCycleLength());
            if (firstPrediction && IsConvertible(rec) && IsConvertible(today) && !IsAfter(rec, today)) {
                // A period expected today or up to 14 days ago that she has not recorded is
                // late: it is expected from tomorrow on, not assumed to have come. One expected
                // longer ago keeps its place, since she may not have recorded it. (A start
                // tomorrow is not late, although the day count truncates it to 0 as well.)
                const int late = CivilDaysBetween(today, rec);
                if (late <= kLatePeriodDays) {
                    m_lateDays = late;
                    rec = CivilOffsetDate(today, 1);
                }
            }
            firstPrediction = false;
            MarkPredictedPeriod(rec);
        }
    }
    m_avgCycleLen = 0;
    m_deriving = false;
    m_walkCheckpoint.reset();
}

bool CycleDatabase::HasBleedingRecordBetween(size_t fromIndex, const CalDate& from, const CalDate& until) const
{
    const auto begin = m_records.begin() + static_cast<std::ptrdiff_t>(std::min(fromIndex, m_records.size()));
    auto it = std::lower_bound(begin, m_records.end(), from,
                               [](const DayRecord& r, const CalDate& d) { return IsBefore(r.date, d); });
    for (; it != m_records.end() && IsBefore(it->date, until); ++it) {
        if (LevelOf(*it) != None && IsConvertible(it->date))
            return true;
    }
    return false;
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
    m_avgCycleLen = 0;
    m_avgPeriodLen = 0;
    Derive();
}

void CycleDatabase::RunAverageWalk(AverageWalk& walk, int endDay, int checkpointDay)
{
    // Only map days can be bleeding days, and every cell after the last non-zero one is 0, so
    // the walk can stop there: the days it leaves out would only end a run.
    const int stopDay = std::min({endDay, kMapLastDay + 1, m_dayMap.LastNonZeroDayNumber() + 1});
    if (walk.nextDay < kMapFirstDay) {
        walk.inRun = false;
        walk.nextDay = kMapFirstDay;
    }
    bool saved = checkpointDay == INT_MIN;
    int day = walk.nextDay;
    const CalDate firstDate = DateOfDayNumber(day);
    int month = firstDate.month;
    int year = firstDate.year;
    int dayOfMonth = firstDate.day;
    int daysInMonth = DaysInMonth(year, month);
    int cell = DayStatusMap::CellIndex(firstDate);
    for (; day < stopDay; ++day) {
        if (!saved && day >= checkpointDay) {
            walk.nextDay = day;
            m_walkCheckpoint = walk;
            saved = true;
        }
        const bool bleeding = m_dayMap.LevelAtCell(cell) != 0;
        if (bleeding && !walk.inRun) {
            walk.inRun = true;
            walk.runLength = 1;
            if (walk.haveStart) {
                const int length = day - walk.previousStart;
                if (length >= 20 && length <= 40) {
                    walk.sum += length;
                    ++walk.samples;
                    walk.longestCycle = std::max(walk.longestCycle, length);
                    walk.shortestCycle = std::min(walk.shortestCycle, length);
                }
            }
            walk.previousStart = day;
            walk.haveStart = true;
        } else if (bleeding) {
            ++walk.runLength;
            walk.longestPeriod = std::max(walk.longestPeriod, walk.runLength);
        } else {
            walk.inRun = false;
        }
        // Step to the next real day; cells of day numbers the month lacks are skipped.
        if (dayOfMonth < daysInMonth) {
            ++dayOfMonth;
            ++cell;
        } else {
            cell += DayStatusMap::kCellsPerMonth - dayOfMonth + 1;
            dayOfMonth = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
            daysInMonth = DaysInMonth(year, month);
        }
    }
    walk.nextDay = std::max(day, walk.nextDay);
    if (!saved) {
        // Everything before the stop day is final as well.
        m_walkCheckpoint = walk;
    }
}

int CycleDatabase::AverageCycleLength()
{
    if (m_avgCycleLen != 0)
        return m_avgCycleLen;
    const int initial = InitialCycleLen();
    m_avgCycleLen = m_shortestCycle = m_longestCycle = initial;
    m_longestPeriod = 3;
    m_measuredCycles = 0;
    if (m_records.empty())
        return m_avgCycleLen;

    CalDate end = Today();
    if (IsBefore(end, m_records.back().date))
        end = m_records.back().date;
    CivilAddDays(end, kAverageLookAhead);
    const int endDay = IsConvertible(end) ? DayNumberOf(end) : INT_MIN;

    // While deriving, the walk resumes from the last checkpoint and leaves a new one at the
    // first day a later derivation step may still change.
    int checkpointDay = INT_MIN;
    AverageWalk walk;
    walk.sum = initial;
    if (m_deriving && m_walkCheckpoint) {
        walk = *m_walkCheckpoint;
        if (m_finalBeforeDay > m_walkCheckpoint->nextDay)
            checkpointDay = m_finalBeforeDay;
    } else {
        if (m_deriving)
            checkpointDay = m_finalBeforeDay;
        const CalDate start = m_records.front().date;
        walk.nextDay = INT_MAX;
        if (IsConvertible(start) && IsBefore(start, end)) {
            // The first day is the record's own date, which may be one its month lacks (a stored
            // 31 February); from the next day on the walk covers the calendar's real days.
            const int startDay = DayNumberOf(start);
            if (m_dayMap.IsBleeding(start)) {
                walk.inRun = true;
                walk.haveStart = true;
                walk.previousStart = startDay;
            }
            walk.nextDay = startDay + 1;
        }
    }
    if (walk.nextDay < endDay)
        RunAverageWalk(walk, endDay, checkpointDay);

    const int64_t samples = walk.samples;
    m_avgCycleLen =
        static_cast<int32_t>(static_cast<uint64_t>(5 * (samples + 2 * walk.sum)) / static_cast<uint64_t>(10 * samples));
    m_longestCycle = walk.longestCycle;
    m_shortestCycle = walk.shortestCycle;
    m_longestPeriod = walk.longestPeriod;
    m_measuredCycles = static_cast<int32_t>(samples - 1);
    if (m_longestCycle < m_shortestCycle)
        m_longestCycle = m_shortestCycle = m_avgCycleLen;
    return m_avgCycleLen;
}

bool CycleDatabase::FindPeriodStartFrom(CalDate& date, bool outsideMapIsNotFound)
{
    CalDate day = date;
    if (!IsValidDate(day)) {
        if (outsideMapIsNotFound)
            return false;
        day = Today();
    }
    int looked = 0;
    for (;; ++looked) {
        if (looked >= kPeriodStartSearchDays || !IsYearInMapRange(day.year))
            return false;
        if (m_dayMap.IsBleeding(day))
            break;
        CivilPrevDay(day);
    }
    for (;;) {
        CalDate previous = day;
        CivilPrevDay(previous);
        if (!IsYearInMapRange(previous.year) || !m_dayMap.IsBleeding(previous))
            break;
        day = previous;
    }
    date = day;
    return true;
}

bool CycleDatabase::FindPeriodStart(CalDate& date)
{
    return FindPeriodStartFrom(date, false);
}

bool CycleDatabase::FindNextPeriodStart(CalDate& date)
{
    CalDate day = IsValidDate(date) ? date : Today();
    int count = 0;
    if (m_dayMap.IsBleeding(day)) {
        while (m_dayMap.IsBleeding(day) && count < kRunSkipDays) {
            CivilNextDay(day);
            ++count;
        }
    }
    while (count < kPeriodStartSearchDays) {
        if (m_dayMap.IsBleeding(day)) {
            date = day;
            return true;
        }
        CivilNextDay(day);
        ++count;
    }
    return false;
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
    size_t i = 0;
    while (i < m_records.size() && (LevelOf(m_records[i]) == None || !IsConvertible(m_records[i].date)))
        ++i;
    if (i == m_records.size())
        return 0;
    CalDate end = Today();
    if (IsBefore(end, m_records.back().date))
        end = m_records.back().date;
    // Only the map knows cycle starts: a history whose first bleeding record lies before the
    // map's first year begins with the first bleeding day inside the map.
    CalDate current = m_records[i].date;
    if (current.year < kMapFirstYear) {
        current = CalDate{1, 1, static_cast<int16_t>(kMapFirstYear)};
        while (!m_dayMap.IsBleeding(current) && !IsAfter(current, end) && current.year <= kMapLastYear)
            CivilNextDay(current);
        if (!m_dayMap.IsBleeding(current))
            return static_cast<int>(list.size());
    }
    while (!IsAfter(current, end)) {
        const CalDate start = current;
        int length = 0;
        if (FindNextPeriodStart(current)) {
            length = CivilDaysBetween(current, start);
        } else {
            current = CivilOffsetDate(end, 1);
            length = AverageCycleLength();
        }
        list.push_back(CycleRecord{start, length, BleedingDaysFrom(start)});
        if (!IsConvertible(current))
            break;
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

int CycleDatabase::MeasuredCycleCount() const
{
    return m_measuredCycles;
}

uint32_t CycleDatabase::Seed() const
{
    return m_seed;
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
