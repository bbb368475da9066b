#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/DocumentsFolder.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/CheckedDateEdit.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/DataProtection.h"
#include "settings/PasswordStore.h"
#include "settings/SettingsAccess.h"
#include "storage/DataFile.h"
#include "storage/SealedFile.h"
#include "ui/screens/CAboutDlg.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/CPasswordSetDlg.h"
#include "ui/screens/CStatisticsDlg.h"
#include "ui/screens/CWelcomeDlg.h"
#include "ui/toolkit/CLogoPainter.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {
QString Section()
{
    return QString::fromUtf16(kSettingsSection);
}

int Stored(const char* name)
{
    return ReadSettingInt(Section(), QString::fromLatin1(name), -1);
}

CheckedDateEdit* Picker(const CWelcomeDlg& dialog)
{
    return dialog.ControlAs<CheckedDateEdit>(kIdcWelcomeLastCycle);
}

void TickDate(const CWelcomeDlg& dialog)
{
    QCheckBox* box = Picker(dialog)->CheckBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, box->height() / 2));
}

void TypeLength(const CWelcomeDlg& dialog, const QString& text)
{
    auto* edit = dialog.ControlAs<QLineEdit>(kIdcWelcomeCycleLen);
    edit->clear();
    QTest::keyClicks(edit, text);
}

QStringList Rows(const QTreeWidget* list, int columns)
{
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << list->topLevelItem(i)->text(c);
        rows << cells.join(QLatin1Char(' '));
    }
    return rows;
}
} // namespace

class WelcomeDlgTest : public PageTest
{
};

TEST_F(WelcomeDlgTest, OpensWithoutADateOnTheStoredLengthAndOffersOnlyDaysFrom2008ToToday)
{
    ASSERT_TRUE(WriteSettingInt(Section(), QStringLiteral("InitialCycleLen"), 33));
    CWelcomeDlg dialog;
    Look(dialog, [&] {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Welcome"));
        ASSERT_NE(dialog.MenuBar(), nullptr);
        EXPECT_EQ(dialog.MenuBar()->Key(SoftKeyBar::Side::Left)->text(), QStringLiteral("&Save"));
        EXPECT_EQ(dialog.MenuBar()->Key(SoftKeyBar::Side::Right)->text(), QStringLiteral("S&kip"));
        EXPECT_EQ(dialog.ControlAs<QLabel>(kIdcWelcomeThanks)->text(),
                  QStringLiteral("Thank you for trying Velumina!"));
        EXPECT_TRUE(dialog.ControlAs<QLabel>(kIdcWelcomeExplanation)->text().contains(QStringLiteral("heavy")));
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(kIdcWelcomeCycleLen)->text(), QStringLiteral("33"));
        EXPECT_TRUE(dialog.Control(kIdcWelcomeImport)->isHidden()) << "no import flow given";

        CheckedDateEdit* picker = Picker(dialog);
        ASSERT_NE(picker, nullptr);
        EXPECT_FALSE(picker->HasDate());
        EXPECT_FALSE(picker->Date().isValid());
        QDateEdit* edit = picker->DateEdit();
        EXPECT_FALSE(edit->isEnabled());
        EXPECT_EQ(edit->minimumDate(), QDate(2008, 1, 1));
        EXPECT_EQ(edit->maximumDate(), QDate(2026, 12, 6));
        TickDate(dialog);
        EXPECT_TRUE(edit->isEnabled());
        EXPECT_EQ(picker->Date(), QDate(2026, 12, 6)) << "today, not 1 January 2000";
        edit->setDate(QDate(1899, 5, 1));
        EXPECT_EQ(picker->Date(), QDate(2008, 1, 1));
        edit->setDate(QDate(2026, 12, 7));
        EXPECT_EQ(picker->Date(), QDate(2026, 12, 6)) << "no day after today";
        // Turning the window places the controls from the other template.
        const QWidget* label = dialog.Control(kIdcWelcomeLastCycleLabel);
        EXPECT_GT(picker->y(), label->y()) << "portrait: the date under its label";
        m_host->resize(640, 480);
        QCoreApplication::processEvents();
        EXPECT_GT(picker->x(), label->x() + label->width() / 2) << "landscape: the date beside its label";
        EXPECT_LE(picker->geometry().right(), dialog.ClientSize().width());
        m_host->resize(480, 640);
        QCoreApplication::processEvents();
        EXPECT_GT(picker->y(), label->y());
    });
}

