#include "ModelTestSupport.h"

#include "platform/MessageRecorder.h"
#include "settings/SettingsAccess.h"

#include <climits>

namespace {
const QString kSection = QStringLiteral("Settings");
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

    const CalDate expected[] = {Date(2026, 3, 1), Date(2026, 3, 10), Date(2026, 3, 15), Date(2026, 3, 20),
                                Date(2026, 4, 1)};
    ASSERT_EQ(db().Records().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_TRUE(SameDate(db().Records()[i].date, expected[i])) << i;
    EXPECT_EQ(LevelOf(db().Records()[0]), Medium);
    EXPECT_EQ(db().Records()[2].note, QStringLiteral("again"));
    EXPECT_EQ(LevelOf(db().Records()[4]), Slight);
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
    EXPECT_EQ(LevelOf(stored), Slight) << "a recorded day keeps its level";

    const DayRecord filled = db().GetDay(Date(2026, 5, 4));
    EXPECT_NE(filled.flags & kNoRecordFlag, 0u);
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

TEST_F(CycleDatabaseTest, StoredCycleParametersAreReadOrFallBackToTheDefaults)
{
    enum Parameter { Cycle, Period, Luteal };
    const struct
    {
        Parameter parameter;
        int stored;
        int read;
    } cases[] = {
        {Cycle, 15, 15},  {Cycle, 99, 99}, {Cycle, 0, 28},   {Cycle, 100, 28},        {Cycle, INT32_MIN, 28},
        {Period, 20, 20}, {Period, 0, 3},  {Period, -5, 3},  {Period, 100, 3},        {Luteal, 40, 40},
        {Luteal, 1, 1},   {Luteal, 0, 14}, {Luteal, 41, 14}, {Luteal, INT32_MIN, 14},
    };
    const QString keys[] = {QStringLiteral("InitialCycleLen"), QStringLiteral("InitialPeriodLen"),
                            QStringLiteral("LutealPhaseLen")};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << keys[c.parameter].toStdString() << " " << c.stored);
        ResetCycleDatabaseForTesting();
        CycleDatabase& fresh = TheCycleDatabase();
        WriteSettingInt(kSection, keys[c.parameter], c.stored);
        const int read[] = {fresh.InitialCycleLen(), fresh.InitialPeriodLen(), fresh.LutealPhaseLen()};
        EXPECT_EQ(read[c.parameter], c.read);
    }
    CycleDatabase& fresh = TheCycleDatabase();
    // The setters write the settings; a luteal phase set out of bounds reads as the default.
    fresh.SetInitialPeriodLen(5);
    EXPECT_EQ(ReadSettingInt(kSection, QStringLiteral("InitialPeriodLen"), 0), 5);
    fresh.SetLutealPhaseLen(55);
    EXPECT_EQ(ReadSettingInt(kSection, QStringLiteral("LutealPhaseLen"), 0), 55);
    EXPECT_EQ(fresh.LutealPhaseLen(), 14);
}

TEST_F(CycleDatabaseTest, ReplaceRecordsSortsKeepsTheLastOfEqualDatesAndBothStopAtTheRecordLimit)
{
    std::vector<DayRecord> records = {Day(Date(2026, 5, 3), Heavy), Day(Date(2026, 5, 1), Slight),
                                      Day(Date(2026, 5, 3), Slight, QStringLiteral("later")),
                                      Day(Date(2026, 4, 30), None)};
    ASSERT_TRUE(db().ReplaceRecords(records));
    ASSERT_EQ(db().Records().size(), 3u);
    EXPECT_TRUE(IsSameDate(db().Records()[0].date, Date(2026, 4, 30)));
    EXPECT_EQ(db().Records()[2].note, QStringLiteral("later"));

    std::vector<DayRecord> full;
    AddRun(full, Date(1990, 1, 1), CycleDatabase::kMaxRecords, None);
    std::vector<DayRecord> tooMany = full;
    tooMany.push_back(Day(Date(2026, 1, 1), Heavy));
    EXPECT_FALSE(db().ReplaceRecords(tooMany));
    EXPECT_EQ(db().Records().size(), 3u) << "a failed replacement changes nothing";

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
