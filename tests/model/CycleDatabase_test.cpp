#include "ModelTestSupport.h"

#include "platform/MessageRecorder.h"
#include "settings/SettingsAccess.h"

#include <climits>

namespace {
const QString kSection = QStringLiteral("Settings");

std::vector<CalDate> DatesOf(const CycleDatabase& database)
{
    std::vector<CalDate> dates;
    for (const DayRecord& record : database.Records())
        dates.push_back(record.date);
    return dates;
}
} // namespace

class CycleDatabaseTest : public VeluminaTest
{
protected:
    static CycleDatabase& db()
    {
        return TheCycleDatabase();
    }
};

TEST_F(CycleDatabaseTest, SetDayKeepsOneRecordPerDateInDateOrder)
{
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 3, 10), Heavy)));
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 3, 20), Medium)));
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 3, 1), Slight)));                          // before all
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 3, 15), None)));                           // between two
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 4, 1), Heavy)));                           // after the last
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 3, 15), Heavy, QStringLiteral("again")))); // replaces
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 3, 1), Medium)));                          // replaces the first
    EXPECT_TRUE(db().SetDay(Day(Date(2026, 4, 1), Slight)));                          // replaces the last

    const std::vector<CalDate> dates = DatesOf(db());
    ASSERT_EQ(dates.size(), 5u);
    const CalDate expected[] = {Date(2026, 3, 1), Date(2026, 3, 10), Date(2026, 3, 15), Date(2026, 3, 20),
                                Date(2026, 4, 1)};
    for (size_t i = 0; i < dates.size(); ++i)
        EXPECT_TRUE(IsSameDate(dates[i], expected[i])) << i;
    EXPECT_EQ(LevelOf(db().Records()[0]), Medium);
    EXPECT_EQ(db().Records()[2].note, QStringLiteral("again"));
    EXPECT_EQ(LevelOf(db().Records()[4]), Slight);

    EXPECT_EQ(db().FindIndex(Date(2026, 2, 28)), -1);
    EXPECT_EQ(db().FindIndex(Date(2026, 3, 1)), 0);
    EXPECT_EQ(db().FindIndex(Date(2026, 3, 14)), 1);
    EXPECT_EQ(db().FindIndex(Date(2027, 1, 1)), 4);
}

TEST_F(CycleDatabaseTest, GetDayReportsStoredAndUnstoredDaysWithTheMapLevel)
{
    // A period is filled between its bleeding records: 2 and 5 May recorded, 3 and 4 May not.
    db().SetDay(Day(Date(2026, 5, 1), Heavy));
    db().SetDay(Day(Date(2026, 5, 2), Slight, QStringLiteral("cramps")));
    db().SetDay(Day(Date(2026, 5, 5), Slight));

    const DayRecord stored = db().GetDay(Date(2026, 5, 2));
    EXPECT_EQ(stored.flags & kNoRecordFlag, 0u);
    EXPECT_EQ(stored.note, QStringLiteral("cramps"));
    EXPECT_NE(stored.flags & kHasNoteFlag, 0u);
    EXPECT_EQ(LevelOf(stored), Slight) << "a recorded day keeps its level";

    const DayRecord filled = db().GetDay(Date(2026, 5, 4));
    EXPECT_NE(filled.flags & kNoRecordFlag, 0u);
    EXPECT_TRUE(filled.note.isEmpty());
    EXPECT_EQ(LevelOf(filled), Medium);

    // A predicted day one cycle later, and the chance from the day's own cycle start.
    const DayRecord predicted = db().GetDay(Date(2026, 5, 29));
    EXPECT_NE(predicted.flags & kNoRecordFlag, 0u);
    EXPECT_EQ(LevelOf(predicted), Heavy);
    EXPECT_EQ(db().GetDay(Date(2026, 5, 15)).chance, 84); // cycle day 14 of 28, luteal phase 14
    EXPECT_EQ(db().GetDay(Date(2026, 5, 1)).chance, 0);

    // Outside the map the stored level stays and no chance is given.
    db().SetDay(Day(Date(2100, 1, 1), Heavy));
    const DayRecord outside = db().GetDay(Date(2100, 1, 1));
    EXPECT_EQ(LevelOf(outside), Heavy);
    EXPECT_EQ(outside.chance, -1);
    EXPECT_EQ(LevelOf(db().GetDay(Date(2007, 6, 1))), None);
}

