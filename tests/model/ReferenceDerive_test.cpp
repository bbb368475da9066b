#include "ModelTestSupport.h"

#include "model/DayStatusMap.h"

#include <random>

// A plain, slow derivation written straight from the rules (day arithmetic through local time,
// the average walked from the first record every time), compared with the database's own on
// random histories. It shares no code with the database beyond the date functions.
namespace {
class ReferenceDerivation
{
public:
    ReferenceDerivation(const std::vector<DayRecord>& records, int initialCycle, int initialPeriod)
        : m_records(records), m_initialCycle(initialCycle), m_initialPeriod(initialPeriod)
    {
        for (const DayRecord& record : records) {
            const int cell = DayStatusMap::CellIndex(record.date);
            if (cell >= 0)
                m_recorded[static_cast<size_t>(cell)] = true;
        }
        Derive();
    }

    int Level(const CalDate& d) const
    {
        const int cell = DayStatusMap::CellIndex(d);
        return cell < 0 ? 0 : m_map[static_cast<size_t>(cell)];
    }

    int LateDays() const
    {
        return m_lateDays;
    }

    int Average()
    {
        if (m_average != 0)
            return m_average;
        int64_t sum = m_initialCycle;
        int64_t n = 1;
        CalDate end = Today();
        if (IsBefore(end, m_records.back().date))
            end = m_records.back().date;
        AddDays(end, 40);
        bool inRun = false;
        bool haveStart = false;
        CalDate previousStart{0, 0, 0};
        // Before the map every day is dry, so start the walk at the later of the two.
        CalDate day = m_records.front().date;
        if (day.year < kMapFirstYear)
            day = Date(kMapFirstYear, 1, 1);
        for (; IsBefore(day, end) && day.year <= kMapLastYear; NextDay(day)) {
            const bool bleeding = Level(day) != 0;
            if (bleeding && !inRun) {
                inRun = true;
                if (haveStart) {
                    const int length = DaysBetween(day, previousStart);
                    if (length >= 20 && length <= 40) {
                        sum += length;
                        ++n;
                    }
                }
                previousStart = day;
                haveStart = true;
            } else if (!bleeding) {
                inRun = false;
            }
        }
        m_average = static_cast<int>((5 * (n + 2 * sum)) / (10 * n));
        return m_average;
    }

private:
    void Set(const CalDate& d, int level)
    {
        const int cell = DayStatusMap::CellIndex(d);
        if (cell >= 0)
            m_map[static_cast<size_t>(cell)] = level;
    }

    void Predict(const CalDate& start)
    {
        auto mark = [&](const CalDate& d, int level) {
            const int cell = DayStatusMap::CellIndex(d);
            if (cell < 0 || !m_recorded[static_cast<size_t>(cell)])
                Set(d, level);
        };
        mark(start, Heavy);
        CalDate d = start;
        for (int i = 0; i < m_initialPeriod - 2; ++i) {
            NextDay(d);
            mark(d, Medium);
        }
        NextDay(d);
        mark(d, Slight);
    }

    bool Start(CalDate& date)
    {
        if (!IsValidDate(date))
            return false;
        CalDate d = date;
        for (int looked = 0;; ++looked) {
            if (looked >= 40 || !IsYearInMapRange(d.year))
                return false;
            if (Level(d) != 0)
                break;
            PrevDay(d);
        }
        for (CalDate p = OffsetDate(d, -1); IsYearInMapRange(p.year) && Level(p) != 0; p = OffsetDate(d, -1))
            d = p;
        date = d;
        return true;
    }

    // A record from index `from` on, with a bleeding level, dated in [begin, end).
    bool BleedingRecordIn(size_t from, const CalDate& begin, const CalDate& end) const
    {
        for (size_t k = from; k < m_records.size(); ++k) {
            const CalDate& d = m_records[k].date;
            if (LevelOf(m_records[k]) != None && !IsBefore(d, begin) && IsBefore(d, end))
                return true;
        }
        return false;
    }

    void Derive()
    {
        size_t i = 0;
        while (i < m_records.size() && LevelOf(m_records[i]) == None)
            ++i;
        if (i == m_records.size())
            return;
        const CalDate first = m_records[i].date;
        CalDate rec = first;
        CalDate pred = rec;
        Predict(pred);
        for (;;) {
            if (!IsBefore(rec, OffsetDate(pred, 14))) {
                if (pred.year > kMapLastYear)
                    return;
                const CalDate previous = pred;
                CalDate base = OffsetDate(pred, 14);
                Start(base);
                m_average = 0;
                CalDate next = OffsetDate(base, Average());
                if (!IsAfter(next, previous))
                    next = OffsetDate(previous, Average());
                pred = next;
                // Her own period in the window takes the prediction's place.
                if (!BleedingRecordIn(i, OffsetDate(base, 14), OffsetDate(pred, 14)))
                    Predict(pred);
                continue;
            }
            Set(rec, LevelOf(m_records[i]));
            if (LevelOf(m_records[i]) != None && DaysBetween(rec, first) < 7) {
                for (CalDate d = OffsetDate(first, 1); IsBefore(d, rec); NextDay(d))
                    Set(d, Medium);
            }
            if (++i < m_records.size()) {
                rec = m_records[i].date;
                continue;
            }
            AddDays(pred, 14);
            Start(pred);
            rec = pred;
            m_average = 0;
            break;
        }
        for (bool firstPrediction = true; rec.year < kMapLastYear; firstPrediction = false) {
            AddDays(rec, Average());
            const int late = firstPrediction && !IsAfter(rec, Today()) ? DaysBetween(Today(), rec) : -1;
            if (late >= 0 && late <= 14) {
                m_lateDays = late;
                rec = OffsetDate(Today(), 1);
            }
            Predict(rec);
        }
        m_average = 0;
    }

    std::vector<DayRecord> m_records;
    int m_initialCycle;
    int m_initialPeriod;
    int m_average = 0;
    int m_lateDays = -1;
    std::vector<int> m_map = std::vector<int>(DayStatusMap::kCellCount, 0);
    std::vector<bool> m_recorded = std::vector<bool>(DayStatusMap::kCellCount, false);
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

class ReferenceDeriveTest : public VeluminaTest
{
};

TEST_F(ReferenceDeriveTest, MatchesAPlainDerivationOnRandomHistories)
{
    ProcessTimeLimit limit(100);
    std::mt19937 random(20261206u);
    int lateRounds = 0;
    for (int round = 0; round < 150; ++round) {
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
        const CalDate from = db.Records().front().date;
        int mismatches = 0;
        for (CalDate d = from; d.year < kMapLastYear && mismatches < 3; NextDay(d)) {
            if (db.Map().Level(d) != reference.Level(d)) {
                ADD_FAILURE() << "round " << round << ": " << d.year << "-" << d.month << "-" << d.day << " level "
                              << db.Map().Level(d) << " instead of " << reference.Level(d);
                ++mismatches;
            }
        }
        EXPECT_EQ(db.AverageCycleLength(), reference.Average()) << "round " << round;
        EXPECT_EQ(db.LateDays(), reference.LateDays()) << "round " << round;
        lateRounds += reference.LateDays() >= 0 ? 1 : 0;
    }
    EXPECT_GT(lateRounds, 10) << "late periods are compared too";
}
