#include "ReminderTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MemoryNotificationDatabase.h"
#include "platform/MessageRecorder.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"

namespace {
QStringList Days(const std::vector<CalDate>& days)
{
    QStringList texts;
    for (const CalDate& day : days)
        texts.append(IsoDate(day));
    return texts;
}
} // namespace

// A period from 9 November: with the initial 28 days the next starts are predicted on
// 7 December and 4 January, seen from 6 December.
using RemindersTest = ReminderTest;

TEST_F(RemindersTest, TheSwitchAndTheDaysInAdvanceDecideTheRegisteredAlerts)
{
    RecordPeriod(Date(2026, 11, 9), 3);
    TheAppSettings().interactiveRun = true;
    AppSettings& settings = TheAppSettings();
    auto handles = [this] {
        std::vector<NotificationHandle> keys;
        for (const auto& [handle, entry] : Memory().Entries())
            keys.push_back(handle);
        return keys;
    };
    // One day in advance: 6 December would be today, so only the cycle after gets an alert;
    // the start is remembered all the same.
    settings.Reschedule();
    EXPECT_TRUE(IsSameDate(settings.lastAlertDate, Date(2026, 12, 7)));
    EXPECT_EQ(StoredSetting("LastAlertTime"), 20261207);

    const struct
    {
        bool enabled;
        int days;
        std::vector<CalDate> alerts;
    } steps[] = {
        {true, 1, {Date(2027, 1, 3)}}, // as before: the same entries stay
        {true, 0, {Date(2026, 12, 7), Date(2027, 1, 4)}},
        {true, 3, {Date(2027, 1, 1)}},
        {false, 3, {}},
        {true, 1, {Date(2027, 1, 3)}}, // on again the same day: everything again
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "alerts " << step.enabled << ", " << step.days << " days before");
        const std::vector<NotificationHandle> before = handles();
        settings.SetAlert(step.enabled, step.days);
        EXPECT_EQ(AlertDays(), Days(step.alerts));
        EXPECT_EQ(WakeupDays(), Days(step.enabled ? std::vector<CalDate>{Date(2026, 12, 20)} : std::vector<CalDate>{}));
        EXPECT_EQ(StoredSetting("AlertEnabled"), step.enabled ? 1 : 0);
        EXPECT_EQ(StoredSetting("AlertDaysInAdvance"), step.days);
        if (&step == &steps[0]) {
            EXPECT_EQ(handles(), before);
        }
    }
}

