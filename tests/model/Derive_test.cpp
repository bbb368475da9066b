#include "ModelTestSupport.h"

#include "model/CivilDays.h"
#include "settings/SettingsAccess.h"

namespace {
const QString kSection = QStringLiteral("Settings");

/// Levels of `count` days from `first` in the map, as a string of digits.
std::string Levels(CycleDatabase& database, const CalDate& first, int count)
{
    std::string levels;
    for (int i = 0; i < count; ++i)
        levels += static_cast<char>('0' + LevelOf(database.GetDay(OffsetDate(first, i))));
    return levels;
}

::testing::AssertionResult SameDate(const CalDate& actual, const CalDate& expected)
{
    if (IsSameDate(actual, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.year << "-" << actual.month << "-" << actual.day << " instead of "
                                         << expected.year << "-" << expected.month << "-" << expected.day;
}
} // namespace

class DeriveTest : public VeluminaTest
{
protected:
    static CycleDatabase& db()
    {
        return TheCycleDatabase();
    }
    const CalDate day0 = Date(2026, 3, 2);

    CalDate At(int n) const
    {
        return OffsetDate(day0, n);
    }
};

TEST_F(DeriveTest, NoRecordsOrNoBleedingGiveTheInitialCycleAndNoCycleStart)
{
    for (bool withRecords : {false, true}) {
        ResetCycleDatabaseForTesting();
        CycleDatabase& fresh = TheCycleDatabase();
        if (withRecords)
            fresh.ReplaceRecords({Day(Date(2026, 11, 1), None, QStringLiteral("note")), Day(Date(2026, 11, 2), None)});
        else
            fresh.Recalculate();
        EXPECT_EQ(fresh.Map().LastNonZeroDayNumber(), INT_MIN);
        EXPECT_EQ(fresh.AverageCycleLength(), 28);
        EXPECT_EQ(fresh.ShortestCycle(), 28);
        EXPECT_EQ(fresh.LongestCycle(), 28);
        CalDate start = Today();
        EXPECT_FALSE(fresh.FindPeriodStart(start));
        EXPECT_EQ(fresh.DayOfCycle(), -1);
        EXPECT_EQ(fresh.ChanceForDate(Today()), -1);
        std::vector<CycleRecord> rows;
        EXPECT_EQ(fresh.BuildCycleList(rows), 0);
    }
}

TEST_F(DeriveTest, OnePeriodPredictsEveryInitialCycleLength)
{
    db().ReplaceRecords({Day(day0, Heavy), Day(At(1), Medium), Day(At(2), Slight)});
    EXPECT_EQ(db().AverageCycleLength(), 28);
    EXPECT_EQ(Levels(db(), At(26), 5), "00321");
    EXPECT_EQ(Levels(db(), At(54), 5), "00321");
    // Predictions fill the map to its last month.
    CalDate last{0, 0, 0};
    for (CalDate search = Date(2098, 6, 1); db().FindNextPeriodStart(search);)
        last = search;
    EXPECT_EQ(last.year, 2099);
    EXPECT_EQ(last.month, 12);
    EXPECT_EQ(DaysBetween(last, day0) % 28, 0);
}

TEST_F(DeriveTest, TwoRecordedPeriodsAverageAndPredict)
{
    // Periods on days 0 to 4 and 25 to 29, today day 29.
    std::vector<DayRecord> records;
    AddRun(records, day0, 5, Heavy);
    AddRun(records, At(25), 5, Heavy);
    db().ReplaceRecords(records);
    SetToday(At(29).year, At(29).month, At(29).day);
    db().Recalculate();

    EXPECT_EQ(db().AverageCycleLength(), 25) << "the one measured cycle; the setting no longer counts";
    EXPECT_EQ(db().ShortestCycle(), 25);
    EXPECT_EQ(db().LongestCycle(), 25);
    EXPECT_EQ(db().LongestPeriod(), 5);
    EXPECT_EQ(Levels(db(), At(28), 3), "330") << "the recorded period replaces the prediction for day 28";
    CalDate next = Today();
    ASSERT_TRUE(db().FindNextPeriodStart(next));
    EXPECT_TRUE(SameDate(next, At(50)));
    EXPECT_EQ(Levels(db(), At(50), 6), "322210") << "her periods last 5 days";
    EXPECT_EQ(db().DayOfCycle(), 4);

    std::vector<CycleRecord> rows;
    ASSERT_EQ(db().BuildCycleList(rows), 2);
    EXPECT_TRUE(SameDate(rows[0].firstDay, day0));
    EXPECT_EQ(rows[0].cycleLength, 25);
    EXPECT_EQ(rows[0].bleedingDays, 5);
    EXPECT_TRUE(SameDate(rows[1].firstDay, At(25)));
    EXPECT_EQ(rows[1].cycleLength, 25) << "the last row runs to the predicted start";
    EXPECT_EQ(rows[1].bleedingDays, 5);
    EXPECT_EQ(db().LateDays(), -1);
}

TEST_F(DeriveTest, PredictedPeriodLengthFollowsTheInitialPeriodLength)
{
    WriteSettingInt(kSection, QStringLiteral("InitialPeriodLen"), 5);
    db().ReplaceRecords({Day(day0, Heavy)});
    EXPECT_EQ(Levels(db(), At(28), 6), "322210");

    ResetCycleDatabaseForTesting();
    WriteSettingInt(kSection, QStringLiteral("InitialPeriodLen"), 1);
    TheCycleDatabase().ReplaceRecords({Day(day0, Heavy)});
    EXPECT_EQ(Levels(TheCycleDatabase(), At(28), 3), "300") << "a period of 1 day is one day";
    EXPECT_EQ(Levels(TheCycleDatabase(), day0, 3), "300");
}

TEST_F(DeriveTest, ALatePeriodStartsItsOwnCycle)
{
    // Predicted start day 28 (3 days); the recorded period begins on day 30.
    std::vector<DayRecord> records;
    AddRun(records, day0, 4, Heavy);
    AddRun(records, At(30), 4, Heavy);
    db().ReplaceRecords(records);
    EXPECT_EQ(Levels(db(), At(27), 8), "00033330") << "no predicted days before her period";
    CalDate start = At(31);
    ASSERT_TRUE(db().FindPeriodStart(start));
    EXPECT_TRUE(SameDate(start, At(30))) << "its cycle counts from her first bleeding day";
    EXPECT_EQ(db().AverageCycleLength(), 30);
    std::vector<CycleRecord> rows;
    ASSERT_GE(db().BuildCycleList(rows), 2);
    EXPECT_EQ(rows[0].cycleLength, 30);
    EXPECT_TRUE(SameDate(rows[1].firstDay, At(30)));
    EXPECT_EQ(rows[1].bleedingDays, 4);
}

TEST_F(DeriveTest, AnInterruptedPeriodStartsARunThatIsNotAveraged)
{
    // Days 0..2 and 4..5 bleeding, day 3 recorded dry; the next period on day 30.
    db().ReplaceRecords({Day(day0, Heavy), Day(At(1), Heavy), Day(At(2), Heavy), Day(At(3), None), Day(At(4), Medium),
                         Day(At(5), Slight), Day(At(30), Heavy), Day(At(31), Heavy), Day(At(32), Heavy)});
    SetToday(At(33).year, At(33).month, At(33).day);
    db().Recalculate();
    // A day recorded dry splits a period: its second part restarts the count.
    EXPECT_EQ(Levels(db(), day0, 6), "333021");
    ResetCycleDatabaseForTesting();
    CycleDatabase& fresh = TheCycleDatabase();
    fresh.ReplaceRecords({Day(day0, Heavy), Day(At(1), Heavy), Day(At(2), Heavy), Day(At(30), Heavy),
                          Day(At(31), Heavy), Day(At(32), None), Day(At(33), Heavy), Day(At(34), Heavy),
                          Day(At(61), Heavy), Day(At(62), Heavy), Day(At(63), Heavy)});
    SetToday(At(64).year, At(64).month, At(64).day);
    fresh.Recalculate();
    EXPECT_EQ(Levels(fresh, At(28), 7), "0033033");
    // Runs start on 0, 30, 33 and 61. The 3 days from 30 to 33 are not a cycle, but 33 becomes
    // the previous start: 33 to 61 is 28 days. The average is (30 + 28) / 2.
    EXPECT_EQ(fresh.AverageCycleLength(), 29);
    EXPECT_EQ(fresh.ShortestCycle(), 28);
    EXPECT_EQ(fresh.LongestCycle(), 30);
}

TEST_F(DeriveTest, ChanceTableAroundTheOvulationDay)
{
    db().ReplaceRecords({Day(day0, Heavy)});
    const std::pair<int, int> expected[] = {{14, 84}, {13, 77}, {12, 56}, {11, 30}, {10, 11}, {9, 3},
                                            {8, 0},   {15, 67}, {16, 36}, {17, 14}, {18, 2},  {19, 0},
                                            {0, 0},   {-1, 0},  {27, 0},  {100, 0}};
    for (const auto& [day, chance] : expected)
        EXPECT_EQ(db().ChanceForCycleDay(day), chance) << day;
    SetToday(At(14).year, At(14).month, At(14).day);
    EXPECT_EQ(db().ChanceToday(), 84);
    EXPECT_EQ(db().ChanceForDate(At(13)), 77) << "counted from today's cycle start";
    EXPECT_EQ(db().GetDay(At(13)).chance, 77);
}

TEST_F(DeriveTest, SearchesFindPeriodsNotBleedingDays)
{
    // A run of 25 bleeding days: the next start is the predicted period after it.
    std::vector<DayRecord> longRun;
    AddRun(longRun, day0, 25, Medium);
    db().ReplaceRecords(longRun);
    CalDate next = day0;
    ASSERT_TRUE(db().FindNextPeriodStart(next));
    EXPECT_TRUE(SameDate(next, At(28)));
    EXPECT_EQ(db().BleedingDaysFrom(day0), 20);
    EXPECT_EQ(db().PredictedPeriodLength(), 10) << "at most 10 days";
    EXPECT_EQ(db().BleedingDaysFrom(At(24)), 14) << "day 24 and the predicted run 28 to 37";
    CalDate before = At(-1);
    EXPECT_FALSE(db().FindPeriodStart(before)) << "nothing before her first period";
    EXPECT_TRUE(SameDate(before, At(-1))) << "unchanged when not found";
}

TEST_F(DeriveTest, RecordedDaysKeepTheirLevelWhenThePeriodIsLate)
{
    // Regular cycles predict 29 January; she records no bleeding on 29, 30 and 31 January.
    std::vector<DayRecord> records;
    for (int cycle = 0; cycle < 4; ++cycle)
        AddRun(records, OffsetDate(Date(2025, 10, 9), 28 * cycle), 4, Heavy);
    for (int day : {29, 30, 31})
        records.push_back(Day(Date(2026, 1, day), None));
    db().ReplaceRecords(records);
    SetToday(2026, 2, 1);
    db().Recalculate();
    ASSERT_TRUE(SameDate(OffsetDate(Date(2025, 10, 9), 28 * 4), Date(2026, 1, 29)));
    EXPECT_EQ(Levels(db(), Date(2026, 1, 28), 5), "00000");
    CalDate start = Today();
    ASSERT_TRUE(db().FindPeriodStart(start));
    EXPECT_TRUE(SameDate(start, Date(2026, 1, 1))) << "no cycle starting on 29 January";
    EXPECT_EQ(db().DayOfCycle(), 31);
    // Three days late: her period is expected from tomorrow, and the next a cycle after it.
    EXPECT_EQ(db().LateDays(), 3);
    EXPECT_EQ(Levels(db(), Date(2026, 2, 1), 6), "032210");
    EXPECT_EQ(LevelOf(db().GetDay(Date(2026, 3, 2))), Heavy);

    // A note on a predicted day keeps that day free of bleeding; the rest of the period stays.
    ResetCycleDatabaseForTesting();
    CycleDatabase& fresh = TheCycleDatabase();
    fresh.ReplaceRecords({Day(day0, Heavy), Day(At(29), None, QStringLiteral("headache"))});
    EXPECT_EQ(Levels(fresh, At(28), 3), "301");
    const DayRecord noted = fresh.GetDay(At(29));
    EXPECT_EQ(noted.note, QStringLiteral("headache"));
    EXPECT_EQ(noted.flags & kNoRecordFlag, 0u);
}

TEST_F(DeriveTest, DerivationEndsForARunLongerThanACycle)
{
    ProcessTimeLimit limit(20);
    // Forty bleeding days, then a record long after the prediction.
    std::vector<DayRecord> records;
    AddRun(records, day0, 40, Medium);
    records.push_back(Day(At(80), None, QStringLiteral("fine")));
    db().ReplaceRecords(records);
    CalDate next = At(39);
    ASSERT_TRUE(db().FindNextPeriodStart(next));
    EXPECT_TRUE(IsAfter(next, At(40))) << "the next period keeps a dry day after hers";
}

TEST_F(DeriveTest, DerivationEndsAtTheEndOfTheMap)
{
    ProcessTimeLimit limit(20);
    // A prediction at the end of 2099 searches from January 2100; a record dated 2100.
    db().ReplaceRecords({Day(Date(2099, 12, 20), Heavy), Day(Date(2100, 1, 20), Heavy)});
    EXPECT_EQ(LevelOf(db().GetDay(Date(2099, 12, 20))), Heavy);
    EXPECT_EQ(db().AverageCycleLength(), 28);
    // Records far beyond the map and before it.
    ResetCycleDatabaseForTesting();
    TheCycleDatabase().ReplaceRecords({Day(Date(1950, 1, 1), Heavy), Day(Date(2020, 5, 1), Heavy),
                                       Day(Date(2020, 5, 29), Heavy), Day(Date(9000, 1, 1), Heavy)});
    CycleDatabase& far = TheCycleDatabase();
    EXPECT_EQ(LevelOf(far.GetDay(Date(2020, 5, 29))), Heavy);
    EXPECT_EQ(LevelOf(far.GetDay(Date(9000, 1, 1))), Heavy) << "outside the map the stored level";
    std::vector<CycleRecord> rows;
    EXPECT_GT(far.BuildCycleList(rows), 0);
}

TEST_F(DeriveTest, RecordsNoCalendarCanTakeEndDerivationToo)
{
    ProcessTimeLimit limit(20);
    for (const CalDate& odd :
         {Date(1899, 5, 1), Date(2026, 13, 1), Date(2026, 0, 5), CalDate{0, 0, 0}, Date(-5, 1, 1)}) {
        ResetCycleDatabaseForTesting();
        CycleDatabase& fresh = TheCycleDatabase();
        ASSERT_TRUE(fresh.ReplaceRecords({Day(odd, Heavy), Day(Date(2026, 11, 1), Heavy)}));
        // Expected on 29 November, 7 days before today: late, and predicted from tomorrow.
        EXPECT_EQ(LevelOf(fresh.GetDay(Date(2026, 12, 7))), Heavy) << odd.year << "-" << odd.month;
        std::vector<CycleRecord> rows;
        EXPECT_GT(fresh.BuildCycleList(rows), 0);
    }
}

TEST_F(DeriveTest, TenThousandDailyRecords)
{
    ProcessTimeLimit limit(60);
    std::vector<DayRecord> records;
    CalDate day = Date(1999, 1, 1);
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i) {
        records.push_back(Day(day, (i % 29) < 5 ? Heavy : None));
        CivilNextDay(day);
    }
    ASSERT_TRUE(db().ReplaceRecords(records));
    SetToday(2026, 5, 1);
    db().Recalculate();
    EXPECT_EQ(db().AverageCycleLength(), 29);
    EXPECT_EQ(db().LongestPeriod(), 5);
    std::vector<CycleRecord> rows;
    const int count = db().BuildCycleList(rows);
    // The history starts inside the map: the records before 2008 are not in it.
    EXPECT_EQ(count, 231);
    EXPECT_EQ(rows.front().firstDay.year, 2008);
    for (size_t i = 1; i + 1 < rows.size(); ++i) {
        if (rows[i].firstDay.year >= 2008 && rows[i].firstDay.year < 2026) {
            EXPECT_EQ(rows[i].cycleLength, 29) << i;
        }
    }
}

namespace {
// Five-day periods from 21 September, 19 October and 16 November 2026: 28-day cycles.
std::vector<DayRecord> AutumnPeriods(int recordedDays = 5)
{
    std::vector<DayRecord> records;
    for (const CalDate& start : {Date(2026, 9, 21), Date(2026, 10, 19), Date(2026, 11, 16)})
        AddRun(records, start, recordedDays, Heavy);
    return records;
}
} // namespace

TEST_F(DeriveTest, AnEarlyPeriodReplacesThePredictedOne)
{
    // Her period comes on 11 December, three days before the predicted 14 December; she
    // records every bleeding day, or the first day of each period only.
    for (int recordedDays : {5, 1}) {
        ResetCycleDatabaseForTesting();
        std::vector<DayRecord> records = AutumnPeriods(recordedDays);
        records.push_back(Day(Date(2026, 12, 11), Heavy));
        SetToday(2026, 12, 11);
        ASSERT_TRUE(db().ReplaceRecords(records));
        EXPECT_EQ(Levels(db(), Date(2026, 12, 11), 7), "3000000") << recordedDays;
        EXPECT_EQ(db().DayOfCycle(), 0);
        EXPECT_EQ(db().LateDays(), -1);
        CalDate next = Today();
        ASSERT_TRUE(db().FindNextPeriodStart(next));
        EXPECT_TRUE(SameDate(next, Date(2027, 1, 7))) << "28, 28, 28 and 25 days average 27";

        // A week later the cycle still counts from her own start.
        SetToday(2026, 12, 18);
        db().Recalculate();
        EXPECT_EQ(db().DayOfCycle(), 7);
        std::vector<CycleRecord> rows;
        ASSERT_EQ(db().BuildCycleList(rows), 4);
        EXPECT_EQ(rows[2].cycleLength, 25);
        EXPECT_TRUE(SameDate(rows[3].firstDay, Date(2026, 12, 11)));
    }
}

TEST_F(DeriveTest, ALatePeriodIsExpectedFromTomorrow)
{
    // Nothing recorded since 20 November: on 18 December the period of 14 December is 4 days late.
    SetToday(2026, 12, 18);
    ASSERT_TRUE(db().ReplaceRecords(AutumnPeriods()));
    EXPECT_EQ(db().LateDays(), 4);
    EXPECT_EQ(Levels(db(), Date(2026, 12, 14), 11), "00000322210");
    EXPECT_EQ(db().DayOfCycle(), 32);
    CalDate next = Today();
    ASSERT_TRUE(db().FindNextPeriodStart(next));
    EXPECT_TRUE(SameDate(next, Date(2026, 12, 19)));
    ASSERT_TRUE(db().FindNextPeriodStart(next));
    EXPECT_TRUE(SameDate(next, Date(2027, 1, 16))) << "the later predictions follow from tomorrow";

    // Periods recorded 1 to 5 January, no bleeding on 29 to 31 January, today 1 February.
    ResetCycleDatabaseForTesting();
    std::vector<DayRecord> january;
    AddRun(january, Date(2026, 1, 1), 5, Heavy);
    AddRun(january, Date(2026, 1, 29), 3, None);
    SetToday(2026, 2, 1);
    ASSERT_TRUE(db().ReplaceRecords(january));
    EXPECT_EQ(db().LateDays(), 3);
    CalDate february = Today();
    ASSERT_TRUE(db().FindNextPeriodStart(february));
    EXPECT_TRUE(SameDate(february, Date(2026, 2, 2)));
    std::vector<CycleRecord> rows;
    ASSERT_GE(db().BuildCycleList(rows), 1);
    EXPECT_TRUE(SameDate(rows[0].firstDay, Date(2026, 1, 1)));
    EXPECT_EQ(rows[0].cycleLength, 32);
    EXPECT_EQ(rows[0].bleedingDays, 5);
}

TEST_F(DeriveTest, APeriodUpToFourteenDaysLateMovesOneMoreDaysLateStays)
{
    std::vector<DayRecord> records;
    AddRun(records, day0, 5, Heavy);
    ASSERT_TRUE(db().ReplaceRecords(records));
    // The period is expected on day 28.
    for (int late : {-1, 0, 1, 14, 15}) {
        const CalDate today = At(28 + late);
        SetToday(today.year, today.month, today.day);
        db().Recalculate();
        CalDate next = today;
        ASSERT_TRUE(db().FindNextPeriodStart(next)) << late;
        if (late < 0 || late > 14) {
            EXPECT_EQ(db().LateDays(), -1) << late;
            EXPECT_EQ(Levels(db(), At(28), 1), "3") << late;
            EXPECT_TRUE(SameDate(next, At(late < 0 ? 28 : 56))) << late;
        } else {
            EXPECT_EQ(db().LateDays(), late);
            EXPECT_EQ(Levels(db(), At(28), 1), "0") << late;
            EXPECT_EQ(Levels(db(), today, 7), "0322210") << late;
            EXPECT_TRUE(SameDate(next, OffsetDate(today, 1))) << late;
        }
    }
}

TEST_F(DeriveTest, ANewDayDerivesTheLatePeriodAgain)
{
    SetToday(2026, 12, 18);
    ASSERT_TRUE(db().ReplaceRecords(AutumnPeriods()));
    db().SetChanged(false);
    EXPECT_FALSE(db().FollowToday()) << "derived today already";
    EXPECT_FALSE(db().Changed());
    SetToday(2026, 12, 19);
    EXPECT_TRUE(db().FollowToday());
    EXPECT_TRUE(db().Changed());
    EXPECT_EQ(db().LateDays(), 5);
    EXPECT_EQ(Levels(db(), Date(2026, 12, 19), 2), "03");
    EXPECT_FALSE(db().FollowToday());
}

namespace {
// Her recording habits: what the summary, the history and the statistics must still show.
struct HabitExample
{
    const char* name;
    std::vector<DayRecord> records;
    CalDate today;
    int cycleSetting;
    int periodSetting;
    int cycleDay;                          ///< as the summary shows it (1 on the first day)
    int late;                              ///< LateDays()
    CalDate next;                          ///< the next start found from today
    std::vector<std::pair<int, int>> rows; ///< cycle length and bleeding days of each history row
};

// Periods of `days` days (Medium) from each start.
std::vector<DayRecord> Periods(std::initializer_list<CalDate> starts, int days = 4)
{
    std::vector<DayRecord> records;
    for (const CalDate& start : starts)
        AddRun(records, start, days, Medium);
    return records;
}

std::vector<DayRecord> With(std::vector<DayRecord> records, std::initializer_list<DayRecord> more)
{
    records.insert(records.end(), more);
    std::sort(records.begin(), records.end(),
              [](const DayRecord& a, const DayRecord& b) { return IsBefore(a.date, b.date); });
    return records;
}
} // namespace

TEST_F(DeriveTest, OnlyBleedingMovesCyclesWhateverHerHabits)
{
    ProcessTimeLimit limit(60);
    const std::vector<DayRecord> autumn = Periods({Date(2026, 9, 10), Date(2026, 10, 8), Date(2026, 11, 5)});
    const std::vector<std::pair<int, int>> autumnRows{{28, 4}, {28, 4}, {33, 4}};
    const CalDate dec7 = Date(2026, 12, 7), dec8 = Date(2026, 12, 8);
    const CalDate d0 = Date(2026, 1, 5);
    const HabitExample examples[] = {
        {"four days late", autumn, dec7, 28, 3, 33, 4, dec8, autumnRows},
        {"a None day on 25 Nov", With(autumn, {Day(Date(2026, 11, 25), None)}), dec7, 28, 3, 33, 4, dec8, autumnRows},
        {"a note on 25 Nov", With(autumn, {Day(Date(2026, 11, 25), None, QStringLiteral("tired"))}), dec7, 28, 3, 33, 4,
         dec8, autumnRows},
        {"a note on 20 Jan", With(autumn, {Day(Date(2027, 1, 20), None, QStringLiteral("dentist"))}), dec7, 28, 3, 33,
         4, dec8, autumnRows},
        {"a forgotten day",
         With(Periods({Date(2026, 9, 10), Date(2026, 10, 8)}),
              {Day(Date(2026, 11, 5), Medium), Day(Date(2026, 11, 6), Medium), Day(Date(2026, 11, 8), Medium)}),
         Date(2026, 11, 20),
         28,
         3,
         16,
         -1,
         Date(2026, 12, 3),
         {{28, 4}, {28, 4}, {28, 4}}},
        {"a recorded None day splits",
         With(Periods({Date(2026, 9, 10), Date(2026, 10, 8)}),
              {Day(Date(2026, 11, 5), Medium), Day(Date(2026, 11, 6), None), Day(Date(2026, 11, 7), Medium)}),
         Date(2026, 11, 20),
         28,
         3,
         14,
         -1,
         Date(2026, 12, 5),
         {{28, 4}, {28, 4}, {2, 1}, {28, 1}}},
        {"35-day cycles, 5 late",
         Periods({Date(2026, 8, 1), Date(2026, 9, 5), Date(2026, 10, 10), Date(2026, 11, 14)}),
         Date(2026, 12, 24),
         35,
         3,
         41,
         5,
         Date(2026, 12, 25),
         {{35, 4}, {35, 4}, {35, 4}, {41, 4}}},
        {"35-day cycles, 8 late",
         Periods({Date(2026, 8, 1), Date(2026, 9, 5), Date(2026, 10, 10), Date(2026, 11, 14)}),
         Date(2026, 12, 27),
         35,
         3,
         44,
         8,
         Date(2026, 12, 28),
         {{35, 4}, {35, 4}, {35, 4}, {44, 4}}},
        {"welcome only, 40 days, 2 late",
         Periods({d0}, 1),
         OffsetDate(d0, 42),
         40,
         3,
         43,
         2,
         OffsetDate(d0, 43),
         {{43, 1}}},
        {"cycle of 99 days, 14 late",
         Periods({d0}, 1),
         OffsetDate(d0, 113),
         99,
         3,
         114,
         14,
         OffsetDate(d0, 114),
         {{114, 1}}},
        {"one 40-day cycle",
         Periods({d0, OffsetDate(d0, 40), OffsetDate(d0, 68), OffsetDate(d0, 96)}),
         OffsetDate(d0, 100),
         28,
         3,
         5,
         -1,
         OffsetDate(d0, 128),
         {{40, 4}, {28, 4}, {28, 4}, {32, 4}}},
        {"a period 13 days late",
         Periods({d0, OffsetDate(d0, 28), OffsetDate(d0, 69)}),
         OffsetDate(d0, 75),
         28,
         3,
         7,
         -1,
         OffsetDate(d0, 104),
         {{28, 4}, {41, 4}, {35, 4}}},
        {"a period 14 days late",
         Periods({d0, OffsetDate(d0, 28), OffsetDate(d0, 70)}),
         OffsetDate(d0, 75),
         28,
         3,
         6,
         -1,
         OffsetDate(d0, 105),
         {{28, 4}, {42, 4}, {35, 4}}},
        {"a period 15 days late",
         Periods({d0, OffsetDate(d0, 28), OffsetDate(d0, 71)}),
         OffsetDate(d0, 75),
         28,
         3,
         5,
         -1,
         OffsetDate(d0, 99),
         {{28, 4}, {28, 4}, {15, 4}, {28, 4}}},
    };
    for (const HabitExample& example : examples) {
        WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), example.cycleSetting);
        WriteSettingInt(kSection, QStringLiteral("InitialPeriodLen"), example.periodSetting);
        ResetCycleDatabaseForTesting();
        SetToday(example.today.year, example.today.month, example.today.day);
        ASSERT_TRUE(db().ReplaceRecords(example.records)) << example.name;
        EXPECT_EQ(db().DayOfCycle() + 1, example.cycleDay) << example.name;
        EXPECT_EQ(db().LateDays(), example.late) << example.name;
        CalDate next = example.today;
        EXPECT_TRUE(db().FindNextPeriodStart(next) && SameDate(next, example.next)) << example.name;
        std::vector<CycleRecord> rows;
        db().BuildCycleList(rows);
        std::vector<std::pair<int, int>> lengths;
        for (const CycleRecord& row : rows)
            lengths.emplace_back(row.cycleLength, row.bleedingDays);
        EXPECT_EQ(lengths, example.rows) << example.name;
    }
}

