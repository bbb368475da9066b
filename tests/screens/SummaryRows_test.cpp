#include "TestSupport.h"

#include "model/CycleDatabase.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/SummaryRows.h"

namespace {
DayRecord DayWithFlags(const CalDate& date, int level, uint32_t extraFlags)
{
    DayRecord record;
    record.date = date;
    record.flags = extraFlags;
    SetLevel(record, level);
    return record;
}

QStringList Captions(const std::vector<SummaryRow>& rows)
{
    QStringList captions;
    for (const SummaryRow& row : rows)
        captions << row.caption;
    return captions;
}
} // namespace

class SummaryRowsTest : public VeluminaTest
{
protected:
    // A period from 20 to 24 November 2026; the next one is predicted for 18 December.
    void RecordNovemberPeriod()
    {
        std::vector<DayRecord> records;
        for (int day = 20; day <= 24; ++day)
            records.push_back(Day(Date(2026, 11, day), day < 22 ? Heavy : Medium));
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
    }

    std::vector<SummaryRow> RowsOn(int year, int month, int day)
    {
        SetToday(year, month, day);
        TheCycleDatabase().Recalculate();
        return BuildSummaryRows(TheCycleDatabase());
    }
};

TEST_F(SummaryRowsTest, AnEmptyDatabaseShowsTheNoDataRowsAndTheTools)
{
    TheCycleDatabase().Recalculate();
    const std::vector<SummaryRow> rows = BuildSummaryRows(TheCycleDatabase());
    EXPECT_EQ(
        Captions(rows),
        (QStringList{QStringLiteral("Today"), QStringLiteral("Conception Possibility"), QStringLiteral("Ovulation"),
                     QStringLiteral("Next Cycle"), QStringLiteral("Calendar"), QStringLiteral("History"),
                     QStringLiteral("Statistics"), QStringLiteral("Calculator"), QStringLiteral("Settings")}));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(rows[static_cast<size_t>(i)].description, QStringLiteral("No data")) << i;
    EXPECT_EQ(rows[7].description, QStringLiteral("Due date & conception"));
    EXPECT_TRUE(rows[8].description.isEmpty());
    const int icons[] = {0, 1, 2, 3, 4, 2, 0, 1, 2};
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].iconIndex, icons[i]) << i;
    EXPECT_FALSE(TheCycleDatabase().Changed()) << "building the rows clears the changed flag";
}

TEST_F(SummaryRowsTest, FirstDayOfACycle)
{
    RecordNovemberPeriod();
    const std::vector<SummaryRow> rows = RowsOn(2026, 11, 20);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0].caption, QStringLiteral("Today: Day 1"));
    EXPECT_EQ(rows[0].description, QStringLiteral("Heavy bleeding"));
    EXPECT_EQ(rows[1].description, QStringLiteral("Very low chance to conceive today"));
    EXPECT_EQ(rows[2].caption, QStringLiteral("Next Ovulation"));
    EXPECT_EQ(rows[2].description, QStringLiteral("In 14 days, at December 4"));
    EXPECT_EQ(rows[3].caption, QStringLiteral("Menstruation"));
    EXPECT_EQ(rows[3].description, QStringLiteral("Next cycle starts on December 18"));
    EXPECT_EQ(rows[4].description, QStringLiteral("Cycle and ovulation days"));
    EXPECT_EQ(rows[5].description, QStringLiteral("Last cycle started on November 20"));
    EXPECT_EQ(rows[6].description, QStringLiteral("Average cycle duration: 28 days"));
}

