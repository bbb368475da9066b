#include "PageTestSupport.h"
#include "PixelContrast.h"

#include "model/CycleDatabase.h"
#include "platform/DocumentsFolder.h"
#include "platform/MessageRecorder.h"
#include "settings/AppSettings.h"
#include "ui/screens/CBleedingButton.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

namespace {
// The stored record of `date`; one dated 0/0/0 when the day is not stored.
DayRecord Stored(const CalDate& date)
{
    for (const DayRecord& candidate : TheCycleDatabase().Records()) {
        if (IsSameDate(candidate.date, date))
            return candidate;
    }
    return DayRecord();
}

QDateEdit* Picker(CTodayDlg& dialog)
{
    return dialog.ControlAs<QDateEdit>(kIdcTodayDate);
}

QPlainTextEdit* Notes(CTodayDlg& dialog)
{
    return dialog.ControlAs<QPlainTextEdit>(kIdcTodayNotes);
}
} // namespace

class TodayDlgTest : public PageTest
{
protected:
    // Runs the editor opened on `day`; `script` must end it.
    int Edit(const CalDate& day, const std::function<void(CTodayDlg&)>& script)
    {
        CTodayDlg dialog;
        dialog.SetCurrentDate(day);
        return Run(dialog, [&] { script(dialog); });
    }
};

TEST_F(TodayDlgTest, OpensOnTodayOrThePresetDayWithTheStoredLevelAndNote)
{
    const QString note = QStringLiteral("cramps\r\nslept badly");
    ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 11, 20), Medium, note)));
    MessageRecorder messages;
    Edit(Date(2026, 11, 20), [&](CTodayDlg& dialog) {
        EXPECT_EQ(Picker(dialog)->date(), QDate(2026, 11, 20));
        EXPECT_EQ(dialog.findChild<CBleedingButton*>()->Level(), Medium);
        EXPECT_EQ(Notes(dialog)->toPlainText(), QStringLiteral("cramps\nslept badly"))
            << "an old line break shows as one";
        dialog.OnCommand(kCmdTodayBack);
    });
    EXPECT_TRUE(messages.Messages().empty()) << "an untouched day with an old note asks nothing";

    // A new level keeps the untouched note exactly as it was stored.
    Edit(Date(2026, 11, 20), [&](CTodayDlg& again) {
        again.OnCommand(kIdcTodayBleeding);
        again.OnCommand(kCmdTodaySave);
    });
    EXPECT_EQ(LevelOf(Stored(Date(2026, 11, 20))), Heavy);
    EXPECT_EQ(Stored(Date(2026, 11, 20)).note, note);
}

TEST_F(TodayDlgTest, APredictedDayStartsAtNoneAndStoresOnlyWhatTheUserPicked)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 11, 20), 5)));
    // Find a predicted bleeding day of the next cycle.
    CalDate predicted = Date(2026, 12, 10);
    while (LevelOf(TheCycleDatabase().GetDay(predicted)) == None && predicted.day < 31)
        NextDay(predicted);
    ASSERT_NE(LevelOf(TheCycleDatabase().GetDay(predicted)), None) << "no predicted day in December";

    MessageRecorder messages;
    messages.QueueAnswer(MessageAnswer::Save);
    Edit(predicted, [&](CTodayDlg& dialog) {
        EXPECT_EQ(dialog.Level(), None);
        auto* bar = dialog.findChild<CBleedingButton*>();
        EXPECT_EQ(bar->HintLevel(), LevelOf(TheCycleDatabase().GetDay(predicted))) << "shown as a hint only";
        EXPECT_EQ(bar->toolTip(), QStringLiteral("Predicted: ") + LevelName(bar->HintLevel()));
        QTest::keyClicks(Notes(dialog), QStringLiteral("headache"));
        dialog.OnCommand(kCmdTodayBack);
    });
    ASSERT_EQ(messages.Texts(), QStringList{QStringLiteral("Save changes?")});
    EXPECT_EQ(messages.Messages()[0].buttons, MessageButtons::SaveDiscardCancel);
    const DayRecord record = Stored(predicted);
    EXPECT_EQ(LevelOf(record), None) << "the predicted level is never stored by a note";
    EXPECT_EQ(record.note, QStringLiteral("headache"));
    EXPECT_NE(record.flags & kHasNoteFlag, 0u);
}

