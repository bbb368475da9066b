#include "TestSupport.h"

#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/FileDialogs.h"
#include "resources/ResourceIds.h"
#include "storage/DataFile.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/CStatisticsDlg.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/toolkit/CBlackDialog.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/CsvExportFlow.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {
QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    {
        RecordingFrame frame;
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 1);
    }
    StoreNovemberPeriod();
    RecordingFrame frame;
    QCoreApplication::processEvents();
    EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 0);
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
        EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Done.")});
        EXPECT_TRUE(QFile::exists(csv));
    }
    {
        // Export never overwrites the data file itself.
        MessageRecorder messages;
        const QByteArray data = FileBytes(GetDataFilePath());
        AnswerFileDialog(GetDataFilePath());
        frame.OnCommand(kCmdExport);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_NE(messages.Texts().front(), QStringLiteral("Done."));
        EXPECT_EQ(FileBytes(GetDataFilePath()), data);
    }
    {
        // Importing over stored days asks first; No changes nothing.
        MessageRecorder messages;
        TheCycleDatabase().SetDay(Day(Date(2026, 12, 1), Slight));
        AnswerFileDialog(csv);
        messages.QueueAnswer(MessageAnswer::No);
        frame.OnCommand(kCmdImport);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Texts().front(), QStringLiteral("Importing replaces all 6 stored days with the 5 days of "
                                                           "this file. This cannot be undone. Continue?"));
        EXPECT_EQ(TheCycleDatabase().Records().size(), 6u);
        messages.Clear();
        messages.QueueAnswer(MessageAnswer::Yes);
        frame.OnCommand(kCmdImport);
        EXPECT_EQ(messages.Texts().back(), QStringLiteral("Done."));
        EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);
    }
    {
        // A file that is no day file fails and changes nothing.
        MessageRecorder messages;
        const QString bad = TempPath(QStringLiteral("bad.csv"));
        QFile file(bad);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a day file\n");
        file.close();
        AnswerFileDialog(bad);
        frame.OnCommand(kCmdImport);
        ASSERT_FALSE(messages.Messages().empty());
        EXPECT_EQ(messages.Texts().back(), QStringLiteral("Failed to import data."));
        EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);
    }
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
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.commands, std::vector<int>{kCmdSettings});

    // Past midnight the periodic check asks for a repaint, which rebuilds the rows.
    SetToday(2026, 11, 22);
    summary->CheckDate();
    summary->grab();
    EXPECT_EQ(summary->Items()[0]->caption, QStringLiteral("Today: Day 3"));
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
        opened << (qobject_cast<CHistoryDialog*>(page)      ? QStringLiteral("history")
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
    EXPECT_EQ(messages.Texts(), (QStringList{QStringLiteral("Done."), QStringLiteral("Done.")}));
}