TEST_F(SummaryRowsTest, ChanceThresholdAndOvulationDays)
{
    RecordNovemberPeriod();
    // Cycle day index 9 (29 November) has 3 %, index 10 has 11 %.
    EXPECT_EQ(RowsOn(2026, 11, 29)[1].description, QStringLiteral("Very low chance to conceive today"));
    EXPECT_EQ(RowsOn(2026, 11, 30)[1].description, QStringLiteral("11% chance to conceive today"));
    const std::vector<SummaryRow> tomorrow = RowsOn(2026, 12, 3);
    EXPECT_EQ(tomorrow[2].caption, QStringLiteral("Next Ovulation"));
    EXPECT_EQ(tomorrow[2].description, QStringLiteral("Should be tomorrow"));
    const std::vector<SummaryRow> today = RowsOn(2026, 12, 4);
    EXPECT_EQ(today[2].caption, QStringLiteral("Ovulation"));
    EXPECT_EQ(today[2].description, QStringLiteral("Should be today"));
    EXPECT_EQ(today[1].description, QStringLiteral("84% chance to conceive today"));
    // After the estimate the next one is a cycle later.
    EXPECT_EQ(RowsOn(2026, 12, 5)[2].description, QStringLiteral("In 27 days, at January 1"));

    // The ovulation mark of today's record wins over the estimate.
    TheCycleDatabase().SetDay(DayWithFlags(Date(2026, 11, 27), None, kOvulationFlag));
    const std::vector<SummaryRow> marked = RowsOn(2026, 11, 27);
    EXPECT_EQ(marked[2].caption, QStringLiteral("Ovulation"));
    EXPECT_EQ(marked[2].description, QStringLiteral("Very high chance for conception"));
}

TEST_F(SummaryRowsTest, NextCycleCountsDown)
{
    RecordNovemberPeriod();
    EXPECT_EQ(RowsOn(2026, 12, 16)[3].caption, QStringLiteral("Next Cycle: in 2 Days"));
    EXPECT_EQ(RowsOn(2026, 12, 17)[3].caption, QStringLiteral("Next Cycle: in 1 Day"));
    // On the predicted start the map's level is the predicted one: she is expected to bleed.
    const std::vector<SummaryRow> start = RowsOn(2026, 12, 18);
    EXPECT_EQ(start[0].caption, QStringLiteral("Today: Day 1"));
    EXPECT_EQ(start[0].description, QStringLiteral("Heavy bleeding"));
    EXPECT_EQ(start[3].caption, QStringLiteral("Menstruation"));
    EXPECT_EQ(start[3].description, QStringLiteral("Next cycle starts on January 15"));
}

TEST_F(SummaryRowsTest, OvulationEstimateIsNeverInThePast)
{
    // A 20-day cycle whose next two predicted periods she recorded as dry: the cycle start
    // is 39 days back and one added cycle leaves the estimate 13 days in the past.
    WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), 20);
    std::vector<DayRecord> records = {Day(Date(2026, 10, 1), Heavy)};
    for (int offset : {20, 21, 22, 40, 41, 42})
        records.push_back(Day(OffsetDate(Date(2026, 10, 1), offset), None));
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
    const std::vector<SummaryRow> rows = RowsOn(2026, 11, 9); // 39 days after 1 October
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0].caption, QStringLiteral("Today: Day 40"));
    EXPECT_EQ(rows[2].caption, QStringLiteral("Next Ovulation"));
    EXPECT_EQ(rows[2].description, QStringLiteral("In 7 days, at November 16"));
}

TEST_F(SummaryRowsTest, NoNextStartWithinReachSaysNoData)
{
    WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), 99);
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords({Day(Date(2026, 11, 26), Heavy)}));
    const std::vector<SummaryRow> rows = RowsOn(2026, 12, 6);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[3].caption, QStringLiteral("Next Cycle"));
    EXPECT_EQ(rows[3].description, QStringLiteral("No data"));
}

TEST_F(SummaryRowsTest, RowsPostTheirCommands)
{
    const int expected[] = {kCmdToday,   kCmdConception, kCmdOvulations,  0,           kCmdCalendar,
                            kCmdHistory, kCmdStatistics, kCmdDueDateCalc, kCmdSettings};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(SummaryRowCommand(i), expected[i]) << i;
    EXPECT_EQ(SummaryRowCommand(9), 0);
    EXPECT_EQ(SummaryRowCommand(-1), 0);
}
