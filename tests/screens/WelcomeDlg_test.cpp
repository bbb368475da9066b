#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/DocumentsFolder.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/CheckedDateEdit.h"
#include "platform/gui/SoftKeyBar.h"
#include "settings/DataProtection.h"
#include "settings/SettingsAccess.h"
#include "storage/DataFile.h"
#include "storage/SealedFile.h"
#include "ui/screens/CAboutDlg.h"
#include "ui/screens/CWelcomeDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

CheckedDateEdit* Picker(const CWelcomeDlg& dialog)
{
    return dialog.ControlAs<CheckedDateEdit>(kIdcWelcomeLastCycle);
}

void TickDate(const CWelcomeDlg& dialog)
{
    QCheckBox* box = Picker(dialog)->CheckBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, box->height() / 2));
}

} // namespace

using WelcomeDlgTest = PageTest;

TEST_F(WelcomeDlgTest, OpensWithoutADateOnTheStoredLengthAndOffersOnlyDaysFrom2008ToToday)
{
    ASSERT_TRUE(WriteSettingInt(SettingsSection(), QStringLiteral("InitialCycleLen"), 33));
    LookAt<CWelcomeDlg>([&](CWelcomeDlg& dialog) {
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(kIdcWelcomeCycleLen)->text(), QStringLiteral("33"));
        CheckedDateEdit* picker = Picker(dialog);
        EXPECT_FALSE(picker->Date().isValid());
        TickDate(dialog);
        EXPECT_EQ(picker->Date(), QDate(2026, 12, 6)) << "today, not 1 January 2000";
        picker->DateEdit()->setDate(QDate(1899, 5, 1));
        EXPECT_EQ(picker->Date(), QDate(2008, 1, 1));
        picker->DateEdit()->setDate(QDate(2026, 12, 7));
        EXPECT_EQ(picker->Date(), QDate(2026, 12, 6)) << "no day after today";
    });
}