TEST_F(CycleDatabaseTest, CycleParametersComeFromTheSettings)
{
    EXPECT_EQ(db().InitialCycleLen(), 28);
    EXPECT_EQ(db().InitialPeriodLen(), 3);
    EXPECT_EQ(db().LutealPhaseLen(), 14);

    // A stored 15 is used as 15 and read again on every call.
    ResetCycleDatabaseForTesting();
    CycleDatabase& fresh = TheCycleDatabase();
    WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), 15);
    EXPECT_EQ(fresh.InitialCycleLen(), 15);
    WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), 17);
    EXPECT_EQ(fresh.InitialCycleLen(), 17);
    WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), 32);
    EXPECT_EQ(fresh.InitialCycleLen(), 32);
    WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), 25);
    EXPECT_EQ(fresh.InitialCycleLen(), 32) << "a value from 20 on is cached";

    fresh.SetInitialPeriodLen(5);
    EXPECT_EQ(ReadSettingInt(kSection, QStringLiteral("InitialPeriodLen"), 0), 5);
    fresh.SetLutealPhaseLen(12);
    EXPECT_EQ(ReadSettingInt(kSection, QStringLiteral("LutealPhaseLen"), 0), 12);
}

TEST_F(CycleDatabaseTest, UnusableStoredCycleParametersFallBackToTheDefaults)
{
    ProcessTimeLimit limit(20);
    for (int stored : {0, -5, 100, 100000, INT32_MIN}) {
        ResetCycleDatabaseForTesting();
        CycleDatabase& fresh = TheCycleDatabase();
        WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), stored);
        WriteSettingInt(kSection, QStringLiteral("InitialPeriodLen"), stored);
        fresh.SetDay(Day(Date(2026, 11, 1), Heavy));
        EXPECT_EQ(fresh.InitialCycleLen(), 28) << stored;
        EXPECT_EQ(fresh.InitialPeriodLen(), 3) << stored;
        // Expected on 29 November, 7 days before today, the period is predicted from 7 December.
        EXPECT_EQ(fresh.LateDays(), 7) << stored;
        EXPECT_EQ(fresh.AverageCycleLength(), 28) << stored;
        EXPECT_EQ(LevelOf(fresh.GetDay(Date(2026, 12, 7))), Heavy) << stored;
    }
    // The edges of what derivation can use are kept.
    ResetCycleDatabaseForTesting();
    WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), 99);
    WriteSettingInt(kSection, QStringLiteral("InitialPeriodLen"), 20);
    EXPECT_EQ(TheCycleDatabase().InitialCycleLen(), 99);
    EXPECT_EQ(TheCycleDatabase().InitialPeriodLen(), 20);
    TheCycleDatabase().SetDay(Day(Date(2026, 11, 1), Heavy));
    EXPECT_EQ(LevelOf(TheCycleDatabase().GetDay(Date(2027, 2, 8))), Heavy);
}

TEST_F(CycleDatabaseTest, LutealPhaseChangesChancesButNotPredictions)
{
    db().SetDay(Day(Date(2026, 11, 20), Heavy));
    db().SetChanged(false);
    EXPECT_EQ(db().ChanceForCycleDay(14), 84);
    db().SetLutealPhaseLen(12);
    EXPECT_FALSE(db().Changed()) << "the luteal phase does not recalculate";
    EXPECT_EQ(db().ChanceForCycleDay(16), 84);
    EXPECT_EQ(db().ChanceForCycleDay(14), 56);
    EXPECT_EQ(LevelOf(db().GetDay(Date(2026, 12, 18))), Heavy);
}

TEST_F(CycleDatabaseTest, AStoredLutealPhaseNoCycleCanHaveReadsAsTheDefault)
{
    for (int stored : {INT32_MIN, -2, 0, 41, INT32_MAX}) {
        ResetCycleDatabaseForTesting();
        CycleDatabase& fresh = TheCycleDatabase();
        WriteSettingInt(kSection, QStringLiteral("LutealPhaseLen"), stored);
        fresh.SetDay(Day(Date(2026, 11, 20), Heavy));
        EXPECT_EQ(fresh.LutealPhaseLen(), 14) << stored;
        EXPECT_EQ(fresh.ChanceForCycleDay(14), 84) << stored;
        EXPECT_EQ(fresh.ChanceForCycleDay(INT_MIN), 0) << stored;
        EXPECT_EQ(fresh.ChanceForCycleDay(INT_MAX), 0) << stored;
    }
    // Values a cycle can have are kept; below 11 they are read again on every call.
    ResetCycleDatabaseForTesting();
    WriteSettingInt(kSection, QStringLiteral("LutealPhaseLen"), 40);
    EXPECT_EQ(TheCycleDatabase().LutealPhaseLen(), 40);
    ResetCycleDatabaseForTesting();
    WriteSettingInt(kSection, QStringLiteral("LutealPhaseLen"), 1);
    EXPECT_EQ(TheCycleDatabase().LutealPhaseLen(), 1);
    WriteSettingInt(kSection, QStringLiteral("LutealPhaseLen"), 9);
    EXPECT_EQ(TheCycleDatabase().LutealPhaseLen(), 9);
    // A value set out of bounds is written, and reads as the default too.
    TheCycleDatabase().SetLutealPhaseLen(55);
    EXPECT_EQ(TheCycleDatabase().LutealPhaseLen(), 14);
}

