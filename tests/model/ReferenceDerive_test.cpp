#include "ModelTestSupport.h"

#include "model/CycleStatus.h"
#include "model/DayStatusMap.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>

// A plain, slow derivation written from docs/PREDICTIONS.md (day arithmetic through local time,
// days counted from 1 January 2008), compared with the database's own on random histories. It
// shares no code with the database beyond the public date functions.
namespace {
class ReferenceDerivation
{
public:
    ReferenceDerivation(const std::vector<DayRecord>& records, int initialCycle, int initialPeriod)
        : m_initialCycle(initialCycle), m_initialPeriod(initialPeriod)
    {
        Derive(records);
    }

    int LevelAt(int n) const
    {
        return n >= 0 && n < static_cast<int>(m_level.size()) ? m_level[static_cast<size_t>(n)] : 0;
    }

    struct Run
    {
        int start;
        int days;
        bool predicted;
        bool onRealDate = false; ///< one of her bleeding records has a date its month has
    };
    std::vector<Run> runs;
    std::vector<int> cycles;  // measured, oldest first
    std::vector<int> periods; // of two days or more, oldest first
    int lateDays = -1;
    int cycleLength = 0;
    int periodLength = 0;

    int LongestPeriod() const
    {
        int longest = 0;
        for (const Run& run : runs)
            longest = run.predicted ? longest : std::max(longest, run.days);
        return longest > 0 ? longest : m_initialPeriod;
    }

    // Rows of the history: start day, days to the next start, days of the period, and whether it
    // is hers, predicted or the current one.
    std::vector<std::tuple<int, int, int, CycleStatus>> Rows(const CalDate& today) const
    {
        int end = DaysBetween(today, kOrigin);
        for (const Run& run : runs)
            end = run.predicted ? end : std::max(end, run.start);
        std::vector<std::tuple<int, int, int, CycleStatus>> rows;
        for (size_t k = 0; k < runs.size() && runs[k].start <= end; ++k)
            rows.emplace_back(runs[k].start, k + 1 < runs.size() ? runs[k + 1].start - runs[k].start : cycleLength,
                              runs[k].days, runs[k].onRealDate ? CycleStatus::Recorded : CycleStatus::Predicted);
        if (!rows.empty())
            std::get<3>(rows.back()) = CycleStatus::Current;
        return rows;
    }

    static inline const CalDate kOrigin = Date(2008, 1, 1);

private:
    static int RoundedMean(const std::vector<int>& values, int fallback, int low, int high)
    {
        const size_t count = std::min<size_t>(values.size(), 6);
        if (count == 0)
            return fallback;
        double sum = 0;
        for (size_t k = values.size() - count; k < values.size(); ++k)
            sum += values[k];
        return std::clamp(static_cast<int>(std::floor(sum / static_cast<double>(count) + 0.5)), low, high);
    }

    void Paint(int start, int days)
    {
        for (int k = 0; k < days; ++k) {
            const size_t n = static_cast<size_t>(start + k);
            if (start + k < 0 || n >= m_level.size() || m_recorded[n])
                continue;
            m_level[n] = k == 0 ? Heavy : k == days - 1 ? Slight : Medium;
        }
    }

    void Derive(const std::vector<DayRecord>& records)
    {
        const int mapDays = DaysBetween(Date(2099, 12, 31), kOrigin) + 1;
        m_level.assign(static_cast<size_t>(mapDays), 0);
        m_recorded.assign(static_cast<size_t>(mapDays), false);
        // Rule 1: her periods; records of real dates also write their own level.
        std::vector<Run> hers;
        bool open = false;
        int lastBleeding = 0;
        for (const DayRecord& r : records) {
            if (r.date.year < 2008 || r.date.year > 2099 || r.date.month < 1 || r.date.month > 12 || r.date.day < 1 ||
                r.date.day > 31)
                continue;
            const int monthDays = QDate(r.date.year, r.date.month, 1).daysInMonth();
            const int n = DaysBetween(Date(r.date.year, r.date.month, std::min<int>(r.date.day, monthDays)), kOrigin);
            if (r.date.day <= monthDays) {
                m_level[static_cast<size_t>(n)] = LevelOf(r);
                m_recorded[static_cast<size_t>(n)] = true;
            }
            if (LevelOf(r) == None) {
                open = false;
                continue;
            }
            if (open && n - lastBleeding <= 3) {
                for (int gap = lastBleeding + 1; gap < n; ++gap)
                    m_level[static_cast<size_t>(gap)] = Medium;
                lastBleeding = std::max(lastBleeding, n);
            } else {
                hers.push_back({n, 1, false, false});
                lastBleeding = n;
            }
            hers.back().days = lastBleeding - hers.back().start + 1;
            hers.back().onRealDate = hers.back().onRealDate || r.date.day <= monthDays;
            open = true;
        }
        // Rules 2 and 3.
        const int today = DaysBetween(Today(), kOrigin);
        for (size_t k = 0; k < hers.size(); ++k) {
            const Run period = hers[k];
            runs.push_back(period);
            if (period.days >= 2)
                periods.push_back(period.days);
            const int length = RoundedMean(cycles, m_initialCycle, 1, 99);
            const int days = std::max(1, std::min(RoundedMean(periods, m_initialPeriod, 1, 10), length - 1));
            const int step = std::max(length, days + 1);
            int p = std::max(period.start + length, period.start + period.days + 1);
            if (k + 1 == hers.size()) {
                if (p <= today && today - p <= 14) {
                    lateDays = today - p;
                    p = today + 1;
                }
                for (; p < mapDays; p += step) {
                    Paint(p, days);
                    runs.push_back({p, days, true});
                }
                break;
            }
            const int t = hers[k + 1].start;
            bool placed = false;
            for (; t - p > 14; p += step) {
                Paint(p, std::min(days, t - 1 - p));
                runs.push_back({p, std::min(days, t - 1 - p), true});
                placed = true;
            }
            if (!placed && t - period.start >= 20)
                cycles.push_back(t - period.start);
        }
        cycleLength = RoundedMean(cycles, m_initialCycle, 1, 99);
        periodLength = RoundedMean(periods, m_initialPeriod, 1, 10);
    }

