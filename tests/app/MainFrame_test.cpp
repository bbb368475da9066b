#include "TestSupport.h"

#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "platform/DocumentsFolder.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/CheckedDateEdit.h"
#include "platform/gui/FileDialogs.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/DataProtection.h"
#include "storage/DataFile.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/CSettingsDlg.h"
#include "ui/screens/CStatisticsDlg.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/toolkit/CBlackDialog.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/CsvExportFlow.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
/// A frame that remembers every command it was given.
class RecordingFrame : public CMainFrame
{
public:
    std::vector<int> commands;

    void OnCommand(int command) override
    {
        commands.push_back(command);
        CMainFrame::OnCommand(command);
    }
};
} // namespace

class MainFrameTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        TheImageCache().LoadImages(ImageCache::StartupImageNames());
        // Frames without days would open the welcome page; the tests that want it say so.
        TheAppSettings().SetWelcomeDismissed(true);
    }

    void TearDown() override
    {
        SetFileDialogHandler(FileDialogHandler());
        VeluminaTest::TearDown();
    }

    void StoreNovemberPeriod()
    {
        std::vector<DayRecord> records;
        for (int day = 20; day <= 24; ++day)
            records.push_back(Day(Date(2026, 11, day), Heavy));
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
        ASSERT_TRUE(TheCycleDatabase().Save());
    }

    void AnswerFileDialog(const QString& path)
    {
        SetFileDialogHandler(
            [path](FileDialogKind, QWidget*, const QString&, const QString&, const QString&) { return path; });
    }
};

TEST_F(MainFrameTest, WelcomeIsPostedOnceOnlyForAnEmptyDatabase)
{
    ASSERT_TRUE(TheAppSettings().SetWelcomeDismissed(false));
    {
        RecordingFrame frame;
        QString opened;
        QTimer skipper;
        QObject::connect(&skipper, &QTimer::timeout, &frame, [&] {
            if (CBlackDialog* page = CBlackDialog::TopPage(&frame)) {
                opened = QString::fromLatin1(page->metaObject()->className());
                page->reject();
            }
        });
        skipper.start(5);
        frame.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty() && !CBlackDialog::IsPageOpen(&frame); }, 5000));
        QCoreApplication::processEvents();
        EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 1);
        EXPECT_EQ(opened, QStringLiteral("CWelcomeDlg"));
    }
    // Asked not to be greeted again, she is not, even without days.
    ASSERT_TRUE(TheAppSettings().SetWelcomeDismissed(true));
    {
        RecordingFrame frame;
        QCoreApplication::processEvents();
        EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 0);
    }
    ASSERT_TRUE(TheAppSettings().SetWelcomeDismissed(false));
    StoreNovemberPeriod();
    RecordingFrame frame;
    QCoreApplication::processEvents();
    EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 0);
}

TEST_F(MainFrameTest, AFirstStartSavedInTheWelcomeShowsThePredictions)
{
    ASSERT_TRUE(TheAppSettings().SetWelcomeDismissed(false));
    MessageRecorder messages;
    CMainFrame frame;
    QString opened;
    QTimer saver;
    QObject::connect(&saver, &QTimer::timeout, &frame, [&] {
        CBlackDialog* page = CBlackDialog::TopPage(&frame);
        if (!page || !opened.isEmpty())
            return;
        opened = QString::fromLatin1(page->metaObject()->className());
        EXPECT_EQ(page->geometry(), frame.rect()) << "the welcome covers the main window";
        auto* picker = page->ControlAs<CheckedDateEdit>(kIdcWelcomeLastCycle);
        ASSERT_NE(picker, nullptr);
        picker->SetHasDate(true);
        picker->SetDate(QDate(2026, 11, 20));
        page->OnCommand(kIdOk);
    });
    saver.start(5);
    frame.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty() && !CBlackDialog::IsPageOpen(&frame); }, 5000));
    EXPECT_EQ(opened, QStringLiteral("CWelcomeDlg"));
    EXPECT_TRUE(messages.Messages().empty());
    ASSERT_EQ(TheCycleDatabase().Records().size(), 1u);
    CSummaryPanel* summary = frame.SummaryPanel();
    summary->grab();
    QStringList captions;
    for (const auto& item : summary->Items())
        captions << item->caption;
    EXPECT_EQ(captions.value(0), QStringLiteral("Today: Day 17"));
    EXPECT_TRUE(captions.contains(QStringLiteral("Next Cycle: in 12 Days"))) << captions.join(u'|').toStdString();
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdAppAbout));
}