TEST_F(CycleDatabaseTest, ResetEmptiesEverything)
{
    db().SetDay(Day(Date(2026, 11, 20), Heavy));
    db().SetDay(Day(Date(2026, 10, 22), Heavy));
    db().Reset();
    EXPECT_TRUE(db().Records().empty());
    EXPECT_TRUE(db().Changed());
    EXPECT_EQ(db().AverageCycleLength(), db().InitialCycleLen());
    EXPECT_EQ(db().Map().LastNonZeroDayNumber(), INT_MIN);
    EXPECT_EQ(db().DayOfCycle(), -1);
    EXPECT_EQ(db().ChanceToday(), -1);
    std::vector<CycleRecord> rows;
    EXPECT_EQ(db().BuildCycleList(rows), 0);
}

TEST_F(CycleDatabaseTest, ReplaceRecordsSortsAndKeepsTheLastOfEqualDates)
{
    std::vector<DayRecord> records = {Day(Date(2026, 5, 3), Heavy), Day(Date(2026, 5, 1), Slight),
                                      Day(Date(2026, 5, 3), Slight, QStringLiteral("later")),
                                      Day(Date(2026, 4, 30), None)};
    ASSERT_TRUE(db().ReplaceRecords(records));
    ASSERT_EQ(db().Records().size(), 3u);
    EXPECT_TRUE(IsSameDate(db().Records()[0].date, Date(2026, 4, 30)));
    EXPECT_TRUE(IsSameDate(db().Records()[2].date, Date(2026, 5, 3)));
    EXPECT_EQ(db().Records()[2].note, QStringLiteral("later"));

    std::vector<DayRecord> tooMany;
    AddRun(tooMany, Date(1990, 1, 1), CycleDatabase::kMaxRecords + 1);
    EXPECT_FALSE(db().ReplaceRecords(tooMany));
    EXPECT_EQ(db().Records().size(), 3u) << "a failed replacement changes nothing";
}

TEST_F(CycleDatabaseTest, SetDayRefusesANewDateBeyondTheRecordLimit)
{
    std::vector<DayRecord> full;
    AddRun(full, Date(1990, 1, 1), CycleDatabase::kMaxRecords, None);
    ASSERT_TRUE(db().ReplaceRecords(full));
    MessageRecorder messages;
    EXPECT_FALSE(db().SetDay(Day(Date(2026, 1, 1), Heavy)));
    EXPECT_EQ(db().Records().size(), static_cast<size_t>(CycleDatabase::kMaxRecords));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(messages.Texts().front().contains(QStringLiteral("10000")));
    // Replacing a stored day is still possible.
    EXPECT_TRUE(db().SetDay(Day(Date(1990, 1, 1), Heavy)));
    EXPECT_EQ(LevelOf(db().Records().front()), Heavy);
}

TEST_F(CycleDatabaseTest, MeasuredCycleCountIsTheIntervalsTheAverageRestsOn)
{
    EXPECT_EQ(db().AverageCycleLength(), 28);
    EXPECT_EQ(db().MeasuredCycleCount(), 0) << "no records: the settings' value alone";

    // Periods on days 0 to 4 and 25 to 29, today day 29: the recorded interval of 25 days only;
    // the unfinished cycle and the predicted start never count.
    const CalDate day0 = Date(2026, 3, 10);
    db().ReplaceRecords(StartTwoPeriodExample());
    EXPECT_EQ(db().AverageCycleLength(), 25);
    EXPECT_EQ(db().MeasuredCycleCount(), 1);
    EXPECT_EQ(db().AveragedCycleCount(), 1);
    EXPECT_EQ(db().ShortestCycle(), 25);
    EXPECT_EQ(db().LongestCycle(), 25);

    // A period broken by a day without bleeding: the 3-day interval to its second part is no
    // cycle, so it is not counted.
    db().SetDay(Day(OffsetDate(day0, 27), None));
    EXPECT_EQ(db().MeasuredCycleCount(), 1);

    db().Reset();
    EXPECT_EQ(db().AverageCycleLength(), 28);
    EXPECT_EQ(db().MeasuredCycleCount(), 0);
}
