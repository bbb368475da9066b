#include "ReminderTestSupport.h"

#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"

#include <QFileInfo>

class SettingsValuesTest : public ReminderTest
{
protected:
    CalDate LoadLastAlertTime(int32_t value, const CalDate& before = CalDate{0, 0, 0})
    {
        StoreSetting("LastAlertTime", value);
        TheAppSettings().lastAlertDate = before;
        TheAppSettings().Load();
        return TheAppSettings().lastAlertDate;
    }
};

TEST_F(SettingsValuesTest, AFreshMachineReadsEveryDefault)
{
    AppSettings& settings = TheAppSettings();
    settings.Load();
    EXPECT_TRUE(settings.alertEnabled);
    EXPECT_EQ(settings.alertDaysInAdvance, 1);
    EXPECT_EQ(settings.cachedCycleLen, 28u); // the average of no cycles
    EXPECT_EQ(settings.selectedTheme, 0);
    EXPECT_FALSE(IsValidDate(settings.lastAlertDate));
}

TEST_F(SettingsValuesTest, TheSettingsFileIsTheUsersAlone)
{
    TheAppSettings().Save();
    const QFileInfo file(SettingsFilePath());
    ASSERT_TRUE(file.exists());
    EXPECT_EQ(FileMode(file.absoluteFilePath()), 0600);
    EXPECT_EQ(FileMode(file.absolutePath()), 0700);
}

TEST_F(SettingsValuesTest, LastAlertTimeIsDecodedAsYearMonthDay)
{
    const std::pair<int32_t, CalDate> rows[] = {
        {20090101, Date(2009, 1, 1)},
        {20100315, Date(2010, 3, 15)},
        {20100431, Date(2010, 5, 1)},
        {20100230, Date(2010, 3, 2)},
        {20991231, Date(2099, 12, 31)},
        // Below the first possible value there is no last alert: the field keeps what it held.
        {20090000, Date(2026, 1, 2)},
        {0, Date(2026, 1, 2)},
        {-1, Date(2026, 1, 2)}};
    for (const auto& [stored, loaded] : rows)
        EXPECT_TRUE(IsSameDate(LoadLastAlertTime(stored, Date(2026, 1, 2)), loaded)) << stored;

    // Values that cannot be a date the program can hold are no date. 20090001 is month 0 of
    // 2009, the first value that counts as an alert date at all.
    for (const int32_t bad : {20090001, 20101301, 20100015, 20100100, 20100132, 21000101, 99991231, 2147483647}) {
        EXPECT_FALSE(IsValidDate(LoadLastAlertTime(bad, Date(2026, 1, 2)))) << bad;
    }

    TheAppSettings().lastAlertDate = Date(2027, 3, 29);
    TheAppSettings().Save();
    EXPECT_EQ(StoredSetting("LastAlertTime"), 20270329);
    TheAppSettings().lastAlertDate = CalDate{0, 0, 0};
    TheAppSettings().Save();
    EXPECT_EQ(StoredSetting("LastAlertTime"), 0);
}

TEST_F(SettingsValuesTest, StoredValuesOutsideTheirRangesAreMadeUsable)
{
    const AppSettings& settings = TheAppSettings();
    const struct
    {
        const char* name;
        int32_t stored;
        int loaded;
    } rows[] = {{"SelectedTheme", 4, 4},      {"SelectedTheme", 5, 0},       {"SelectedTheme", -1, 0},
                {"SelectedTheme", 1000, 0},   {"AlertDaysInAdvance", 0, 0},  {"AlertDaysInAdvance", 3, 3},
                {"AlertDaysInAdvance", 4, 3}, {"AlertDaysInAdvance", -2, 0}, {"AlertDaysInAdvance", 2147483647, 3},
                {"AlertEnabled", 7, 1},       {"AlertEnabled", 0, 0}};
    for (const auto& row : rows) {
        StoreSetting(row.name, row.stored);
        TheAppSettings().Load();
        const std::string name = row.name;
        const int loaded = name == "SelectedTheme"  ? settings.selectedTheme
                           : name == "AlertEnabled" ? int{settings.alertEnabled}
                                                    : settings.alertDaysInAdvance;
        EXPECT_EQ(loaded, row.loaded) << row.name << " " << row.stored;
    }
}