TEST_F(MainFrameTest, EraseAndExportAreGreyedWithoutRecords)
{
    CMainFrame empty;
    EXPECT_FALSE(empty.IsCommandEnabled(kCmdEraseAll));
    EXPECT_FALSE(empty.IsCommandEnabled(kCmdExport));
    EXPECT_TRUE(empty.IsCommandEnabled(kCmdImport));
    EXPECT_TRUE(empty.IsCommandEnabled(kCmdExit));
    StoreNovemberPeriod();
    EXPECT_TRUE(empty.IsCommandEnabled(kCmdEraseAll));
    EXPECT_TRUE(empty.IsCommandEnabled(kCmdExport));
}

TEST_F(MainFrameTest, EraseAsksAndOnlyYesEmptiesTheDataFile)
{
    StoreNovemberPeriod();
    const QByteArray before = FileBytes(GetDataFilePath());
    ASSERT_FALSE(before.isEmpty());
    CMainFrame frame;
    {
        MessageRecorder messages;
        messages.QueueAnswer(MessageAnswer::No);
        frame.OnCommand(kCmdEraseAll);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Texts().front(), QStringLiteral("WARNING: This will delete all the stored data.\n"
                                                           "This operation cannot be undone.\nContinue?"));
        EXPECT_EQ(messages.Messages().front().defaultAnswer, MessageAnswer::No) << "Enter answers No";
        EXPECT_EQ(FileBytes(GetDataFilePath()), before);
        EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);
    }
    MessageRecorder messages;
    messages.QueueAnswer(MessageAnswer::Yes);
    frame.OnCommand(kCmdEraseAll);
    EXPECT_TRUE(TheCycleDatabase().Records().empty());
    EXPECT_EQ(FileBytes(GetDataFilePath()).size(), 8) << "an empty data file is its header";
}

TEST_F(MainFrameTest, ExportAndImportThroughTheirDialogs)
{
    StoreNovemberPeriod();
    CMainFrame frame;
    const QString csv = TempPath(QStringLiteral("days.csv"));
    {
        MessageRecorder messages;
        SetFileDialogHandler(
            [](FileDialogKind, QWidget*, const QString&, const QString&, const QString&) { return QString(); });
        frame.OnCommand(kCmdExport);
        EXPECT_TRUE(messages.Messages().empty()) << "a cancelled dialog shows nothing";
        AnswerFileDialog(csv);
        frame.OnCommand(kCmdExport);
        EXPECT_EQ(messages.Texts(),
                  QStringList{QStringLiteral("Exported 5 days to %1.").arg(QDir::toNativeSeparators(csv))});
        EXPECT_TRUE(QFile::exists(csv));
    }
    {
        // With the data file encrypted, an export says first that it is plain text.
        MessageRecorder messages;
        QString error;
        ASSERT_TRUE(DataProtection::SetPassword(QStringLiteral("secret"), error));
        const QString plain = TempPath(QStringLiteral("plain.csv"));
        AnswerFileDialog(plain);
        messages.QueueAnswer(MessageAnswer::Cancel);
        frame.OnCommand(kCmdExport);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_TRUE(messages.Texts()[0].contains(QStringLiteral("the exported file will be plain text")));
        EXPECT_FALSE(QFile::exists(plain));
        messages.QueueAnswer(MessageAnswer::Ok);
        frame.OnCommand(kCmdExport);
        EXPECT_EQ(messages.Texts().back(),
                  QStringLiteral("Exported 5 days to %1.").arg(QDir::toNativeSeparators(plain)));
        EXPECT_EQ(FileBytes(plain), FileBytes(csv));
        ASSERT_TRUE(DataProtection::SwitchOff(QStringLiteral("secret"), error));
    }
    {
        // Export never overwrites the data file itself.
        MessageRecorder messages;
        const QByteArray data = FileBytes(GetDataFilePath());
        AnswerFileDialog(GetDataFilePath());
        frame.OnCommand(kCmdExport);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_FALSE(messages.Texts().front().startsWith(QStringLiteral("Exported")));
        EXPECT_EQ(FileBytes(GetDataFilePath()), data);
    }
    {
        // Importing over stored days asks first; Cancel changes nothing.
        MessageRecorder messages;
        TheCycleDatabase().SetDay(Day(Date(2026, 12, 1), Slight));
        AnswerFileDialog(csv);
        messages.QueueAnswer(MessageAnswer::Cancel);
        frame.OnCommand(kCmdImport);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Texts().front(),
                  QStringLiteral("5 days from a Velumina day file, 20 Nov 2026 to 24 Nov 2026.\n\n"
                                 "You have 6 days stored, and 5 dates are in both.\n"
                                 "\"Add to my days\" keeps your own record on every date you have.\n"
                                 "\"Replace my days\" removes your 6 days first; this cannot be undone."));
        EXPECT_EQ(messages.Messages().front().buttons, MessageButtons::AddReplaceCancel);
        EXPECT_EQ(messages.Messages().front().defaultAnswer, MessageAnswer::Add) << "Enter loses nothing";
        EXPECT_EQ(TheCycleDatabase().Records().size(), 6u);
        messages.Clear();
        messages.QueueAnswer(MessageAnswer::Replace);
        frame.OnCommand(kCmdImport);
        EXPECT_EQ(messages.Texts().back(), QStringLiteral("Imported 5 days."));
        EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);
    }
    {
        // A file in no known form fails and changes nothing.
        MessageRecorder messages;
        const QString bad = TempPath(QStringLiteral("bad.csv"));
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a day file\n");
        file.close();
        AnswerFileDialog(bad);
        frame.OnCommand(kCmdImport);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_TRUE(messages.Texts().back().startsWith(QStringLiteral("This file is in no form Velumina knows")));
        EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);
    }
}