TEST_F(TodayDlgTest, AClickOnADropTheWheelAndSpaceChooseTheLevelAndAChangeUndoneAsksNothing)
{
    MessageRecorder messages;
    Edit(Date(2026, 12, 6), [&](CTodayDlg& dialog) {
        auto* bar = dialog.findChild<CBleedingButton*>();
        auto* name = dialog.findChild<QLabel*>(QStringLiteral("BleedingLevel"));
        ASSERT_NE(name, nullptr);
        // The middle of drop k lies between the split columns around it.
        const auto drop = [bar](int k) {
            const int from = CBleedingButton::SplitColumn(k - 1);
            const int to = CBleedingButton::SplitColumn(k);
            return QPoint((from + to) / 2 * bar->width() / CBleedingButton::kSourceWidth, bar->height() / 2);
        };
        const char* const names[] = {"None", "Slight", "Medium", "Heavy"};
        const std::pair<int, int> clicks[] = {{3, Heavy}, {3, None}, {1, Slight}, {2, Medium}, {1, Slight}, {1, None}};
        for (const auto& [click, level] : clicks) {
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, drop(click));
            EXPECT_EQ(dialog.Level(), level) << "drop " << click;
            EXPECT_EQ(name->text(), QString::fromLatin1(names[level]));
        }
        // The wheel steps one level a notch, up for more, and stops at the ends.
        for (const auto& [notches, level] : {std::pair{4, Heavy}, {-5, None}, {2, Medium}}) {
            QWheelEvent event(QPointF(5, 5), bar->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120 * notches),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(bar, &event);
            EXPECT_EQ(dialog.Level(), level) << notches;
        }
        // Space steps round, and back to where the day was stored.
        for (const int level : {Heavy, None}) {
            QTest::keyClick(bar, Qt::Key_Space);
            EXPECT_EQ(bar->Level(), level);
        }
        dialog.OnCommand(kCmdTodayBack);
    });
    EXPECT_TRUE(messages.Messages().empty()) << "a change undone asks nothing";
    EXPECT_TRUE(TheCycleDatabase().Records().empty());
}

TEST_F(TodayDlgTest, EveryRoadThatLeavesAChangedDayAsksFirstAndCancelStaysWithTheEdits)
{
    // A road closes the editor, or moves it to the day `to`.
    struct Road
    {
        const char* name;
        std::function<void(CTodayDlg&)> leave;
        QDate to = QDate();
    };
    const std::vector<Road> roads = {
        {"Back", [](CTodayDlg& d) { d.OnCommand(kCmdTodayBack); }},
        {"Enter", [](CTodayDlg& d) { QTest::keyClick(d.findChild<CBleedingButton*>(), Qt::Key_Return); }},
        {"Esc", [](CTodayDlg& d) { QTest::keyClick(Notes(d), Qt::Key_Escape); }},
        {">", [](CTodayDlg& d) { QTest::mouseClick(d.ControlAs<QPushButton>(kIdcTodayNextDay), Qt::LeftButton); },
         QDate(2026, 12, 7)},
        {"Down key",
         [&](CTodayDlg& d) {
             Picker(d)->setFocus();
             Picker(d)->setCurrentSection(QDateTimeEdit::MonthSection);
             QTest::keyClick(Picker(d), Qt::Key_Down);
         },
         QDate(2026, 11, 6)},
        {"popup",
         [&](CTodayDlg& d) {
             QDateEdit* field = Picker(d);
             QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(field->width() - 6, field->height() / 2));
             QWidget* days = field->calendarWidget()->findChild<QAbstractItemView*>();
             // Browsing the popup changes nothing yet.
             QTest::keyClick(days, Qt::Key_Right);
             QTest::keyClick(days, Qt::Key_Right);
             EXPECT_EQ(field->date(), QDate(2026, 12, 6));
             QTest::keyClick(days, Qt::Key_Return);
         },
         QDate(2026, 12, 8)},
    };
    for (const Road& road : roads) {
        for (const MessageAnswer answer : {MessageAnswer::Discard, MessageAnswer::Save, MessageAnswer::Cancel}) {
            SCOPED_TRACE(testing::Message() << road.name << " answered " << static_cast<int>(answer));
            ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 12, 6), Slight)));
            MessageRecorder messages;
            messages.QueueAnswer(answer);
            CTodayDlg dialog;
            // Behind the question the editor shows the day whose edits it asks about.
            messages.SetObserver([&](const MessageRecorder::Message&) {
                EXPECT_EQ(Picker(dialog)->date(), QDate(2026, 12, 6));
                EXPECT_EQ(dialog.Level(), Medium);
            });
            Run(dialog, [&] {
                dialog.OnCommand(kIdcTodayBleeding); // Slight -> Medium
                road.leave(dialog);
                QApplication::processEvents();
                EXPECT_EQ(dialog.isVisible(), answer == MessageAnswer::Cancel || road.to.isValid());
                if (answer == MessageAnswer::Cancel) {
                    EXPECT_EQ(Picker(dialog)->date(), QDate(2026, 12, 6));
                    EXPECT_EQ(dialog.Level(), Medium) << "Cancel stays with the edits";
                    messages.QueueAnswer(MessageAnswer::Discard);
                } else if (road.to.isValid()) {
                    EXPECT_EQ(Picker(dialog)->date(), road.to) << "the editor moves on after Save or Discard";
                    EXPECT_EQ(dialog.Level(), None) << "the new day's own record is shown";
                }
                if (dialog.isVisible())
                    dialog.OnCommand(kCmdTodayBack);
            });
            ASSERT_EQ(messages.Messages().size(), answer == MessageAnswer::Cancel ? 2u : 1u) << "asked once";
            EXPECT_EQ(messages.Texts().front(), QStringLiteral("Save changes?"));
            EXPECT_EQ(LevelOf(Stored(Date(2026, 12, 6))), answer == MessageAnswer::Save ? Medium : Slight);
        }
    }
    // After Save the data file holds the record.
    ASSERT_TRUE(ReloadCycleDatabase());
    EXPECT_EQ(LevelOf(Stored(Date(2026, 12, 6))), Slight) << "the last run discarded";
}

