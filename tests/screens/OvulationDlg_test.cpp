#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/COvulationDlg.h"

#include <QLabel>

using OvulationDlgTest = PageTest;

TEST_F(OvulationDlgTest, ShowsTheLastAndTheNextOvulationAndTheFertileDays)
{
    struct Case
    {
        const char* name;
        std::vector<DayRecord> records;
        CalDate today;
        const char* last;
        const char* next;
        const char* fertile = nullptr; // null: not checked
        int luteal = 14;
        int cycle = 28;
    };
    // 20 November 2026 starts a cycle of 28 days: the next starts on 18 December, 14 days
    // after the ovulation of 4 December, and then on 15 January.
    const std::vector<DayRecord> november = Period(Date(2026, 11, 20), 5);
    // 1 to 5 January bleeding, then every day recorded without bleeding up to 13 February.
    std::vector<DayRecord> longCycle = Period(Date(2026, 1, 1), 5);
    for (CalDate day = Date(2026, 1, 6); !IsAfter(day, Date(2026, 2, 13)); NextDay(day))
        longCycle.push_back(Day(day, None));
    const Case cases[] = {
        {"no current cycle", {}, Date(2026, 12, 6), "No Data", "No Data", "No Data"},
        {"ovulation today", november, Date(2026, 12, 4), "November 6", "December 4", "November 29 to December 8"},
        {"another year is named", november, Date(2026, 12, 5), "December 4", "January 1, 2027"},
        // Four days after the ovulation its fertile days still last; five days after, the next one's show.
        {"four days after", november, Date(2026, 12, 8), "December 4", "January 1, 2027", "November 29 to December 8"},
        {"five days after", november, Date(2026, 12, 9), "December 4", "January 1, 2027",
         "December 27 to January 5, 2027"},
        {"a long cycle never shows a next ovulation in the past", longCycle, Date(2026, 2, 13), "February 12",
         "March 12"},
        {"luteal phase 10", november, Date(2026, 12, 5), "November 10", "December 8", nullptr, 10},
        {"luteal phase 16", november, Date(2026, 12, 5), "December 2", "December 30", nullptr, 16},
        // A cycle shorter than the luteal phase counts back from its start: 4 days before each.
        {"cycle of 10 days", Period(Date(2026, 12, 1), 5), Date(2026, 12, 6), "November 27", "December 7", nullptr, 14,
         10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), c.cycle);
        ResetCycleDatabaseForTesting();
        TheCycleDatabase().SetLutealPhaseLen(c.luteal);
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(c.records));
        SetToday(c.today.year, c.today.month, c.today.day);
        LookAt<COvulationDlg>([&](COvulationDlg& dialog) {
            EXPECT_EQ(dialog.LastText(), QString::fromLatin1(c.last));
            EXPECT_EQ(dialog.NextText(), QString::fromLatin1(c.next));
            if (c.fertile) {
                EXPECT_EQ(dialog.FertileText(), QString::fromLatin1(c.fertile));
            }
            EXPECT_EQ(dialog.ControlAs<QLabel>(kIdcOvulationFootnote)->text(),
                      QStringLiteral("(assuming the ovulation happens %1 days before the start of the next cycle)")
                          .arg(c.luteal));
        });
    }
}