TEST_F(MainFrameTest, AddKeepsHerDaysReplaceTakesTheFilesAndTheSummaryIsNewBeforeTheMessage)
{
    StoreNovemberPeriod();
    SetToday(2026, 11, 21);
    const QString sheet = TempPath(QStringLiteral("sheet.csv"));
    QFile file(sheet);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Date,Bleeding,Note\r\n2026-11-19,heavy,\r\n2026-11-20,spotting,theirs\r\n");
    file.close();
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CSummaryPanel* summary = frame.SummaryPanel();
    summary->grab();
    ASSERT_EQ(summary->Items()[0]->caption, QStringLiteral("Today: Day 2"));

    MessageRecorder messages;
    QStringList captionsAtMessages;
    messages.SetObserver([&](const MessageRecorder::Message&) { captionsAtMessages << summary->Items()[0]->caption; });
    AnswerFileDialog(sheet);
    messages.QueueAnswer(MessageAnswer::Add);
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_TRUE(messages.Texts()[0].contains(QStringLiteral("You have 5 days stored, and 1 date is in both.")));
    EXPECT_EQ(messages.Texts()[1],
              QStringLiteral("Imported 1 day. 1 date was already stored; your own record stayed there."));
    EXPECT_EQ(captionsAtMessages, (QStringList{QStringLiteral("Today: Day 2"), QStringLiteral("Today: Day 3")}));
    ASSERT_EQ(TheCycleDatabase().Records().size(), 6u);
    EXPECT_EQ(LevelOf(TheCycleDatabase().Records()[1]), Heavy) << "her own record of 20 November stays";
    EXPECT_TRUE(TheCycleDatabase().Records()[1].note.isEmpty());

    messages.Clear();
    captionsAtMessages.clear();
    messages.QueueAnswer(MessageAnswer::Replace);
    frame.OnCommand(kCmdImport);
    EXPECT_EQ(messages.Texts().back(), QStringLiteral("Imported 2 days."));
    ASSERT_EQ(TheCycleDatabase().Records().size(), 2u);
    EXPECT_EQ(TheCycleDatabase().Records()[1].note, QStringLiteral("theirs"));
    EXPECT_EQ(captionsAtMessages.back(), QStringLiteral("Today: Day 3"));
    // The data file holds what the program shows.
    ResetCycleDatabaseForTesting();
    ASSERT_TRUE(TheCycleDatabase().Load());
    EXPECT_EQ(TheCycleDatabase().Records().size(), 2u);
}