TEST_F(WelcomeDlgTest, AFailedSaveKeepsTheWelcomeOpenAndTheTypedDateIsTheOneStored)
{
    const QString dataFile = GetDataFilePath();
    ASSERT_FALSE(QFile::exists(dataFile));
    BlockDocumentsFolder();
    MessageRecorder messages;
    CWelcomeDlg dialog;
    const int result = Run(dialog, [&] {
        TickDate(dialog);
        // The date is typed and Save pressed without Enter.
        QDateEdit* edit = Picker(dialog)->DateEdit();
        edit->setFocus();
        edit->setSelectedSection(QDateTimeEdit::MonthSection);
        QTest::keyClicks(edit, QStringLiteral("1120"));
        TypeLength(dialog, QStringLiteral("28"));
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
        EXPECT_TRUE(dialog.isVisible()) << "not closed as if saved";
        EXPECT_EQ(messages.Messages().size(), 1u) << "the failure is shown";
        EXPECT_TRUE(TheCycleDatabase().Records().empty());
        EXPECT_EQ(Stored("WelcomeDismissed"), -1);
        EXPECT_EQ(Stored("InitialCycleLen"), -1) << "the length waits with the day";

        messages.Clear();
        SetDocumentsFolderForTesting(DocumentsPath());
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty()) << messages.Texts().join(u'|').toStdString();
    const std::vector<DayRecord>& records = TheCycleDatabase().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(IsSameDate(records[0].date, Date(2026, 11, 20)));
    EXPECT_EQ(records[0].flags, 3u);
    EXPECT_TRUE(records[0].note.isEmpty());
    EXPECT_EQ(Stored("InitialCycleLen"), 28);
    EXPECT_EQ(FileBytes(dataFile).size(), 16) << "the header and one block";

    // Read back as the next start would, the first day gives history and statistics.
    ResetCycleDatabaseForTesting();
    ASSERT_TRUE(TheCycleDatabase().Load());
    ASSERT_EQ(TheCycleDatabase().Records().size(), 1u);
    EXPECT_EQ(LevelOf(TheCycleDatabase().Records()[0]), Heavy);
    CHistoryDialog history;
    Look(history, [&] { EXPECT_EQ(Rows(history.List(), 3), QStringList{QStringLiteral("11/20/26 1 28")}); });
    CStatisticsDlg statistics;
    Look(statistics, [&] {
        EXPECT_EQ(Rows(statistics.List(), 2),
                  (QStringList{QStringLiteral("Average cycle period 28"), QStringLiteral("Shortest cycle 28"),
                               QStringLiteral("Longest cycle 28"), QStringLiteral("Maximum period duration 1")}));
    });
}

TEST_F(WelcomeDlgTest, ARefusedLengthIsSaidAndASaveWithoutADateWritesNothing)
{
    ASSERT_TRUE(WriteSettingInt(Section(), QStringLiteral("InitialCycleLen"), 31));
    const QString dataFile = GetDataFilePath();
    MessageRecorder messages;
    CWelcomeDlg dialog;
    const int result = Run(dialog, [&] {
        TickDate(dialog);
        TypeLength(dialog, QStringLiteral("45"));
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
        EXPECT_EQ(messages.Texts(),
                  QStringList{QStringLiteral("The average cycle length must be between 20 and 40 days")});
        EXPECT_EQ(messages.Messages().front().icon, MessageIcon::Warning);
        EXPECT_TRUE(dialog.isVisible()) << "the welcome stays open";
        EXPECT_EQ(QApplication::focusWidget(), dialog.Control(kIdcWelcomeCycleLen));
        EXPECT_TRUE(TheCycleDatabase().Records().empty());
        EXPECT_EQ(Stored("InitialCycleLen"), 31);

        // Without a date, Enter saves the length and nothing else.
        messages.Clear();
        TickDate(dialog);
        TypeLength(dialog, QStringLiteral("30"));
        QTest::keyClick(dialog.Control(kIdcWelcomeCycleLen), Qt::Key_Return);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(Stored("InitialCycleLen"), 30);
    EXPECT_TRUE(TheCycleDatabase().Records().empty());
    EXPECT_FALSE(QFile::exists(dataFile)) << "no data file is written without a day";
}

TEST_F(WelcomeDlgTest, ADataFileThatCouldNotBeReadIsLeftAsItIs)
{
    const QString dataFile = GetDataFilePath();
    const QByteArray damaged("not a data file at all, but perhaps someone's days");
    {
        QFile file(dataFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    MessageRecorder messages;
    EXPECT_FALSE(TheCycleDatabase().Load());
    ASSERT_TRUE(TheCycleDatabase().Records().empty());
    messages.Clear();

    CWelcomeDlg dialog;
    const int result = Run(dialog, [&] {
        TypeLength(dialog, QStringLiteral("29"));
        dialog.MenuBar()->Press(SoftKeyBar::Side::Left);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(FileBytes(dataFile), damaged);
}

TEST_F(WelcomeDlgTest, ProtectionSetInTheWelcomeTakesEffectWithSaveAndNotWithSkip)
{
    MessageRecorder messages;
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "Save" : "Skip");
        CWelcomeDlg dialog;
        const int result = Run(dialog, [&] {
            auto* box = dialog.ControlAs<QCheckBox>(kIdcWelcomePassword);
            EXPECT_FALSE(box->isChecked());
            EXPECT_EQ(box->text(), QStringLiteral("Password protection: disabled"));
            EXPECT_FALSE(dialog.Control(kIdcWelcomeSetPassword)->isEnabled());
            AnswerSetPassword({{QStringLiteral("moon"), QStringLiteral("moon")}});
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            EXPECT_TRUE(box->isChecked());
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
        EXPECT_EQ(ThePasswordStore().IsEnabled(), save);
        EXPECT_EQ(TheCycleDatabase().Records().size(), save ? 1u : 0u) << "Skip stores no day";
        if (!save) {
            EXPECT_EQ(Stored("InitialCycleLen"), -1);
            EXPECT_EQ(Stored("WelcomeDismissed"), -1) << "an unticked box writes nothing";
        }
    }
    // The day went to the file sealed with the new password.
    EXPECT_TRUE(SealedFile::IsSealed(FileBytes(GetDataFilePath())));
    EXPECT_TRUE(DataProtection::IsCurrentPassword(QStringLiteral("moon")));
    EXPECT_TRUE(messages.Messages().empty());

    // The next welcome shows what is stored.
    CWelcomeDlg again;
    Look(again, [&] {
        auto* box = again.ControlAs<QCheckBox>(kIdcWelcomePassword);
        EXPECT_TRUE(box->isChecked());
        EXPECT_EQ(box->text(), QStringLiteral("Password protection: enabled"));
        EXPECT_TRUE(again.Control(kIdcWelcomeSetPassword)->isEnabled());
    });
}

TEST_F(WelcomeDlgTest, DoNotShowAgainIsKeptAndImportEndsTheWelcomeOnceDaysAreStored)
{
    CWelcomeDlg dialog;
    Run(dialog, [&] {
        auto* dontShow = dialog.ControlAs<QCheckBox>(kIdcWelcomeDontShow);
        EXPECT_FALSE(dontShow->isChecked());
        dontShow->setChecked(true);
        dialog.MenuBar()->Press(SoftKeyBar::Side::Right);
    });
    EXPECT_EQ(Stored("WelcomeDismissed"), 1);
    EXPECT_TRUE(TheAppSettings().IsWelcomeDismissed());

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
        ASSERT_TRUE(import->isVisible());
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
    const QString disclaimer = CAboutDlg::Disclaimer();
    EXPECT_TRUE(disclaimer.startsWith(
        QStringLiteral("DISCLAIMER:\r\nThis software is provided \"as is\", without any guarantee made as to its "
                       "suitability or fitness for any particular use.")));
    EXPECT_TRUE(disclaimer.contains(QStringLiteral("own risk")));

    CAboutDlg about;
    Look(about, [&] {
        EXPECT_EQ(about.windowTitle(), QStringLiteral("About Velumina"));
        EXPECT_EQ(about.MenuBar()->Key(SoftKeyBar::Side::Right)->text(), QStringLiteral("&Back"));
        EXPECT_EQ(about.ControlAs<QLabel>(kIdcAboutVersion)->text(), QStringLiteral("Version 1.4"));
        EXPECT_TRUE(about.ControlAs<QLabel>(kIdcAboutPublisher)->text().contains(QStringLiteral("Quorlen Software")));
        EXPECT_TRUE(about.ControlAs<QLabel>(kIdcAboutOffline)->text().contains(QStringLiteral("no network")));
        EXPECT_FALSE(about.ControlAs<QLabel>(kIdcAboutAddress)->text().contains(QStringLiteral("www")));
        auto* banner = about.ControlAs<CLogoPainter>(kIdcAboutBanner);
        ASSERT_NE(banner, nullptr);
        EXPECT_EQ(banner->width(), about.ClientSize().width()) << "across the top";
        EXPECT_FALSE(banner->Image().isNull());

        auto* field = about.ControlAs<QPlainTextEdit>(kIdcAboutDisclaimer);
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(field->isReadOnly());
        const QString shown = field->toPlainText();
        EXPECT_TRUE(shown.startsWith(QStringLiteral("DISCLAIMER:\nThis software")));
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("typed"));
        QTest::keyClick(field, Qt::Key_Delete);
        EXPECT_EQ(field->toPlainText(), shown) << "it cannot be edited";
        EXPECT_GE(field->height(), about.ClientSize().height() / 3) << "it takes the page's height";
        // Turned, the page keeps the banner across the top.
        m_host->resize(800, 480);
        QCoreApplication::processEvents();
        EXPECT_EQ(banner->width(), about.ClientSize().width());
        EXPECT_EQ(field->geometry().right(), about.ClientSize().width() - 1 - about.Units().MapX(4));
    });
}
