#include "ReminderTestSupport.h"

#include "platform/MemoryNotificationDatabase.h"
#include "settings/AppSettings.h"

// The background run rolls the last predicted start on by whole cached cycle lengths until it
// lies after today: a start that falls on today itself is no next start.
class BackgroundRollOnTest : public ReminderTest
{
};

TEST_F(BackgroundRollOnTest, AStartThatFallsOnTodayRollsOnByOneMoreCycle)
{
    SetToday(2027, 3, 10);
    for (const CalDate& last : {Date(2027, 2, 10), Date(2027, 1, 13)}) { // one and two cycles before today
        ResetAppSettingsForTesting();
        auto memory = std::make_unique<MemoryNotificationDatabase>();
        MemoryNotificationDatabase& entries = *memory;
        TheAppSettings().SetNotificationDatabase(std::move(memory));
        AppSettings& settings = TheAppSettings();
        settings.lastAlertDate = last;
        settings.cachedCycleLen = 28;
        settings.alertDaysInAdvance = 0;
        settings.Reschedule();

        EXPECT_TRUE(IsSameDate(settings.lastAlertDate, Date(2027, 4, 7)));
        std::vector<CalDate> alertDays;
        for (const auto& [handle, entry] : entries.Entries()) {
            if (entry.notification)
                alertDays.push_back(entry.trigger.startDay);
        }
        ASSERT_EQ(alertDays.size(), 1u) << "an alert for today's start would never be shown";
        EXPECT_TRUE(IsSameDate(alertDays[0], Date(2027, 4, 7)));
    }
}