TEST_F(MainFrameTest, AFileWithoutDaysIsRefusedAndOneReadPartlySaysSoBeforeReplacing)
{
    StoreNovemberPeriod();
    CMainFrame frame;
    MessageRecorder messages;
    auto writeDays = [&](const QString& name, const QString& text) {
        const QString path = TempPath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(text.utf16()), 2 * text.size());
        return path;
    };

    // Nothing to import: refused, and nothing asked or replaced.
    AnswerFileDialog(writeDays(QStringLiteral("empty.csv"), QString()));
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("This file holds no days; nothing was imported.")));
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);

    // Read up to a blank line: the preview says so before anything changes.
    messages.Clear();
    AnswerFileDialog(writeDays(QStringLiteral("cut.csv"), QStringLiteral("2026-12-01;3\r\n2026-12-02;2\r\n"
                                                                         "\r\n2026-12-03;1\r\n")));
    const QString preview = QStringLiteral("2 days from a Velumina day file, 1 Dec 2026 to 2 Dec 2026.\nThe file "
                                           "could be read only up to line 2: line 3 is blank. Nothing from there on "
                                           "is imported.\n\n");
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(messages.Texts()[0].startsWith(preview + QStringLiteral("You have 5 days stored, and no date")));
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u) << "an unanswered question is Cancel";

    // With nothing stored there is nothing to add to or replace.
    messages.Clear();
    TheCycleDatabase().Reset();
    messages.QueueAnswer(MessageAnswer::Ok);
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Texts()[0], preview + QStringLiteral("Import these days?"));
    EXPECT_EQ(messages.Messages()[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(messages.Texts()[1], QStringLiteral("Imported 2 days."));
    EXPECT_EQ(TheCycleDatabase().Records().size(), 2u);
}

TEST_F(MainFrameTest, AnEraseThatCannotBeSavedSaysSoAndKeepsEveryDay)
{
    StoreNovemberPeriod();
    const QString dataFile = GetDataFilePath();
    const QByteArray stored = FileBytes(dataFile);
    CMainFrame frame;
    // A documents folder below a plain file cannot take the data file.
    QFile blocker(TempPath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SetDocumentsFolderForTesting(TempPath(QStringLiteral("blocker/documents")));

    MessageRecorder messages;
    messages.QueueAnswer(MessageAnswer::Yes);
    frame.OnCommand(kCmdEraseAll);
    ASSERT_GE(messages.Messages().size(), 2u);
    EXPECT_EQ(messages.Texts().back(), QStringLiteral("Failed to erase data. No day was deleted."));
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u) << "the program keeps what the file keeps";
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdEraseAll));

    SetDocumentsFolderForTesting(DocumentsPath());
    EXPECT_EQ(FileBytes(dataFile), stored);
    ResetCycleDatabaseForTesting();
    ASSERT_TRUE(TheCycleDatabase().Load());
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);
}

TEST_F(MainFrameTest, EraseAndImportRepaintTheSummaryAtOnce)
{
    StoreNovemberPeriod();
    SetToday(2026, 11, 21);
    const QString csv = TempPath(QStringLiteral("days.csv"));
    ASSERT_TRUE(TheCycleDatabase().ExportDays(csv));
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CSummaryPanel* summary = frame.SummaryPanel();
    summary->grab();
    ASSERT_EQ(summary->Items()[0]->caption, QStringLiteral("Today: Day 2"));
    const QImage before = summary->Panel()->BackBuffer();

    // No event runs between the command and the checks: what the panel paints is already new.
    MessageRecorder messages;
    messages.QueueAnswer(MessageAnswer::Yes);
    frame.OnCommand(kCmdEraseAll);
    ASSERT_TRUE(TheCycleDatabase().Records().empty());
    EXPECT_NE(summary->Items()[0]->caption, QStringLiteral("Today: Day 2"));
    EXPECT_NE(summary->Panel()->BackBuffer(), before);

    const QImage erased = summary->Panel()->BackBuffer();
    AnswerFileDialog(csv);
    messages.QueueAnswer(MessageAnswer::Ok);
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(TheCycleDatabase().Records().size(), 5u);
    EXPECT_EQ(summary->Items()[0]->caption, QStringLiteral("Today: Day 2"));
    EXPECT_NE(summary->Panel()->BackBuffer(), erased);
}