    int m_initialCycle;
    int m_initialPeriod;
    std::vector<int> m_level;
    std::vector<bool> m_recorded;
};

std::vector<DayRecord> RandomHistory(std::mt19937& random)
{
    std::vector<DayRecord> records;
    std::uniform_int_distribution<int> cycle(18, 45);
    std::uniform_int_distribution<int> period(1, 8);
    std::uniform_int_distribution<int> level(0, 3);
    std::uniform_int_distribution<int> percent(0, 99);
    CalDate day = Date(2003 + static_cast<int>(random() % 22), 1 + static_cast<int>(random() % 12),
                       1 + static_cast<int>(random() % 28));
    const int cycles = 1 + static_cast<int>(random() % 14);
    for (int c = 0; c < cycles; ++c) {
        const int length = period(random);
        for (int d = 0; d < length; ++d) {
            const int p = percent(random);
            if (p < 70)
                records.push_back(Day(OffsetDate(day, d), p < 5 ? None : 1 + level(random) % 3));
        }
        if (percent(random) < 20)
            records.push_back(Day(OffsetDate(day, length + 3), None, QStringLiteral("dry")));
        if (percent(random) < 15) // spotting between periods
            records.push_back(Day(OffsetDate(day, 9 + static_cast<int>(random() % 12)), Slight));
        if (percent(random) < 5) // a stored date its month lacks
            records.push_back(Day(Date(day.year, 2, 30), 1 + level(random) % 3));
        // Now and then a long gap of several missed cycles.
        day = OffsetDate(day, cycle(random) * (percent(random) < 15 ? 3 : 1));
    }
    return records;
}
} // namespace

using ReferenceDeriveTest = VeluminaTest;

TEST_F(ReferenceDeriveTest, MatchesAPlainDerivationOnRandomHistories)
{
    ProcessTimeLimit limit(100);
    std::mt19937 random(20261206u);
    int lateRounds = 0;
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        const std::vector<DayRecord> records = RandomHistory(random);
        if (records.empty())
            continue;
        SetToday(2026, 12, 6);
        ResetCycleDatabaseForTesting();
        CycleDatabase& db = TheCycleDatabase();
        ASSERT_TRUE(db.ReplaceRecords(records));
        // Most rounds look at the history from a few weeks after its last record, where a
        // period may be late; the others from 6 December 2026.
        const CalDate last = db.Records().back().date;
        if (round % 4 != 0 && last.year >= kMapFirstYear) {
            const CalDate today = OffsetDate(last, 5 + static_cast<int>(random() % 50));
            SetToday(today.year, today.month, today.day);
            db.Recalculate();
        }
        ReferenceDerivation reference(db.Records(), db.InitialCycleLen(), db.InitialPeriodLen());
        // From her first run on (before it every day reads 0 in both).
        const int firstDay = reference.runs.empty() ? 0 : reference.runs.front().start;
        CalDate d = OffsetDate(ReferenceDerivation::kOrigin, firstDay);
        int n = firstDay;
        for (; d.year <= kMapLastYear && db.Map().Level(d) == reference.LevelAt(n); ++n)
            NextDay(d);
        EXPECT_GT(d.year, kMapLastYear) << d.year << "-" << d.month << "-" << d.day << " level " << db.Map().Level(d)
                                        << " instead of " << reference.LevelAt(n);
        const std::vector<int>& cycles = reference.cycles;
        const auto [shortest, longest] = std::minmax_element(cycles.begin(), cycles.end());
        const int measured = static_cast<int>(cycles.size());
        EXPECT_EQ(db.AverageCycleLength(), reference.cycleLength);
        EXPECT_EQ(db.MeasuredCycleCount(), measured);
        EXPECT_EQ(db.AveragedCycleCount(), std::min(measured, 6));
        EXPECT_EQ(db.ShortestCycle(), cycles.empty() ? reference.cycleLength : *shortest);
        EXPECT_EQ(db.LongestCycle(), cycles.empty() ? reference.cycleLength : *longest);
        EXPECT_EQ(db.LongestPeriod(), reference.LongestPeriod());
        EXPECT_EQ(db.PredictedPeriodLength(), reference.periodLength);
        EXPECT_EQ(db.LateDays(), reference.lateDays);
        std::vector<CycleRecord> rows;
        db.BuildCycleList(rows);
        const std::vector<CycleStatus> statuses = CycleStatuses(db, rows);
        std::vector<std::tuple<int, int, int, CycleStatus>> got;
        for (size_t k = 0; k < rows.size(); ++k)
            got.emplace_back(DaysBetween(rows[k].firstDay, ReferenceDerivation::kOrigin), rows[k].cycleLength,
                             rows[k].bleedingDays, statuses[k]);
        EXPECT_EQ(got, reference.Rows(Today()));
        lateRounds += reference.lateDays >= 0 ? 1 : 0;
    }
    EXPECT_GT(lateRounds, 10) << "late periods are compared too";
}
