#include "TestSupport.h"

#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "model/CycleDatabase.h"
#include "settings/AppSettings.h"
#include "settings/PasswordStore.h"
#include "ui/toolkit/ImageCache.h"

#include <memory>

class StartupTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        TheImageCache().LoadImages(ImageCache::StartupImageNames());
        TheAppSettings().interactiveRun = false;
        // A data file with one stored day.
        DayRecord day;
        day.date = Date(2026, 11, 20);
        SetLevel(day, Heavy);
        ASSERT_TRUE(TheCycleDatabase().SetDay(day));
        ResetCycleDatabaseForTesting();
    }

    void TearDown() override
    {
        CMainApp::SetPasswordPrompt(CMainApp::PasswordPrompt());
        TheAppSettings().interactiveRun = false;
        VeluminaTest::TearDown();
    }
};

TEST_F(StartupTest, ACancelledPasswordPromptLoadsNothing)
{
    ThePasswordStore().SetEnabled(true);
    ThePasswordStore().SetPassword(QStringLiteral("secret"));
    int asked = 0;
    CMainApp::SetPasswordPrompt([&] {
        ++asked;
        return false;
    });
    std::unique_ptr<CMainFrame> frame(CMainApp::OpenSession());
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(TheCycleDatabase().Records().empty()) << "the data file is not read";
    EXPECT_FALSE(TheAppSettings().interactiveRun);
}

TEST_F(StartupTest, TheRightPasswordOrNoProtectionOpensTheFrameWithTheData)
{
    ThePasswordStore().SetEnabled(true);
    ThePasswordStore().SetPassword(QStringLiteral("secret"));
    CMainApp::SetPasswordPrompt([] { return ThePasswordStore().Check(QStringLiteral("secret")); });
    std::unique_ptr<CMainFrame> frame(CMainApp::OpenSession());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(TheCycleDatabase().Records().size(), 1u);
    EXPECT_TRUE(TheAppSettings().interactiveRun);
    frame.reset();

    ResetCycleDatabaseForTesting();
    ThePasswordStore().SetEnabled(false);
    int asked = 0;
    CMainApp::SetPasswordPrompt([&] {
        ++asked;
        return false;
    });
    frame.reset(CMainApp::OpenSession());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(asked, 0) << "no prompt without protection";
    EXPECT_EQ(TheCycleDatabase().Records().size(), 1u);
}