TEST_F(MainFrameTest, SummaryRowsPostTheirCommandsAndRebuildAtMidnight)
{
    StoreNovemberPeriod();
    SetToday(2026, 11, 21);
    RecordingFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CSummaryPanel* summary = frame.SummaryPanel();
    ASSERT_NE(summary, nullptr);
    summary->grab(); // paints, which builds the rows
    ASSERT_EQ(summary->ItemCount(), 9);
    EXPECT_EQ(summary->Items()[0]->caption, QStringLiteral("Today: Day 2"));

    frame.commands.clear();
    summary->ActivateItem(3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame.commands.empty()) << "the next-cycle row only highlights";
    summary->ActivateItem(8);
    QTimer::singleShot(0, &frame, [&] {
        if (CBlackDialog* page = CBlackDialog::TopPage(&frame))
            page->OnCommand(kIdCancel);
    });
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.commands, std::vector<int>{kCmdSettings});

    // Past midnight the periodic check asks for a repaint, which rebuilds the rows.
    SetToday(2026, 11, 22);
    summary->CheckDate();
    summary->grab();
    EXPECT_EQ(summary->Items()[0]->caption, QStringLiteral("Today: Day 3"));
}

TEST_F(MainFrameTest, FertilityScreensOpenFromTheMenuAndTheirSummaryRows)
{
    StoreNovemberPeriod();
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.SummaryPanel()->grab(); // paints, which builds the rows
    struct Screen
    {
        int command;
        int row;
        const char* className;
    };
    const Screen screens[] = {{kCmdConception, 1, "CConceptionProbabilityDlg"},
                              {kCmdOvulations, 2, "COvulationDlg"},
                              {kCmdDueDateCalc, 7, "CDueDateCalcDlg"}};
    for (const Screen& screen : screens) {
        EXPECT_TRUE(frame.IsCommandEnabled(screen.command)) << screen.className;
        for (const bool fromRow : {false, true}) {
            // Whichever page opens is noted and left with "Back".
            QString opened;
            QTimer closer;
            QObject::connect(&closer, &QTimer::timeout, &frame, [&] {
                if (CBlackDialog* page = CBlackDialog::TopPage(&frame)) {
                    opened = QString::fromLatin1(page->metaObject()->className());
                    page->OnCommand(kIdCancel);
                }
            });
            closer.start(5);
            if (fromRow)
                frame.SummaryPanel()->ActivateItem(screen.row);
            else
                frame.OnCommand(screen.command);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty(); }, 5000));
            EXPECT_EQ(opened, QString::fromLatin1(screen.className)) << (fromRow ? "row" : "menu");
            EXPECT_FALSE(CBlackDialog::IsPageOpen(&frame));
        }
    }
}

namespace {
/// A screen whose way out can be refused, as when its "Save changes?" question is dismissed.
class RefusingPage : public CBlackDialog
{
public:
    using CBlackDialog::CBlackDialog;
    bool mayClose = false;
    int closeAttempts = 0;

    void reject() override
    {
        ++closeAttempts;
        if (mayClose)
            CBlackDialog::reject();
    }
};
} // namespace

TEST_F(MainFrameTest, ClosingTheWindowLeavesAnOpenScreenThroughItsOwnWayOut)
{
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    RefusingPage page(0, &frame);
    bool stayedOpen = false;
    QTimer::singleShot(0, &page, [&] {
        frame.close();
        // The screen refused: the exit is cancelled.
        stayedOpen = frame.isVisible() && CBlackDialog::IsPageOpen(&frame);
        page.mayClose = true;
        frame.close();
    });
    page.RunAsPage(&frame);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(page.closeAttempts, 2);
    EXPECT_FALSE(CBlackDialog::IsPageOpen(&frame));
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame.isVisible()) << "once the screen has closed, the exit goes on";
}

TEST_F(MainFrameTest, TodayAndCalendarOpenTheirScreensOneAtATime)
{
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdToday));
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdCalendar));

    QString opened;
    bool secondDropped = false;
    QTimer::singleShot(0, &frame, [&] {
        CBlackDialog* page = CBlackDialog::TopPage(&frame);
        ASSERT_NE(page, nullptr);
        auto* editor = qobject_cast<CTodayDlg*>(page);
        opened = editor ? QStringLiteral("editor") : QStringLiteral("other");
        if (editor) {
            EXPECT_TRUE(IsSameDate(editor->CurrentDate(), Today()));
        }
        // While a screen is open, other commands are dropped.
        frame.OnCommand(kCmdCalendar);
        secondDropped = CBlackDialog::TopPage(&frame) == page;
        page->reject(); // "Back" without changes asks nothing
    });
    frame.OnCommand(kCmdToday);
    EXPECT_EQ(opened, QStringLiteral("editor"));
    EXPECT_TRUE(secondDropped);
    EXPECT_FALSE(CBlackDialog::IsPageOpen(&frame));

    QTimer::singleShot(0, &frame, [&] {
        CBlackDialog* page = CBlackDialog::TopPage(&frame);
        ASSERT_NE(page, nullptr);
        opened = qobject_cast<CCalendarDlg*>(page) ? QStringLiteral("calendar") : QStringLiteral("other");
        page->reject();
    });
    frame.OnCommand(kCmdCalendar);
    EXPECT_EQ(opened, QStringLiteral("calendar"));
    EXPECT_FALSE(CBlackDialog::IsPageOpen(&frame));
}