TEST_F(WelcomeDlgTest, AFailedSaveKeepsTheWelcomeOpenAndTheTypedDateIsTheOneStored)
{
    BlockDocumentsFolder();
    MessageRecorder messages;
    const int result = RunNew<CWelcomeDlg>([&](CWelcomeDlg& dialog) {
        TickDate(dialog);
        // The date is typed and Save pressed without Enter.
        QDateEdit* edit = Picker(dialog)->DateEdit();
        edit->setFocus();
        edit->setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(edit, QStringLiteral("1120"));
        Type(dialog, kIdcWelcomeCycleLen, QStringLiteral("28"));
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
        EXPECT_TRUE(dialog.isVisible()) << "not closed as if saved";
        EXPECT_EQ(messages.Messages().size(), 1u) << "the failure is shown";
        EXPECT_TRUE(TheCycleDatabase().Records().empty());
        EXPECT_EQ(StoredSetting("WelcomeDismissed"), kNotStored);
        EXPECT_EQ(StoredSetting("InitialCycleLen"), kNotStored) << "the length waits with the day";

        messages.Clear();
        SetDocumentsFolderForTesting(DocumentsPath());
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty()) << messages.Texts().join(u'|').toStdString();
    EXPECT_EQ(StoredSetting("InitialCycleLen"), 28);
    // Read back as the next start would: a recorded heavy day.
    ASSERT_TRUE(ReloadCycleDatabase());
    ASSERT_EQ(TheCycleDatabase().Records().size(), 1u);
    EXPECT_TRUE(IsSameDate(TheCycleDatabase().Records()[0].date, Date(2026, 11, 20)));
    EXPECT_EQ(TheCycleDatabase().Records()[0].flags, 3u);
}

TEST_F(WelcomeDlgTest, ARefusedLengthIsSaidAndASaveWithoutADateWritesNothing)
{
    ASSERT_TRUE(WriteSettingInt(SettingsSection(), QStringLiteral("InitialCycleLen"), 31));
    MessageRecorder messages;
    const int result = RunNew<CWelcomeDlg>([&](CWelcomeDlg& dialog) {
        TickDate(dialog);
        Type(dialog, kIdcWelcomeCycleLen, QStringLiteral("45"));
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
        EXPECT_EQ(messages.Texts(),
                  QStringList{QStringLiteral("The average cycle length must be between 20 and 40 days")});
        EXPECT_EQ(QApplication::focusWidget(), dialog.Control(kIdcWelcomeCycleLen)) << "the welcome stays open";

        // Without a date, Enter saves the length and nothing else.
        messages.Clear();
        TickDate(dialog);
        Type(dialog, kIdcWelcomeCycleLen, QStringLiteral("30"));
        QTest::keyClick(dialog.Control(kIdcWelcomeCycleLen), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(StoredSetting("InitialCycleLen"), 30);
    EXPECT_FALSE(QFile::exists(GetDataFilePath())) << "no data file is written without a day";
}

TEST_F(WelcomeDlgTest, ADataFileThatCouldNotBeReadIsLeftAsItIs)
{
    const QString dataFile = GetDataFilePath();
    const QByteArray damaged("not a data file at all, but perhaps someone's days");
    ASSERT_TRUE(WriteWholeFile(dataFile, damaged));
    MessageRecorder messages;
    EXPECT_FALSE(TheCycleDatabase().Load());
    ASSERT_TRUE(TheCycleDatabase().Records().empty());
    messages.Clear();

    const int result = RunNew<CWelcomeDlg>([&](CWelcomeDlg& dialog) {
        Type(dialog, kIdcWelcomeCycleLen, QStringLiteral("29"));
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(FileBytes(dataFile), damaged);

    // A length the settings file cannot take is said, not passed over.
    RunNew<CWelcomeDlg>([&](CWelcomeDlg& full) {
        Type(full, kIdcWelcomeCycleLen, QStringLiteral("33"));
        ScopedFileSizeLimit limit(0);
        full.MenuBar()->Press(SoftKeyBar::Side::Left);
    });
    EXPECT_TRUE(messages.Texts().value(0).startsWith(QStringLiteral("The cycle length could not be saved to ")));
}

TEST_F(WelcomeDlgTest, ProtectionSetInTheWelcomeTakesEffectWithSaveAndNotWithSkip)
{
    MessageRecorder messages;
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "Save" : "Skip");
        const int result = RunNew<CWelcomeDlg>([&](CWelcomeDlg& dialog) {
            auto* box = dialog.ControlAs<QCheckBox>(kIdcWelcomePassword);
            AnswerSetPassword({{QStringLiteral("moon"), QStringLiteral("moon")}});
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            EXPECT_EQ(box->text(), QStringLiteral("Password protection: enabled"));
            EXPECT_FALSE(DataProtection::IsOn()) << "not before Save";
            TickDate(dialog);
            if (save)
                dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
            else
                QTest::keyClick(dialog.Control(kIdcWelcomeCycleLen), Qt::Key_Escape);
        });
        EXPECT_EQ(result, save ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(DataProtection::IsOn(), save);
        EXPECT_EQ(TheCycleDatabase().Records().size(), save ? 1u : 0u) << "Skip stores no day";
        EXPECT_EQ(StoredSetting("InitialCycleLen"), save ? 28 : kNotStored);
    }
    // The day went to the file sealed with the new password.
    EXPECT_TRUE(SealedFile::IsSealed(FileBytes(GetDataFilePath())));
    EXPECT_TRUE(DataProtection::IsCurrentPassword(QStringLiteral("moon")));
    EXPECT_TRUE(messages.Messages().empty());
}

TEST_F(WelcomeDlgTest, DoNotShowAgainIsKeptAndImportEndsTheWelcomeOnceDaysAreStored)
{
    RunNew<CWelcomeDlg>([&](CWelcomeDlg& dialog) {
        dialog.ControlAs<QCheckBox>(kIdcWelcomeDontShow)->setChecked(true);
        dialog.MenuBar()->Press(SoftKeyBar::Side::Right);
    });
    EXPECT_EQ(StoredSetting("WelcomeDismissed"), 1);

    // An import that stores nothing keeps the welcome; one that stores days ends it.
    int imports = 0;
    bool storeDays = false;
    CWelcomeDlg withImport;
    withImport.SetImportFlow([&] {
        ++imports;
        if (storeDays) {
            EXPECT_TRUE(TheCycleDatabase().ReplaceRecords({Day(Date(2026, 11, 2), Medium)}));
        }
        return storeDays;
    });
    const int result = Run(withImport, [&] {
        auto* import = withImport.ControlAs<QPushButton>(kIdcWelcomeImport);
        EXPECT_TRUE(withImport.ControlAs<QCheckBox>(kIdcWelcomeDontShow)->isChecked());
        QTest::mouseClick(import, Qt::LeftButton);
        EXPECT_TRUE(withImport.isVisible());
        storeDays = true;
        QTest::mouseClick(import, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(imports, 2);
    EXPECT_EQ(TheCycleDatabase().Records().size(), 1u);
}

TEST_F(WelcomeDlgTest, TheAboutPageShowsTheBannerVersionAndAReadOnlyDisclaimer)
{
    LookAt<CAboutDlg>([&](CAboutDlg& about) {
        EXPECT_EQ(about.ControlAs<QLabel>(kIdcAboutVersion)->text(), QStringLiteral("Version 1.4"));
        EXPECT_TRUE(about.ControlAs<QLabel>(kIdcAboutOffline)->text().contains(QStringLiteral("no network")));
        auto* field = about.ControlAs<QPlainTextEdit>(kIdcAboutDisclaimer);
        const QString shown = field->toPlainText();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("DISCLAIMER:\nThis software is provided \"as is\"")));
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("typed"));
        QTest::keyClick(field, Qt::Key_Delete);
        EXPECT_EQ(field->toPlainText(), shown) << "it cannot be edited";
    });
}
