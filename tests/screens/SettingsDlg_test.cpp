#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MemoryNotificationDatabase.h"
#include "platform/MessageRecorder.h"
#include "settings/AppSettings.h"
#include "settings/DataProtection.h"
#include "settings/SettingsAccess.h"
#include "storage/LiveCalendarFile.h"
#include "ui/screens/CSettingsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class SettingsDlgTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        CycleDatabase::SetRecalculateHook([] { TheAppSettings().Reschedule(); });
        TheAppSettings().interactiveRun = true;
    }

    void TearDown() override
    {
        m_host.reset();
        CycleDatabase::SetRecalculateHook({});
        ResetAppSettingsForTesting();
        PageTest::TearDown();
    }

    MemoryNotificationDatabase& Memory()
    {
        return static_cast<MemoryNotificationDatabase&>(TheAppSettings().Notifications());
    }
};

TEST_F(SettingsDlgTest, OpensWithWhatIsStoredAndCancelStoresNothing)
{
    // A stored 15 shows as 15 (a spin box would have clamped it), reminders off with 2 days.
    ASSERT_TRUE(WriteSettingInt(SettingsSection(), QStringLiteral("InitialCycleLen"), 15));
    ASSERT_TRUE(WriteSettingInt(SettingsSection(), QStringLiteral("LutealPhaseLen"), 12));
    AppSettings& settings = TheAppSettings();
    settings.alertEnabled = false;
    settings.alertDaysInAdvance = 2;
    settings.selectedTheme = 3;
    const QByteArray before = FileBytes(SettingsFilePath());

    MessageRecorder messages;
    const int result = RunNew<CSettingsDlg>([&](CSettingsDlg& dialog) {
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(kIdcSettingsCycleLen)->text(), QStringLiteral("15"));
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(kIdcSettingsPeriodLen)->text(), QStringLiteral("3"));
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(kIdcSettingsLuteal)->text(), QStringLiteral("12"));
        auto* notify = dialog.ControlAs<QCheckBox>(kIdcSettingsNotify);
        auto* days = dialog.ControlAs<QComboBox>(kIdcSettingsNotifyDays);
        EXPECT_EQ(days->currentText(), QStringLiteral(" 2 days in advance"));
        auto* discreet = dialog.ControlAs<QCheckBox>(kIdcSettingsDiscreet);
        EXPECT_FALSE(discreet->isChecked()) << "reminders say what is coming unless she asks otherwise";
        EXPECT_FALSE(days->isEnabled()) << "the days follow the switch from the start";
        QTest::mouseClick(notify, Qt::LeftButton, {}, QPoint(5, notify->height() / 2));
        EXPECT_TRUE(discreet->isEnabled());
        auto* themes = dialog.ControlAs<QComboBox>(kIdcSettingsTheme);
        EXPECT_EQ(themes->currentIndex(), 3);

        // Edits, then Esc: nothing of them is kept.
        Type(dialog, kIdcSettingsCycleLen, QStringLiteral("30"));
        themes->setCurrentIndex(1);
        QTest::keyClick(dialog.Control(kIdcSettingsCycleLen), Qt::Key_Escape);
    });
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(FileBytes(SettingsFilePath()), before);
    EXPECT_EQ(settings.selectedTheme, 3);
    EXPECT_EQ(TheCycleDatabase().InitialCycleLen(), 15);
}