TEST_F(TodayDlgTest, BleedingOnADayThatHasNotComeYetIsStoredOnlyWhenSheConfirms)
{
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        ResetCycleDatabaseForTesting();
        MessageRecorder messages;
        messages.QueueAnswer(answer);
        CTodayDlg dialog;
        dialog.SetCurrentDate(Date(2026, 12, 9)); // today is 6 December
        const int result = Run(dialog, [&] {
            for (int i = 0; i < 3; ++i)
                dialog.OnCommand(kIdcTodayBleeding);
            dialog.OnCommand(kCmdTodaySave);
            if (answer == MessageAnswer::No) {
                // She stays on the day with her choice, and may leave it.
                EXPECT_EQ(dialog.Level(), Heavy);
                messages.QueueAnswer(MessageAnswer::Discard);
                dialog.OnCommand(kCmdTodayBack);
            }
        });
        ASSERT_GE(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Texts()[0], QStringLiteral("December 9 has not come yet. Record bleeding on it anyway?"));
        EXPECT_EQ(messages.Messages()[0].defaultAnswer, MessageAnswer::No);
        EXPECT_EQ(LevelOf(Stored(Date(2026, 12, 9))), answer == MessageAnswer::Yes ? Heavy : None);
        EXPECT_EQ(result, answer == MessageAnswer::Yes ? QDialog::Accepted : QDialog::Rejected);
    }
    // Bleeding today or before, and a note on a day to come, ask nothing.
    MessageRecorder messages;
    Edit(Date(2026, 12, 6), [&](CTodayDlg& dialog) {
        dialog.OnCommand(kIdcTodayBleeding);
        dialog.OnCommand(kCmdTodaySave);
    });
    Edit(Date(2026, 12, 10), [&](CTodayDlg& dialog) {
        QTest::keyClicks(Notes(dialog), QStringLiteral("pack pads"));
        dialog.OnCommand(kCmdTodaySave);
    });
    EXPECT_TRUE(messages.Messages().empty());
    EXPECT_EQ(LevelOf(Stored(Date(2026, 12, 6))), Slight);
    EXPECT_EQ(Stored(Date(2026, 12, 10)).note, QStringLiteral("pack pads"));
}

