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

TEST_F(DeriveTest, WithoutBleedingThereIsTheInitialCycleAndNoCycleStart)
{
    // No records at all, records without bleeding, and days erased with Reset.
    for (int setup = 0; setup < 3; ++setup) {
        SCOPED_TRACE(setup);
        ResetCycleDatabaseForTesting();
        if (setup == 0) {
            db().Recalculate();
        } else if (setup == 1) {
            db().ReplaceRecords({Day(Date(2026, 11, 1), None, QStringLiteral("note")), Day(Date(2026, 11, 2), None)});
        } else {
            db().ReplaceRecords({Day(Date(2026, 10, 22), Heavy), Day(Date(2026, 11, 20), Heavy)});
            db().Reset();
            EXPECT_TRUE(db().Records().empty());
            EXPECT_TRUE(db().Changed());
        }
        EXPECT_EQ(db().Map().LastNonZeroDayNumber(), INT_MIN);
        EXPECT_EQ(db().AverageCycleLength(), 28);
        EXPECT_EQ(db().ShortestCycle(), 28);
        EXPECT_EQ(db().LongestCycle(), 28);
        EXPECT_EQ(db().MeasuredCycleCount(), 0);
        CalDate start = Today();
        EXPECT_FALSE(db().FindPeriodStart(start));
        EXPECT_EQ(db().DayOfCycle(), -1);
        EXPECT_EQ(db().ChanceToday(), -1);
        std::vector<CycleRecord> rows;
        EXPECT_EQ(db().BuildCycleList(rows), 0);
    }
}

TEST_F(DeriveTest, ChanceTableAroundTheOvulationDayMovesWithTheLutealPhaseOnly)
{
    db().ReplaceRecords({Day(day0, Heavy)});
    const std::pair<int, int> expected[] = {{14, 84}, {13, 77}, {12, 56}, {11, 30}, {10, 11},     {9, 3},
                                            {8, 0},   {15, 67}, {16, 36}, {17, 14}, {18, 2},      {19, 0},
                                            {0, 0},   {-1, 0},  {27, 0},  {100, 0}, {INT_MIN, 0}, {INT_MAX, 0}};
    for (const auto& [day, chance] : expected)
        EXPECT_EQ(db().ChanceForCycleDay(day), chance) << day;
    SetToday(At(14).year, At(14).month, At(14).day);
    EXPECT_EQ(db().ChanceToday(), 84);
    EXPECT_EQ(db().ChanceForDate(At(13)), 77) << "counted from today's cycle start";
    EXPECT_EQ(db().GetDay(At(13)).chance, 77);

    db().SetChanged(false);
    db().SetLutealPhaseLen(12);
    EXPECT_FALSE(db().Changed()) << "the luteal phase moves no prediction";
    EXPECT_EQ(db().ChanceForCycleDay(16), 84);
    EXPECT_EQ(db().ChanceForCycleDay(14), 56);
}