TEST_F(DeriveTest, StatisticsRestOnMeasuredCyclesAndRecordedPeriods)
{
    // Four days late after periods of 4 days on 10 Sep, 8 Oct and 5 Nov.
    SetToday(2026, 12, 7);
    ASSERT_TRUE(db().ReplaceRecords(Periods({Date(2026, 9, 10), Date(2026, 10, 8), Date(2026, 11, 5)})));
    EXPECT_EQ(db().AverageCycleLength(), 28);
    EXPECT_EQ(db().ShortestCycle(), 28);
    EXPECT_EQ(db().LongestCycle(), 28);
    EXPECT_EQ(db().MeasuredCycleCount(), 2);
    EXPECT_EQ(db().LongestPeriod(), 4);
    EXPECT_EQ(db().PredictedPeriodLength(), 4) << "her periods, not the setting of 3";
    EXPECT_EQ(Levels(db(), Date(2026, 12, 8), 5), "32210");

    // Ten years of 28-day cycles, then six of 32: the prediction follows the recent ones.
    std::vector<DayRecord> records;
    CalDate start = Date(2014, 1, 6);
    for (int cycle = 0; cycle < 136; ++cycle) {
        AddRun(records, start, 2, Heavy);
        start = OffsetDate(start, cycle < 130 ? 28 : 32);
    }
    AddRun(records, start, 2, Heavy);
    SetToday(start.year, start.month, start.day);
    ASSERT_TRUE(db().ReplaceRecords(records));
    EXPECT_EQ(db().AverageCycleLength(), 32);
    EXPECT_EQ(db().MeasuredCycleCount(), 136);
    EXPECT_EQ(db().AveragedCycleCount(), 6);
    EXPECT_EQ(db().LongestPeriod(), 2) << "2-day periods show 2";
    EXPECT_EQ(db().PredictedPeriodLength(), 2);
}
