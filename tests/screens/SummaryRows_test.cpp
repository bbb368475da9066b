#include "TestSupport.h"

#include "model/CycleDatabase.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/SummaryRows.h"

#include <QCoreApplication>

namespace {
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
}

TEST_F(SummaryRowsTest, TheRowsSayWhereHerCycleStands)
{
    // The histories below, by number.
    enum History { kNovember, kNovemberOvulation, kNovemberLate, kAutumn, kAutumnEarly, kDry, kOneDay };
    // One row's caption and description on a day; a null text is not checked.
    struct Check
    {
        History history;
        CalDate today;
        size_t row;
        const char* caption;
        const char* description;
        int cycleLength = 28;
    };
    // A period from 20 to 24 November 2026: the next one is predicted for 18 December.
    std::vector<DayRecord> histories[7];
    for (int day = 20; day <= 24; ++day)
        histories[kNovember].push_back(Day(Date(2026, 11, day), day < 22 ? Heavy : Medium));
    histories[kNovemberOvulation] = histories[kNovemberLate] = histories[kNovember];
    histories[kNovemberOvulation].push_back(Day(Date(2026, 11, 27), None));
    histories[kNovemberOvulation].back().flags |= kOvulationFlag;
    histories[kNovemberLate].push_back(Day(Date(2026, 12, 21), Medium)); // the one measured cycle: 31 days
    for (const CalDate& start : {Date(2026, 9, 21), Date(2026, 10, 19), Date(2026, 11, 16)}) {
        for (int i = 0; i < 5; ++i)
            histories[kAutumn].push_back(Day(OffsetDate(start, i), Heavy));
    }
    histories[kAutumnEarly] = histories[kAutumn];
    histories[kAutumnEarly].push_back(Day(Date(2026, 12, 11), Heavy));
    // A 20-day cycle whose next two predicted periods she recorded as dry: they keep their
    // place (more than 14 days ago), the cycle start is 19 days back and one added cycle leaves
    // the estimate 13 days in the past: it must not be shown.
    histories[kDry] = {Day(Date(2026, 10, 1), Heavy)};
    for (int offset : {20, 21, 22, 40, 41, 42})
        histories[kDry].push_back(Day(OffsetDate(Date(2026, 10, 1), offset), None));
    histories[kOneDay] = {Day(Date(2026, 11, 26), Heavy)};

    const Check checks[] = {
        {kNovember, Date(2026, 11, 20), 0, "Today: Day 1", "Heavy bleeding"},
        {kNovember, Date(2026, 11, 20), 1, nullptr, "Very low chance to conceive today"},
        {kNovember, Date(2026, 11, 20), 2, "Next Ovulation", "In 14 days, at December 4"},
        {kNovember, Date(2026, 11, 20), 3, "Menstruation", "Next cycle starts on December 18"},
        {kNovember, Date(2026, 11, 20), 5, nullptr, "Last cycle started on November 20"},
        {kNovember, Date(2026, 11, 20), 6, nullptr, "Average cycle duration: 28 days"},
        // Cycle day index 9 (29 November) has 3 %, index 10 has 11 %.
        {kNovember, Date(2026, 11, 29), 1, nullptr, "Very low chance to conceive today"},
        {kNovember, Date(2026, 11, 30), 1, nullptr, "11% chance to conceive today"},
        {kNovember, Date(2026, 12, 3), 2, "Next Ovulation", "Should be tomorrow"},
        {kNovember, Date(2026, 12, 4), 2, "Ovulation", "Should be today"},
        {kNovember, Date(2026, 12, 4), 1, nullptr, "84% chance to conceive today"},
        {kNovember, Date(2026, 12, 5), 2, nullptr, "In 27 days, at January 1"}, // a cycle later
        // Today's ovulation mark wins over the estimate.
        {kNovemberOvulation, Date(2026, 11, 27), 2, "Ovulation", "Very high chance for conception"},
        {kNovember, Date(2026, 12, 16), 3, "Next Cycle: in 2 Days", nullptr},
        {kNovember, Date(2026, 12, 17), 3, "Next Cycle: in 1 Day", nullptr},
        // With no bleeding recorded the period is expected, not assumed.
        {kNovember, Date(2026, 12, 18), 0, "Today: Day 29", "Not in menstruation"},
        {kNovember, Date(2026, 12, 18), 3, "Next Cycle: Due Today", "Expected on December 18"},
        {kNovember, Date(2026, 12, 19), 0, "Today: Day 30", "Not in menstruation"},
        {kNovember, Date(2026, 12, 19), 3, "Next Cycle: 1 Day Late", "Expected on December 18"},
        {kNovember, Date(2026, 12, 19), 5, nullptr, "Last cycle started on November 20"},
        {kNovember, Date(2027, 1, 1), 3, "Next Cycle: 14 Days Late", "Expected on December 18"},
        // Fifteen days on she may simply not have recorded it: the period keeps its place.
        {kNovember, Date(2027, 1, 2), 0, "Today: Day 16", nullptr},
        {kNovember, Date(2027, 1, 2), 3, "Next Cycle: in 13 Days", "Next cycle starts on January 15"},
        {kNovemberLate, Date(2026, 12, 21), 0, "Today: Day 1", nullptr},
        {kNovemberLate, Date(2026, 12, 21), 3, "Menstruation", "Next cycle starts on January 21"},
        {kAutumn, Date(2026, 12, 18), 0, "Today: Day 33", "Not in menstruation"},
        {kAutumn, Date(2026, 12, 18), 3, "Next Cycle: 4 Days Late", "Expected on December 14"},
        {kAutumn, Date(2026, 12, 18), 5, nullptr, "Last cycle started on November 16"},
        {kAutumnEarly, Date(2026, 12, 11), 0, "Today: Day 1", nullptr},
        {kAutumnEarly, Date(2026, 12, 11), 3, "Menstruation", "Next cycle starts on January 7"},
        {kDry, Date(2026, 11, 9), 0, "Today: Day 20", nullptr, 20},
        {kDry, Date(2026, 11, 9), 2, "Next Ovulation", "In 7 days, at November 16", 20},
        {kDry, Date(2026, 11, 9), 3, nullptr, "Next cycle starts on November 10", 20},
        {kOneDay, Date(2026, 12, 6), 3, "Next Cycle: in 89 Days", "Next cycle starts on March 5", 99},
    };
    for (const Check& check : checks) {
        SCOPED_TRACE(testing::Message() << check.history << " on " << ToQDate(check.today).toString().toStdString());
        WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), check.cycleLength);
        ResetCycleDatabaseForTesting();
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(histories[check.history]));
        const std::vector<SummaryRow> rows = RowsOn(check.today.year, check.today.month, check.today.day);
        ASSERT_EQ(rows.size(), 9u);
        if (check.caption) {
            EXPECT_EQ(rows[check.row].caption, QString::fromLatin1(check.caption));
        }
        if (check.description) {
            EXPECT_EQ(rows[check.row].description, QString::fromLatin1(check.description));
        }
    }
}

TEST_F(SummaryRowsTest, ThePanelFollowsALatePeriodAcrossMidnight)
{
    // A period from 20 to 24 November 2026: the next one is expected on 18 December.
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 11, 20), 5)));
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