TEST_F(DeriveTest, SearchesFindPeriodsNotBleedingDaysAndDerivationEndsWhateverTheRecords)
{
    ProcessTimeLimit limit(20);
    // Forty bleeding days, then a record long after the prediction.
    std::vector<DayRecord> longRun;
    AddRun(longRun, day0, 40, Medium);
    longRun.push_back(Day(At(80), None, QStringLiteral("fine")));
    ASSERT_TRUE(db().ReplaceRecords(longRun));
    CalDate next = day0;
    ASSERT_TRUE(db().FindNextPeriodStart(next));
    EXPECT_TRUE(SameDate(next, At(41))) << "the next period keeps a dry day after hers";
    EXPECT_EQ(db().BleedingDaysFrom(day0), 20);
    EXPECT_EQ(db().PredictedPeriodLength(), 10) << "at most 10 days";
    CalDate before = At(-1);
    EXPECT_FALSE(db().FindPeriodStart(before)) << "nothing before her first period";
    EXPECT_TRUE(SameDate(before, At(-1))) << "unchanged when not found";

    const struct
    {
        const char* name;
        std::vector<DayRecord> records;
        CalDate bleeding; ///< a day the map shows bleeding
    } cases[] = {
        // A prediction at the end of 2099 searches from January 2100.
        {"the end of the map", {Day(Date(2099, 12, 20), Heavy), Day(Date(2100, 1, 20), Heavy)}, Date(2099, 12, 20)},
        // Outside the map the stored level shows.
        {"records far beyond the map and before it",
         {Day(Date(1950, 1, 1), Heavy), Day(Date(2020, 5, 1), Heavy), Day(Date(2020, 5, 29), Heavy),
          Day(Date(9000, 1, 1), Heavy)},
         Date(9000, 1, 1)},
        // Expected on 29 November, 7 days before today: late, and predicted from tomorrow.
        {"dates no calendar has",
         {Day(Date(1899, 5, 1), Heavy), Day(Date(2026, 13, 1), Heavy), Day(Date(2026, 0, 5), Heavy),
          Day(CalDate{0, 0, 0}, Heavy), Day(Date(-5, 1, 1), Heavy), Day(Date(2026, 11, 1), Heavy)},
         Date(2026, 12, 7)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetCycleDatabaseForTesting();
        ASSERT_TRUE(db().ReplaceRecords(c.records));
        EXPECT_EQ(LevelOf(db().GetDay(c.bleeding)), Heavy);
        EXPECT_EQ(db().AverageCycleLength(), 28) << "no cycle measured to a day outside the map";
        std::vector<CycleRecord> rows;
        EXPECT_GT(db().BuildCycleList(rows), 0);
    }
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
    int cycleDay;       ///< as the summary shows it (1 on the first day)
    int late;           ///< LateDays()
    CalDate next;       ///< the next start found from today
    std::string rows;   ///< "cycle length/bleeding days" of each history row
    CalDate levelsFrom; ///< where `levels` starts
    std::string levels; ///< the map's levels from `levelsFrom`, as digits
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
    const char* const autumnRows = "28/4 28/4 33/4";
    const CalDate dec7 = Date(2026, 12, 7), dec8 = Date(2026, 12, 8);
    const CalDate d0 = Date(2026, 1, 5);
    auto at = [&d0](int n) { return OffsetDate(d0, n); };
    const CalDate none{0, 0, 0};
    // Five-day periods from 21 September, 19 October and 16 November: expected on 14 December.
    const std::vector<DayRecord> late = Periods({Date(2026, 9, 21), Date(2026, 10, 19), Date(2026, 11, 16)}, 5);
    const std::vector<DayRecord> firstDays = Periods({Date(2026, 9, 21), Date(2026, 10, 19), Date(2026, 11, 16)}, 1);
    const DayRecord dec11 = Day(Date(2026, 12, 11), Heavy);
    // Four-day periods from 9 October 2025 to 1 January 2026, then no bleeding on 29 to 31 January.
    const std::vector<DayRecord> dryJanuary =
        With(Periods({Date(2025, 10, 9), Date(2025, 11, 6), Date(2025, 12, 4), Date(2026, 1, 1)}),
             {Day(Date(2026, 1, 29), None), Day(Date(2026, 1, 30), None), Day(Date(2026, 1, 31), None)});
    const HabitExample examples[] = {
        // Predicted from her periods of 4 days, not from the setting of 3.
        {"four days late", autumn, dec7, 28, 3, 33, 4, dec8, autumnRows, dec8, "32210"},
        {"a note on 25 Nov", With(autumn, {Day(Date(2026, 11, 25), None, QStringLiteral("tired"))}), dec7, 28, 3, 33, 4,
         dec8, autumnRows, none, ""},
        {"a forgotten day",
         With(Periods({Date(2026, 9, 10), Date(2026, 10, 8)}),
              {Day(Date(2026, 11, 5), Medium), Day(Date(2026, 11, 6), Medium), Day(Date(2026, 11, 8), Medium)}),
         Date(2026, 11, 20), 28, 3, 16, -1, Date(2026, 12, 3), "28/4 28/4 28/4", none, ""},
        {"a recorded None day splits",
         With(Periods({Date(2026, 9, 10), Date(2026, 10, 8)}),
              {Day(Date(2026, 11, 5), Medium), Day(Date(2026, 11, 6), None), Day(Date(2026, 11, 7), Medium)}),
         Date(2026, 11, 20), 28, 3, 14, -1, Date(2026, 12, 5), "28/4 28/4 2/1 28/1", none, ""},
        {"35-day cycles, 8 late", Periods({Date(2026, 8, 1), Date(2026, 9, 5), Date(2026, 10, 10), Date(2026, 11, 14)}),
         Date(2026, 12, 27), 35, 3, 44, 8, Date(2026, 12, 28), "35/4 35/4 35/4 44/4", none, ""},
        {"welcome only, 40 days, 2 late", Periods({d0}, 1), at(42), 40, 3, 43, 2, at(43), "43/1", none, ""},
        {"cycle of 99 days, 14 late", Periods({d0}, 1), at(113), 99, 3, 114, 14, at(114), "114/1", none, ""},
        {"one 40-day cycle", Periods({d0, at(40), at(68), at(96)}), at(100), 28, 3, 5, -1, at(128),
         "40/4 28/4 28/4 32/4", none, ""},
        {"a period 14 days late", Periods({d0, at(28), at(70)}), at(75), 28, 3, 6, -1, at(105), "28/4 42/4 35/4", none,
         ""},
        {"a period 15 days late", Periods({d0, at(28), at(71)}), at(75), 28, 3, 5, -1, at(99), "28/4 28/4 15/4 28/4",
         none, ""},
        {"two periods", Periods({d0, at(25)}, 5), at(29), 28, 3, 5, -1, at(50), "25/5 25/5", at(28), "220"},
        {"a period 2 days late starts its own cycle", Periods({d0, at(30)}), at(33), 28, 3, 4, -1, at(60), "30/4 30/4",
         at(27), "00022220"},
        {"an early period", With(late, {dec11}), Date(2026, 12, 11), 28, 3, 1, -1, Date(2027, 1, 7),
         "28/5 28/5 25/5 27/1", Date(2026, 12, 11), "3000000"},
        {"an early period, first days only", With(firstDays, {dec11}), Date(2026, 12, 18), 28, 3, 8, -1,
         Date(2027, 1, 7), "28/1 28/1 25/1 27/1", Date(2026, 12, 11), "3000000"},
        {"a period expected from tomorrow", late, Date(2026, 12, 18), 28, 3, 33, 4, Date(2026, 12, 19),
         "28/5 28/5 33/5", Date(2026, 12, 14), "00000322210"},
        {"recorded dry days of a late period", dryJanuary, Date(2026, 2, 1), 28, 3, 32, 3, Date(2026, 2, 2),
         "28/4 28/4 28/4 32/4", Date(2026, 1, 28), "0000032210"},
        {"one day before the period", Periods({d0}, 5), at(27), 28, 3, 28, -1, at(28), "28/5", at(28), "3"},
        {"on the day of the period", Periods({d0}, 5), at(28), 28, 3, 29, 0, at(29), "29/5", at(28), "0322210"},
        {"a day late", Periods({d0}, 5), at(29), 28, 3, 30, 1, at(30), "30/5", at(28), "00322210"},
        {"14 days late", Periods({d0}, 5), at(42), 28, 3, 43, 14, at(43), "43/5", at(28),
         std::string(15, '0') + "322210"},
        {"15 days late, the prediction stays", Periods({d0}, 5), at(43), 28, 3, 16, -1, at(56), "28/5 28/5", at(28),
         "3"},
        {"an initial period of 5 days", Periods({d0}, 1), at(10), 28, 5, 11, -1, at(28), "28/1", at(28), "322210"},
        {"an initial period of 1 day", Periods({d0}, 1), at(10), 28, 1, 11, -1, at(28), "28/1", at(28), "300"},
        {"a note inside the predicted period", With(Periods({d0}, 1), {Day(at(29), None, QStringLiteral("headache"))}),
         at(27), 28, 3, 28, -1, at(28), "28/1", at(28), "301"},
        // A day recorded dry splits a period: its second part restarts the count.
        {"a None day inside a period",
         With(Periods({d0, at(30)}, 3), {Day(at(3), None), Day(at(4), Medium), Day(at(5), Slight)}), at(33), 28, 3, 4,
         -1, at(56), "4/3 26/2 26/3", d0, "222021"},
        // Runs start on 0, 30, 33 and 61: the 3 days from 30 to 33 are no cycle, but 33 becomes the
        // previous start. The average is (30 + 28) / 2.
        {"a None day splits a period and the split is not averaged",
         With(Periods({d0, at(61)}, 3),
              {Day(at(30), Medium), Day(at(31), Medium), Day(at(32), None), Day(at(33), Medium), Day(at(34), Medium)}),
         at(64), 28, 3, 4, -1, at(90), "30/3 3/2 28/2 29/3", at(28), "0022022"},
    };
    for (const HabitExample& example : examples) {
        SCOPED_TRACE(example.name);
        WriteSettingInt(kSection, QStringLiteral("InitialCycleLen"), example.cycleSetting);
        WriteSettingInt(kSection, QStringLiteral("InitialPeriodLen"), example.periodSetting);
        ResetCycleDatabaseForTesting();
        SetToday(example.today.year, example.today.month, example.today.day);
        ASSERT_TRUE(db().ReplaceRecords(example.records));
        EXPECT_EQ(db().DayOfCycle() + 1, example.cycleDay);
        EXPECT_EQ(db().LateDays(), example.late);
        CalDate next = example.today;
        EXPECT_TRUE(db().FindNextPeriodStart(next) && SameDate(next, example.next));
        std::vector<CycleRecord> rows;
        db().BuildCycleList(rows);
        QStringList lengths;
        for (const CycleRecord& row : rows)
            lengths << QStringLiteral("%1/%2").arg(row.cycleLength).arg(row.bleedingDays);
        EXPECT_EQ(lengths.join(u' ').toStdString(), example.rows);
        EXPECT_EQ(Levels(db(), example.levelsFrom, static_cast<int>(example.levels.size())), example.levels);
    }
}

TEST_F(DeriveTest, ANewDayDerivesTheLatePeriodAgain)
{
    // Periods from 10 September, 8 October and 5 November: expected on 3 December.
    SetToday(2026, 12, 7);
    ASSERT_TRUE(db().ReplaceRecords(Periods({Date(2026, 9, 10), Date(2026, 10, 8), Date(2026, 11, 5)})));
    db().SetChanged(false);
    EXPECT_FALSE(db().FollowToday()) << "derived today already";
    EXPECT_FALSE(db().Changed());
    SetToday(2026, 12, 8);
    EXPECT_TRUE(db().FollowToday());
    EXPECT_TRUE(db().Changed());
    EXPECT_EQ(db().LateDays(), 5);
    EXPECT_EQ(Levels(db(), Date(2026, 12, 8), 2), "03");
    EXPECT_FALSE(db().FollowToday());
}