TEST_F(MainFrameTest, ClosingTheWindowOverChangedDayAsksAndCancelKeepsWindowEditorAndEdits)
{
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    MessageRecorder messages;
    QTimer::singleShot(0, &frame, [&] {
        auto* editor = qobject_cast<CTodayDlg*>(CBlackDialog::TopPage(&frame));
        ASSERT_NE(editor, nullptr);
        editor->OnCommand(kIdcTodayBleeding);
        auto stillOpen = [&] {
            EXPECT_TRUE(frame.isVisible());
            EXPECT_EQ(CBlackDialog::TopPage(&frame), editor);
            EXPECT_EQ(editor->Level(), Slight);
            EXPECT_TRUE(TheCycleDatabase().Records().empty());
        };
        // Cancel (also what Escape and closing the question give) goes back to the edits.
        messages.QueueAnswer(MessageAnswer::Cancel);
        frame.close();
        QCoreApplication::processEvents();
        stillOpen();
        // Closing the window again while the question is open does not end anything either.
        messages.SetObserver([&](const MessageRecorder::Message&) { frame.close(); });
        messages.QueueAnswer(MessageAnswer::Cancel);
        frame.close();
        QCoreApplication::processEvents();
        stillOpen();
        messages.SetObserver({});
        // Save stores the day, and then the window closes.
        messages.QueueAnswer(MessageAnswer::Save);
        frame.close();
    });
    frame.OnCommand(kCmdToday);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.Texts(), QStringList(3, QStringLiteral("Save changes?")));
    EXPECT_FALSE(frame.isVisible());
    ASSERT_EQ(TheCycleDatabase().Records().size(), 1u);
    EXPECT_EQ(LevelOf(TheCycleDatabase().Records()[0]), Slight);
}

TEST_F(MainFrameTest, SettingsOpenFromTheMenuAndTheirRowAndANewThemeShowsAtOnce)
{
    StoreNovemberPeriod();
    TheAppSettings().selectedTheme = 0;
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CSummaryPanel* summary = frame.SummaryPanel();
    const QImage before = summary->grab().toImage();
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdSettings));

    // Menu, Tools, "&Settings...": a new theme chosen with OK.
    QMenu* menu = frame.CommandBar()->Popup(SoftKeyBar::Side::Right);
    ASSERT_NE(menu, nullptr);
    QMenu* tools = menu->actions()[0]->menu();
    ASSERT_NE(tools, nullptr);
    frame.CommandBar()->UpdateMenuState(menu);
    QAction* settingsEntry = nullptr;
    for (QAction* action : tools->actions()) {
        if (action->data().toInt() == kCmdSettings)
            settingsEntry = action;
    }
    ASSERT_NE(settingsEntry, nullptr);
    EXPECT_EQ(settingsEntry->text(), QStringLiteral("&Settings..."));
    EXPECT_TRUE(settingsEntry->isEnabled());
    bool opened = false;
    QTimer::singleShot(0, &frame, [&] {
        auto* settings = qobject_cast<CSettingsDlg*>(CBlackDialog::TopPage(&frame));
        ASSERT_NE(settings, nullptr);
        opened = true;
        settings->ControlAs<QComboBox>(kIdcSettingsTheme)->setCurrentIndex(3);
        settings->OnCommand(kIdOk);
    });
    settingsEntry->trigger();
    ASSERT_TRUE(opened);
    EXPECT_FALSE(CBlackDialog::IsPageOpen(&frame));
    EXPECT_EQ(TheAppSettings().selectedTheme, 3);

    // Everything already shows the new theme, as a frame made now in it does.
    const QImage after = summary->grab().toImage();
    EXPECT_NE(after, before);
    CMainFrame fresh;
    fresh.resize(frame.size());
    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    // The rows may have been scrolled by the keys that opened the menu: compare at the top.
    summary->ScrollBy(-summary->Offset());
    fresh.SummaryPanel()->ScrollBy(-fresh.SummaryPanel()->Offset());
    EXPECT_EQ(summary->grab().toImage(), fresh.SummaryPanel()->grab().toImage());
    EXPECT_EQ(frame.CommandBar()->palette().color(QPalette::Window),
              fresh.CommandBar()->palette().color(QPalette::Window));

    // The summary's last row opens the same screen.
    summary->grab();
    opened = false;
    summary->ActivateItem(8); // posts the command: the page opens once events are processed
    QTimer::singleShot(0, &frame, [&] {
        auto* settings = qobject_cast<CSettingsDlg*>(CBlackDialog::TopPage(&frame));
        opened = settings != nullptr;
        if (settings)
            settings->OnCommand(kIdCancel);
    });
    QCoreApplication::processEvents();
    EXPECT_TRUE(opened);
    TheAppSettings().selectedTheme = 0;
}