TEST_F(RemindersTest, BackgroundRunRollsTheLastStartOnByTheCachedLengthPastToday)
{
    SetToday(2027, 3, 10);
    const struct
    {
        CalDate last;
        uint32_t length;
        int days;
        CalDate rolled;
        std::vector<CalDate> alerts;
    } rows[] = {
        {Date(2027, 3, 1), 28, 1, Date(2027, 3, 29), {Date(2027, 3, 28)}},
        {Date(2026, 10, 1), 30, 1, Date(2027, 3, 30), {Date(2027, 3, 29)}}, // not run for months
        // A start that falls on today is no next start: one cycle more.
        {Date(2027, 2, 10), 28, 0, Date(2027, 4, 7), {Date(2027, 4, 7)}},
        {Date(2027, 1, 13), 28, 0, Date(2027, 4, 7), {Date(2027, 4, 7)}},
        // Her own long cycles roll on too.
        {Date(2027, 3, 1), 41, 1, Date(2027, 4, 11), {Date(2027, 4, 10)}},
        // No usable cached length: nothing rolls on, the values are saved as they are.
        {Date(2027, 3, 1), 19, 1, Date(2027, 3, 1), {}},
        {Date(2027, 3, 1), 100, 1, Date(2027, 3, 1), {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(FormatShortDate(row.last).toStdString() + " + " + std::to_string(row.length));
        FreshSettings();
        AppSettings& settings = TheAppSettings();
        settings.lastAlertDate = row.last;
        settings.cachedCycleLen = row.length;
        settings.alertDaysInAdvance = row.days;
        settings.Reschedule();
        EXPECT_TRUE(IsSameDate(settings.lastAlertDate, row.rolled));
        EXPECT_EQ(AlertDays(), Days(row.alerts));
        EXPECT_EQ(WakeupDays(), Days({Date(2027, 3, 24)}));
        EXPECT_EQ(StoredSetting("LastAlertTime"), row.rolled.year * 10000 + row.rolled.month * 100 + row.rolled.day);
        EXPECT_EQ(StoredSetting("CanchedCycleLen"), static_cast<int>(row.length));
        EXPECT_EQ(StoredSetting("AlertEnabled"), 1);
    }
}

TEST_F(RemindersTest, ErasingAllDataRemovesTheAlertsAndStopsTheBackgroundChain)
{
    RecordPeriod(Date(2026, 11, 9), 3);
    TheAppSettings().interactiveRun = true;
    TheAppSettings().Reschedule();
    ASSERT_EQ(AlertDays().size(), 1);

    TheCycleDatabase().Reset();
    EXPECT_TRUE(AlertDays().empty());
    EXPECT_EQ(WakeupDays().size(), 1);
    EXPECT_EQ(StoredSetting("LastAlertTime"), 0);

    // The next wake-up, in a new process, registers no alert for the deleted data.
    SetToday(2026, 12, 20);
    TheAppSettings().interactiveRun = false;
    TheAppSettings().cachedCycleLen = 28;
    TheAppSettings().Load();
    TheAppSettings().Reschedule();
    EXPECT_TRUE(AlertDays().empty());
    EXPECT_EQ(WakeupDays(), Days({Date(2027, 1, 3)}));
}

TEST_F(RemindersTest, TheStartUpLoadKeepsTheCachedCycleLengthForTheBackgroundChain)
{
    StoreSetting("CanchedCycleLen", 33);
    StoreSetting("LastAlertTime", 20261120);
    AppSettings& settings = TheAppSettings();
    settings.Load();
    ASSERT_EQ(settings.cachedCycleLen, 33u);

    // The data file load recalculates before the interactive run begins: the due alert is
    // rolled on by the stored length, and the stored length stays.
    RecordPeriod(Date(2026, 10, 1), 4);
    RecordPeriod(Date(2026, 10, 25), 4);
    RecordPeriod(Date(2026, 11, 18), 4);
    const int average = TheCycleDatabase().AverageCycleLength();
    ASSERT_NE(average, 33);
    EXPECT_TRUE(IsSameDate(settings.lastAlertDate, Date(2026, 12, 23)));
    EXPECT_EQ(AlertDays(), Days({Date(2026, 12, 22)}));
    EXPECT_EQ(StoredSetting("CanchedCycleLen"), 33);

    // Once the data are in, the interactive run stores their average.
    TheAppSettings().interactiveRun = true;
    settings.Reschedule();
    EXPECT_EQ(StoredSetting("CanchedCycleLen"), average);
}

TEST_F(RemindersTest, LeftoversOfOtherRunsAndCopiesAreReplacedTakenOverOrRemovedAndOthersLeftAlone)
{
    const QString gone = QStringLiteral("/home/user/old/velumina");
    const QString otherProgram = QStringLiteral("/usr/bin/calendar");
    NotificationHandle handle = 0;
    // What a background run beside this one, an older run or a moved copy left behind.
    for (const NotificationEntry& entry :
         {Wakeup(kExecutable, Date(2026, 12, 10)), Wakeup(kExecutable, Date(2026, 12, 12)),
          Alert(kExecutable, Date(2026, 12, 30), Date(2026, 12, 31)),
          Alert(kExecutable, Date(2027, 1, 27), Date(2027, 1, 28)), Wakeup(gone, Date(2026, 12, 12)),
          Alert(gone, Date(2026, 12, 30), Date(2026, 12, 31)),
          Alert(otherProgram, Date(2026, 12, 30), Date(2026, 12, 31)), Wakeup(otherProgram, Date(2026, 12, 8))})
        ASSERT_TRUE(Memory().Add(entry, handle));

    RecordPeriod(Date(2026, 11, 9), 3);
    TheAppSettings().interactiveRun = true;
    TheAppSettings().Reschedule();
    EXPECT_EQ(WakeupDays(), Days({Date(2026, 12, 20)}));
    EXPECT_EQ(AlertDays(), Days({Date(2027, 1, 3)}));
    EXPECT_EQ(Memory().Entries().size(), 6u);
    TheAppSettings().SetAlert(false, 1);
    EXPECT_EQ(Memory().Entries().size(), 4u);
    EXPECT_TRUE(WakeupDays().isEmpty());

    // The moved copy's entries become this one's, except a twin of one it has.
    ASSERT_TRUE(Memory().Add(Wakeup(kExecutable, Date(2026, 12, 12)), handle));
    TheAppSettings().AdoptEntries();
    EXPECT_EQ(WakeupDays(), Days({Date(2026, 12, 12)}));
    EXPECT_EQ(AlertDays(), Days({Date(2026, 12, 30)}));
    EXPECT_EQ(Memory().Entries().size(), 4u);

    // Before the program is removed: every entry of any copy goes, the other program's stay.
    ASSERT_TRUE(Memory().Add(Wakeup(gone, Date(2026, 12, 21)), handle));
    int failed = -1;
    EXPECT_EQ(TheAppSettings().RemoveAllEntries(failed), 3);
    EXPECT_EQ(failed, 0);
    for (const auto& [key, entry] : Memory().Entries())
        EXPECT_EQ(entry.trigger.application, otherProgram);
    EXPECT_EQ(Memory().Entries().size(), 2u);
}

TEST_F(RemindersTest, ARefusingDatabaseIsReportedAndTheAlertDateStillMoves)
{
    MessageRecorder messages;
    Memory().RefuseAdding(0x5B4);
    RecordPeriod(Date(2026, 11, 9), 3); // the data load's reschedule: the wake-up
    TheAppSettings().interactiveRun = true;
    TheAppSettings().Reschedule();             // the alert
    ASSERT_EQ(messages.Messages().size(), 2u); // the wake-up and the one alert
    EXPECT_EQ(messages.Messages()[0].text, QStringLiteral("User notification failed\nrc=0x000005B4"));
    EXPECT_EQ(StoredSetting("LastAlertTime"), 20261207);

    // Entries that cannot be listed cannot be cleared; the new one is added all the same.
    messages.Clear();
    Memory().RefuseAdding(0);
    Memory().RefuseListing(true);
    SetToday(2026, 12, 7);
    TheAppSettings().ScheduleWakeup();
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Could not query handles")});
    EXPECT_EQ(WakeupDays(), Days({Date(2026, 12, 21)}));
}

TEST_F(RemindersTest, ALatePeriodGetsNoAlertThatWouldComeBackEveryDay)
{
    // A period from 1 November 2026, the next expected on 29 November; on 1 December she has
    // recorded nothing: it is 2 days late and expected from tomorrow.
    SetToday(2026, 12, 1);
    RecordPeriod(Date(2026, 11, 1), 3);
    TheAppSettings().interactiveRun = true;
    AppSettings& settings = TheAppSettings();
    settings.SetAlert(true, 0);
    ASSERT_EQ(TheCycleDatabase().LateDays(), 2);
    EXPECT_EQ(AlertDays(), Days({Date(2026, 12, 30)})) << "only the start after the late one";
    EXPECT_TRUE(IsSameDate(settings.lastAlertDate, Date(2026, 12, 2)));

    // Each later day moves the late start and the one after it, with one alert at a time.
    for (int day = 2; day <= 4; ++day) {
        SetToday(2026, 12, day);
        ASSERT_TRUE(TheCycleDatabase().FollowToday());
        settings.Reschedule();
        EXPECT_EQ(AlertDays(), Days({OffsetDate(Date(2026, 12, 30), day - 1)})) << day;
    }

    // Her period comes on 5 December: the next start gets its alert again.
    SetToday(2026, 12, 5);
    RecordPeriod(Date(2026, 12, 5), 1);
    EXPECT_EQ(TheCycleDatabase().LateDays(), -1);
    CalDate next = Today();
    ASSERT_TRUE(TheCycleDatabase().FindNextPeriodStart(next));
    ASSERT_EQ(AlertDays().size(), 2);
    EXPECT_EQ(AlertDays().front(), IsoDate(next));
}