TEST_F(TodayDlgTest, SaveStoresWithoutAskingAndReachesTheDataFileAndAnEmptiedNoteClearsItsMark)
{
    MessageRecorder messages;
    const int result = Edit(Date(2026, 12, 3), [&](CTodayDlg& dialog) {
        dialog.OnCommand(kIdcTodayBleeding);
        dialog.OnCommand(kIdcTodayBleeding);
        QTest::keyClicks(Notes(dialog), QStringLiteral("two"));
        QTest::keyClick(Notes(dialog), Qt::Key_Return);
        QTest::keyClicks(Notes(dialog), QStringLiteral("lines"));
        QTest::keyClick(Notes(dialog), Qt::Key_S, Qt::ControlModifier);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(messages.Messages().empty());
    ASSERT_TRUE(ReloadCycleDatabase());
    EXPECT_EQ(LevelOf(Stored(Date(2026, 12, 3))), Medium);
    EXPECT_EQ(Stored(Date(2026, 12, 3)).note, QStringLiteral("two\r\nlines")) << "a line break is stored as CR LF";

    Edit(Date(2026, 12, 3), [&](CTodayDlg& again) {
        Notes(again)->clear();
        again.OnCommand(kCmdTodaySave);
    });
    EXPECT_TRUE(Stored(Date(2026, 12, 3)).note.isEmpty());
    EXPECT_EQ(Stored(Date(2026, 12, 3)).flags & kHasNoteFlag, 0u);

    // A note of one space is a change too.
    messages.QueueAnswer(MessageAnswer::Save);
    Edit(Date(2026, 12, 6), [&](CTodayDlg& space) {
        QTest::keyClick(Notes(space), Qt::Key_Space);
        space.OnCommand(kCmdTodayBack);
    });
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Save changes?")});
    EXPECT_EQ(Stored(Date(2026, 12, 6)).note, QStringLiteral(" "));
}

TEST_F(TodayDlgTest, AYearTypedIntoTheDateFieldIsGoneToOnEnterOrOnLeavingTheField)
{
    MessageRecorder messages;
    messages.QueueAnswer(MessageAnswer::Save);
    Edit(Date(2026, 12, 6), [&](CTodayDlg& dialog) {
        dialog.OnCommand(kIdcTodayBleeding);
        QDateEdit* picker = Picker(dialog);
        picker->setFocus();
        picker->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(picker, QStringLiteral("2025"));
        EXPECT_TRUE(messages.Messages().empty()) << "typing only chooses";
        QTest::keyClick(picker, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Save changes?")});
        EXPECT_EQ(picker->text(), QStringLiteral("Saturday, 12/6/2025")) << "with its own weekday";
        EXPECT_TRUE(dialog.isVisible()) << "Enter in the date field does not close the editor";

        // Leaving the field takes what was typed too.
        picker->setSelectedSection(QDateTimeEdit::YearSection);
        QTest::keyClicks(picker, QStringLiteral("2010"));
        Notes(dialog)->setFocus();
        QApplication::processEvents();
        EXPECT_TRUE(IsSameDate(dialog.CurrentDate(), Date(2010, 12, 6)));
        dialog.OnCommand(kCmdTodayBack);
    });
    EXPECT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(LevelOf(Stored(Date(2026, 12, 6))), Slight);
}

TEST_F(TodayDlgTest, TheArrowsAndTheirKeysMoveByOneDateAcrossDaylightSavingChanges)
{
    // Berlin springs forward at 02:00 and falls back at 03:00; São Paulo's clocks jumped
    // from midnight to 01:00 on 4 November 2018.
    const std::pair<const char*, CalDate> crossings[] = {{"Europe/Berlin", Date(2026, 3, 28)},
                                                         {"Europe/Berlin", Date(2026, 10, 24)},
                                                         {"America/Sao_Paulo", Date(2018, 11, 3)}};
    for (const auto& [zoneName, from] : crossings) {
        SCOPED_TRACE(zoneName);
        ScopedTimeZone zone(zoneName);
        Edit(from, [&](CTodayDlg& dialog) {
            dialog.OnCommand(kIdcTodayNextDay);
            EXPECT_EQ(Picker(dialog)->date(), ToQDate(from).addDays(1));
            Notes(dialog)->setFocus();
            QTest::keyClick(Notes(dialog), Qt::Key_Right, Qt::AltModifier);
            EXPECT_EQ(Picker(dialog)->date(), ToQDate(from).addDays(2));
            QTest::keyClick(Notes(dialog), Qt::Key_Left, Qt::AltModifier);
            dialog.OnCommand(kIdcTodayPrevDay);
            EXPECT_TRUE(IsSameDate(dialog.CurrentDate(), from));
            dialog.OnCommand(kCmdTodayBack);
        });
    }
}

TEST_F(TodayDlgTest, ThePickerKeepsToTheDatesTheProgramCanStore)
{
    Edit(Date(2100, 1, 1), [&](CTodayDlg& dialog) {
        QDateEdit* picker = Picker(dialog);
        EXPECT_EQ(picker->maximumDate(), QDate(2099, 12, 31));
        EXPECT_EQ(picker->text(), QStringLiteral("Sunday, 12/6/2026")) << "an unstorable preset opens on today";
        picker->setDate(QDate(2007, 12, 31));
        QApplication::processEvents();
        EXPECT_EQ(picker->text(), QStringLiteral("Tuesday, 1/1/2008")) << "the first year with predictions";
        dialog.OnCommand(kIdcTodayPrevDay);
        EXPECT_TRUE(IsSameDate(dialog.CurrentDate(), Date(2008, 1, 1)));
        dialog.OnCommand(kCmdTodayBack);
    });
}

TEST_F(TodayDlgTest, AFailedStoreKeepsTheEditorOnTheDayWithItsEdits)
{
    BlockDocumentsFolder();
    MessageRecorder messages;
    const int result = Edit(Date(2026, 12, 6), [&](CTodayDlg& dialog) {
        dialog.OnCommand(kIdcTodayBleeding);
        dialog.OnCommand(kCmdTodaySave);
        EXPECT_EQ(messages.Messages().size(), 1u) << "the failure is shown";
        EXPECT_EQ(dialog.Level(), Slight) << "not closed as if saved";

        messages.Clear();
        messages.QueueAnswer(MessageAnswer::Save);
        dialog.OnCommand(kIdcTodayNextDay);
        EXPECT_EQ(Picker(dialog)->date(), QDate(2026, 12, 6));
        EXPECT_EQ(messages.Messages().size(), 2u) << "the question and the failure";

        messages.Clear();
        messages.QueueAnswer(MessageAnswer::Save);
        QDateEdit* picker = Picker(dialog);
        picker->setFocus();
        picker->setDate(QDate(2026, 12, 1));
        QApplication::processEvents();
        EXPECT_EQ(picker->date(), QDate(2026, 12, 6)) << "the picker returns to the day shown";

        // A retry once the folder can be written stores the day.
        SetDocumentsFolderForTesting(DocumentsPath());
        dialog.OnCommand(kCmdTodaySave);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(QFile::exists(QDir(DocumentsPath()).filePath(QStringLiteral("Velumina.dat"))));
}

TEST_F(TodayDlgTest, TheEditorPageShowsTheThemeAndTheLevelInEveryTheme)
{
    ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 12, 6), Medium, QStringLiteral("a note"))));
    for (int themeIndex = 0; themeIndex < ColorTheme::kThemeCount; ++themeIndex) {
        SCOPED_TRACE(themeIndex);
        TheAppSettings().selectedTheme = themeIndex;
        const ColorTheme& theme = SelectedTheme();
        const QColor page = theme.Color(11);
        Edit(Date(2026, 12, 6), [&](CTodayDlg& dialog) {
            QPlainTextEdit* notes = Notes(dialog);
            const QImage image = dialog.grab().toImage();
            // A box with a note stays in the theme, in its second shade, its text readable there;
            // an empty one takes the page's colours.
            const QColor noteShade = ThemedPalette(theme).color(QPalette::AlternateBase);
            EXPECT_EQ(notes->palette().color(QPalette::Base), noteShade);
            EXPECT_GE(HighestContrast(image, notes->geometry().adjusted(4, 4, -24, -4), noteShade), kTextContrast);
            notes->clear();
            EXPECT_EQ(notes->palette().color(QPalette::Base), page);
            notes->setPlainText(QStringLiteral("a note"));
            // Medium: red drops left of the split, none right of it.
            const QRect r = dialog.Control(kIdcTodayBleeding)->geometry();
            const int split = r.left() + CBleedingButton::SplitColumn(Medium) * r.width() / 166;
            const auto reddish = [](const QColor& c) { return c.alpha() > 128 && c.red() > c.green() + 60; };
            const QRect filled(r.left(), r.top(), split - r.left(), r.height());
            EXPECT_GT(CountPixels(image, filled, reddish), r.width() * r.height() / 10);
            EXPECT_EQ(CountPixels(image, r.adjusted(filled.width(), 0, 0, 0), reddish), 0);

            // Every text reads on the page, and the empty drops stand out from it.
            for (const QWidget* text :
                 {dialog.Control(kIdcTodayDateLabel), dialog.Control(kIdcTodayBleedingLabel),
                  dialog.Control(kIdcTodayNotesLabel), dialog.findChild<QWidget*>(QStringLiteral("BleedingLevel"))}) {
                EXPECT_GE(HighestContrast(image, text->geometry(), page), kTextContrast)
                    << text->objectName().toStdString();
            }
            EXPECT_GE(HighestContrast(image, r.adjusted(filled.width() + 2, 0, 0, 0), page), kMarkContrast) << "drops";
            // The calendar of the date field opens in the theme too.
            EXPECT_EQ(Picker(dialog)->calendarWidget()->palette().color(QPalette::Window), page);
            dialog.OnCommand(kCmdTodayBack);
        });
    }
}