TEST_F(SettingsDlgTest, OkRefusesNumbersOutsideTheirRangesAndThenStoresEverything)
{
    MessageRecorder messages;
    CSettingsDlg dialog;
    const QByteArray before = FileBytes(SettingsFilePath());
    auto typeLengths = [&](const char* cycle, const char* period, const char* luteal) {
        Type(dialog, kIdcSettingsCycleLen, QString::fromLatin1(cycle));
        Type(dialog, kIdcSettingsPeriodLen, QString::fromLatin1(period));
        Type(dialog, kIdcSettingsLuteal, QString::fromLatin1(luteal));
    };
    auto refused = [&](const char* cycle, const char* period, const char* luteal) {
        typeLengths(cycle, period, luteal);
        messages.Clear();
        dialog.OnCommand(kIdOk);
        EXPECT_EQ(messages.Messages().size(), 1u) << cycle << ' ' << period << ' ' << luteal;
        return messages.Texts().value(0);
    };
    const QString cycleMessage = QStringLiteral("The initial cycle length must be between 20 and 40 days");
    const QString periodMessage = QStringLiteral("The average period length must be between 1 and 7 days");
    const QString lutealMessage = QStringLiteral("The luteal phase length must be between 10 and 20 days");
    const int result = Run(dialog, [&] {
        EXPECT_EQ(refused("19", "3", "14"), cycleMessage);
        EXPECT_EQ(refused("41", "3", "14"), cycleMessage);
        EXPECT_EQ(refused("28", "", "14"), periodMessage) << "an emptied field reads as 0";
        EXPECT_EQ(QApplication::focusWidget(), dialog.Control(kIdcSettingsPeriodLen));
        EXPECT_EQ(refused("28", "8", "14"), periodMessage);
        EXPECT_EQ(refused("19", "0", "5"), cycleMessage) << "only the first of several is said";
        EXPECT_EQ(refused("28", "3", "21"), lutealMessage);

        EXPECT_EQ(refused("28", "3", "9"), lutealMessage);

        // A number too long to hold is out of range, never wrapped round to a valid one.
        Type(dialog, kIdcSettingsLuteal, QStringLiteral("14"));
        auto* cycle = dialog.ControlAs<QLineEdit>(kIdcSettingsCycleLen);
        cycle->clear();
        QApplication::clipboard()->setText(QStringLiteral("4294967324"));
        cycle->paste();
        EXPECT_EQ(cycle->text(), QStringLiteral("4294967324"));
        messages.Clear();
        dialog.OnCommand(kIdOk);
        EXPECT_EQ(messages.Texts(), QStringList{cycleMessage});
        EXPECT_EQ(FileBytes(SettingsFilePath()), before) << "nothing is stored while a number is refused";

        // The edges are accepted; Enter is OK.
        typeLengths("40", "7", "10");
        dialog.ControlAs<QCheckBox>(kIdcSettingsNotify)->setChecked(false);
        dialog.ControlAs<QComboBox>(kIdcSettingsNotifyDays)->setCurrentIndex(3);
        dialog.ControlAs<QCheckBox>(kIdcSettingsDiscreet)->setChecked(true);
        dialog.ControlAs<QComboBox>(kIdcSettingsTheme)->setCurrentIndex(4);
        messages.Clear();
        QTest::keyClick(dialog.Control(kIdcSettingsLuteal), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty()) << messages.Texts().join(u'|').toStdString();
    const std::pair<const char*, int> stored[] = {
        {"InitialCycleLen", 40},   {"InitialPeriodLen", 7}, {"LutealPhaseLen", 10},  {"AlertEnabled", 0},
        {"AlertDaysInAdvance", 3}, {"SelectedTheme", 4},    {"DiscreetReminders", 1}};
    for (const auto& [name, value] : stored)
        EXPECT_EQ(StoredSetting(name), value) << name;
    EXPECT_EQ(TheCycleDatabase().InitialCycleLen(), 40);
}

TEST_F(SettingsDlgTest, OneOkRegistersTheRemindersOnceWithTheNewSwitch)
{
    for (int day = 9; day <= 11; ++day)
        ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 11, day), Heavy)));
    ASSERT_EQ(Memory().Entries().size(), 2u) << "the wake-up and the alert for 4 January";

    // Only the theme: the entries stay as they are. A new cycle length with the reminders
    // switched off: nothing is registered on the way. Switched on again with other days in
    // advance: the alerts of the new prediction (a wake-up and two alerts), once.
    const int added = Memory().AddedCount();
    const int cleared = Memory().ClearedCount();
    const struct
    {
        const char* cycle; ///< null: left as it is
        bool notify;
        int daysIndex; ///< -1: left as it is
        int added;
    } edits[] = {{nullptr, true, -1, 0}, {"30", false, -1, 0}, {"28", true, 0, 3}};
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.cycle ? edit.cycle : "theme only");
        RunNew<CSettingsDlg>([&](CSettingsDlg& dialog) {
            if (edit.cycle)
                Type(dialog, kIdcSettingsCycleLen, QString::fromLatin1(edit.cycle));
            dialog.ControlAs<QCheckBox>(kIdcSettingsNotify)->setChecked(edit.notify);
            if (edit.daysIndex >= 0)
                dialog.ControlAs<QComboBox>(kIdcSettingsNotifyDays)->setCurrentIndex(edit.daysIndex);
            dialog.ControlAs<QComboBox>(kIdcSettingsTheme)->setCurrentIndex(2);
            dialog.OnCommand(kIdOk);
        });
        EXPECT_EQ(Memory().AddedCount(), added + edit.added);
        EXPECT_TRUE(edit.cycle || Memory().ClearedCount() == cleared) << "only the theme: nothing cleared";
        EXPECT_EQ(Memory().Entries().empty(), !edit.notify);
    }
}

TEST_F(SettingsDlgTest, ItSaysWhyRemindersCannotAppearBelowTheirSwitch)
{
    Memory().SetDeliveryProblem(
        QStringLiteral("Reminders cannot appear on this computer: it runs no systemd user session."));
    LookAt<CSettingsDlg>([&](CSettingsDlg& dialog) {
        auto* note = dialog.ControlAs<QLabel>(kIdcSettingsReminderNote);
        EXPECT_TRUE(note->isVisible());
        EXPECT_TRUE(note->text().contains(QStringLiteral("systemd user session")));
        EXPECT_GT(note->geometry().top(), dialog.Control(kIdcSettingsNotify)->geometry().bottom());
        EXPECT_LT(note->geometry().bottom(), dialog.Control(kIdcSettingsTheme)->geometry().top());
    });
}

TEST_F(SettingsDlgTest, CalendarFileSwitchWritesOrRemovesTheFileAndSaysItIsNotEncrypted)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(StartTwoPeriodExample()));
    QString error;
    ASSERT_TRUE(DataProtection::SetPassword(QStringLiteral("secret"), error)) << error.toStdString();
    LiveCalendarFile::Start();
    const QString path = LiveCalendarFile::Path();
    for (const bool keep : {true, false}) {
        RunNew<CSettingsDlg>([&](CSettingsDlg& dialog) {
            auto* box = dialog.ControlAs<QCheckBox>(kIdcSettingsCalendarFile);
            EXPECT_EQ(box->text(), QStringLiteral("Keep an unencrypted calendar file up to date"));
            QTest::mouseClick(dialog.Control(kIdcSettingsCopyPath), Qt::LeftButton);
            EXPECT_EQ(QApplication::clipboard()->text(), QDir::toNativeSeparators(path));
            box->setChecked(keep);
            dialog.OnCommand(kIdOk);
        });
        EXPECT_EQ(QFileInfo::exists(path), keep);
    }
    LiveCalendarFile::Stop();
}