TEST_F(MainFrameTest, HistoryAndStatisticsOpenFromTheMenuAndTheSummary)
{
    StoreNovemberPeriod();
    RecordingFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdHistory));
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdStatistics));

    QStringList opened;
    // Closes the page as soon as one is open; a posted command opens it a little later.
    std::function<void()> closeTopPage = [&] {
        CBlackDialog* page = CBlackDialog::TopPage(&frame);
        if (!page) {
            QTimer::singleShot(1, &frame, closeTopPage);
            return;
        }
        opened << (qobject_cast<CHistoryDialog*>(page)   ? QStringLiteral("history")
                   : qobject_cast<CStatisticsDlg*>(page) ? QStringLiteral("statistics")
                                                         : QStringLiteral("other"));
        page->reject();
    };
    QTimer::singleShot(0, &frame, closeTopPage);
    frame.OnCommand(kCmdHistory);
    QTimer::singleShot(0, &frame, closeTopPage);
    frame.OnCommand(kCmdStatistics);

    // Summary rows 5 and 6 post the same commands.
    CSummaryPanel* summary = frame.SummaryPanel();
    summary->grab();
    QTimer::singleShot(0, &frame, closeTopPage);
    summary->ActivateItem(5);
    QTest::qWait(20);
    QTimer::singleShot(0, &frame, closeTopPage);
    summary->ActivateItem(6);
    QTest::qWait(20);
    EXPECT_EQ(opened, (QStringList{QStringLiteral("history"), QStringLiteral("statistics"), QStringLiteral("history"),
                                   QStringLiteral("statistics")}));
    EXPECT_FALSE(CBlackDialog::IsPageOpen(&frame));
}

TEST_F(MainFrameTest, BothExportsStartWhereTheLastFileWasChosen)
{
    StoreNovemberPeriod();
    RememberCsvFolder(QString());
    QStringList folders;
    QStringList suggested;
    const QString elsewhere = TempPath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    SetFileDialogHandler([&](FileDialogKind, QWidget*, const QString&, const QString& folder, const QString& name) {
        folders << QDir(folder).absolutePath();
        suggested << name;
        return QDir(elsewhere).filePath(name);
    });
    MessageRecorder messages;
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.OnCommand(kCmdExport);
    CHistoryDialog history(&frame);
    QTimer::singleShot(0, &history, [&] {
        history.OnCommand(kCmdHistoryExport);
        history.reject();
    });
    history.RunAsPage(&frame);
    RememberCsvFolder(QString());
    EXPECT_EQ(folders, (QStringList{QDir(DocumentsPath()).absolutePath(), QDir(elsewhere).absolutePath()}));
    EXPECT_EQ(suggested, (QStringList{QStringLiteral("Velumina-days-2026-12-06.csv"),
                                      QStringLiteral("Velumina-cycles-2026-12-06.csv")}));
    EXPECT_EQ(messages.Texts(),
              (QStringList{QStringLiteral("Exported 5 days to %1.")
                               .arg(QDir::toNativeSeparators(QDir(elsewhere).filePath(suggested[0]))),
                           QStringLiteral("Exported 1 cycle to %1.")
                               .arg(QDir::toNativeSeparators(QDir(elsewhere).filePath(suggested[1])))}));
}
