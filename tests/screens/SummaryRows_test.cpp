#include "TestSupport.h"

#include "model/CycleDatabase.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/SummaryRows.h"
#include "ui/toolkit/PanelItem.h"

#include <QCoreApplication>

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
    // On the predicted start, with no bleeding recorded, the period is expected, not assumed.
    const std::vector<SummaryRow> start = RowsOn(2026, 12, 18);
    EXPECT_EQ(start[0].caption, QStringLiteral("Today: Day 29"));
    EXPECT_EQ(start[0].description, QStringLiteral("Not in menstruation"));
    EXPECT_EQ(start[3].caption, QStringLiteral("Next Cycle: Due Today"));
    EXPECT_EQ(start[3].description, QStringLiteral("Expected on December 18"));
}

TEST_F(SummaryRowsTest, ALatePeriodSaysHowLateItIs)
{
    RecordNovemberPeriod(); // expected on 18 December
    const std::vector<SummaryRow> oneDay = RowsOn(2026, 12, 19);
    EXPECT_EQ(oneDay[0].caption, QStringLiteral("Today: Day 30"));
    EXPECT_EQ(oneDay[0].description, QStringLiteral("Not in menstruation"));
    EXPECT_EQ(oneDay[3].caption, QStringLiteral("Next Cycle: 1 Day Late"));
    EXPECT_EQ(oneDay[3].description, QStringLiteral("Expected on December 18"));
    EXPECT_EQ(oneDay[5].description, QStringLiteral("Last cycle started on November 20"));
    const std::vector<SummaryRow> fourteen = RowsOn(2027, 1, 1);
    EXPECT_EQ(fourteen[3].caption, QStringLiteral("Next Cycle: 14 Days Late"));
    EXPECT_EQ(fourteen[3].description, QStringLiteral("Expected on December 18"));
    // Fifteen days on she may simply not have recorded it: the period keeps its place.
    const std::vector<SummaryRow> fifteen = RowsOn(2027, 1, 2);
    EXPECT_EQ(fifteen[0].caption, QStringLiteral("Today: Day 16"));
    EXPECT_EQ(fifteen[3].caption, QStringLiteral("Next Cycle: in 13 Days"));
    EXPECT_EQ(fifteen[3].description, QStringLiteral("Next cycle starts on January 15"));
    // Bleeding recorded today ends it.
    ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 12, 21), Medium)));
    const std::vector<SummaryRow> came = RowsOn(2026, 12, 21);
    EXPECT_EQ(came[0].caption, QStringLiteral("Today: Day 1"));
    EXPECT_EQ(came[3].caption, QStringLiteral("Menstruation"));
    EXPECT_EQ(came[3].description, QStringLiteral("Next cycle starts on January 21")); // the one measured cycle, 31
}

TEST_F(SummaryRowsTest, ThePanelFollowsALatePeriodAcrossMidnight)
{
    RecordNovemberPeriod(); // expected on 18 December
    SetToday(2026, 12, 19);
    TheCycleDatabase().Recalculate();
    TheAppSettings().interactiveRun = true;
    CSummaryPanel panel;
    panel.resize(320, 480);
    panel.show();
    panel.grab();
    ASSERT_EQ(panel.ItemCount(), 9);
    EXPECT_EQ(panel.Items()[3]->caption, QStringLiteral("Next Cycle: 1 Day Late"));

    SetToday(2026, 12, 20);
    panel.CheckDate();
    panel.grab();
    EXPECT_EQ(panel.Items()[3]->caption, QStringLiteral("Next Cycle: 2 Days Late"));
    EXPECT_EQ(panel.Items()[0]->caption, QStringLiteral("Today: Day 31"));
    // The reminders follow after the paint: the late start of tomorrow is the one they know.
    QCoreApplication::processEvents();
    EXPECT_TRUE(IsSameDate(TheAppSettings().lastAlertDate, Date(2026, 12, 21)));
}

TEST_F(SummaryRowsTest, EarlyAndLatePeriodsOfAutumn)
{
    std::vector<DayRecord> records;
    for (const CalDate& start : {Date(2026, 9, 21), Date(2026, 10, 19), Date(2026, 11, 16)}) {
        for (int i = 0; i < 5; ++i)
            records.push_back(Day(OffsetDate(start, i), Heavy));
    }
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
    // Not recorded by 18 December: four days late.
    const std::vector<SummaryRow> late = RowsOn(2026, 12, 18);
    EXPECT_EQ(late[0].caption, QStringLiteral("Today: Day 33"));
    EXPECT_EQ(late[0].description, QStringLiteral("Not in menstruation"));
    EXPECT_EQ(late[3].caption, QStringLiteral("Next Cycle: 4 Days Late"));
    EXPECT_EQ(late[3].description, QStringLiteral("Expected on December 14"));
    EXPECT_EQ(late[5].description, QStringLiteral("Last cycle started on November 16"));

    // Recorded early, on 11 December: day 1, and the next cycle follows from it.
    ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 12, 11), Heavy)));
    const std::vector<SummaryRow> early = RowsOn(2026, 12, 11);
    EXPECT_EQ(early[0].caption, QStringLiteral("Today: Day 1"));
    EXPECT_EQ(early[3].caption, QStringLiteral("Menstruation"));
    EXPECT_EQ(early[3].description, QStringLiteral("Next cycle starts on January 7"));
    EXPECT_EQ(RowsOn(2026, 12, 14)[0].caption, QStringLiteral("Today: Day 4"));
}

TEST_F(SummaryRowsTest, OvulationEstimateIsNeverInThePast)
{
    // A 20-day cycle whose next two predicted periods she recorded as dry: they keep their
    // place (more than 14 days ago), the cycle start is 19 days back and one added cycle leaves
    // the estimate 13 days in the past.
    WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), 20);
    std::vector<DayRecord> records = {Day(Date(2026, 10, 1), Heavy)};
    for (int offset : {20, 21, 22, 40, 41, 42})
        records.push_back(Day(OffsetDate(Date(2026, 10, 1), offset), None));
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
    const std::vector<SummaryRow> rows = RowsOn(2026, 11, 9); // 39 days after 1 October
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0].caption, QStringLiteral("Today: Day 20"));
    EXPECT_EQ(rows[2].caption, QStringLiteral("Next Ovulation"));
    EXPECT_EQ(rows[2].description, QStringLiteral("In 7 days, at November 16"));
    EXPECT_EQ(rows[3].description, QStringLiteral("Next cycle starts on November 10"));
}

TEST_F(SummaryRowsTest, ACycleOfNinetyNineDaysStillAnswers)
{
    WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), 99);
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords({Day(Date(2026, 11, 26), Heavy)}));
    const std::vector<SummaryRow> rows = RowsOn(2026, 12, 6);
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[3].caption, QStringLiteral("Next Cycle: in 89 Days"));
    EXPECT_EQ(rows[3].description, QStringLiteral("Next cycle starts on March 5"));
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
