#include "TestSupport.h"

#include "app/CMainFrame.h"
#include "model/CycleDatabase.h"
#include "platform/DocumentsFolder.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/CheckedDateEdit.h"
#include "platform/gui/FileDialogs.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/DataProtection.h"
#include "storage/DataFile.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/toolkit/CBlackDialog.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 11, 20), 5)));
        ASSERT_TRUE(TheCycleDatabase().Save());
    }

    // Runs `open` and returns the class of the page it opened; `whileOpen` acts on that page,
    // which is then left with "Back" if it is still open.
    static QString PageOpenedBy(CMainFrame& frame,
                                const std::function<void()>& open,
                                const std::function<void(CBlackDialog*)>& whileOpen = {})
    {
        QString opened;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, &frame, [&] {
            CBlackDialog* page = CBlackDialog::TopPage(&frame);
            if (!page || !opened.isEmpty())
                return;
            opened = QString::fromLatin1(page->metaObject()->className());
            if (whileOpen)
                whileOpen(page);
            if (CBlackDialog::TopPage(&frame) == page && page->isVisible())
                page->reject();
        });
        closer.start(5);
        open();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty() && !CBlackDialog::IsPageOpen(&frame); }, 5000));
        return opened;
    }

    // The summary's row captions, as painted now.
    static QStringList Captions(CMainFrame& frame)
    {
        frame.SummaryPanel()->grab();
        QStringList captions;
        for (const auto& item : frame.SummaryPanel()->Items())
            captions << item->caption;
        return captions;
    }

    static void ShowFrame(CMainFrame& frame)
    {
        frame.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }

    // Writes `bytes` to a file named `name` and has the file dialog choose it.
    void ChooseFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = TempPath(name);
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        SetFileDialogHandler(
            [path](FileDialogKind, QWidget*, const QString&, const QString&, const QString&) { return path; });
    }
};

TEST_F(MainFrameTest, TheWelcomeOpensOnlyOverNoDaysAndWhatItSavesShowsAtOnce)
{
    ASSERT_TRUE(TheAppSettings().SetWelcomeDismissed(false));
    MessageRecorder messages;
    {
        RecordingFrame frame;
        const QString opened = PageOpenedBy(
            frame, [&] { frame.show(); },
            [&](CBlackDialog* page) {
                auto* picker = page->ControlAs<CheckedDateEdit>(kIdcWelcomeLastCycle);
                ASSERT_NE(picker, nullptr);
                picker->SetHasDate(true);
                picker->SetDate(QDate(2026, 11, 20));
                page->OnCommand(kIdOk);
            });
        EXPECT_EQ(opened, QStringLiteral("CWelcomeDlg"));
        EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 1);
        ASSERT_EQ(TheCycleDatabase().Records().size(), 1u);
        const QStringList captions = Captions(frame);
        EXPECT_EQ(captions.value(0), QStringLiteral("Today: Day 17"));
        EXPECT_TRUE(captions.contains(QStringLiteral("Next Cycle: in 12 Days"))) << captions.join(u'|').toStdString();
    }
    // With days stored, or asked not to be greeted again, she is not.
    for (const bool dismissed : {false, true}) {
        ASSERT_TRUE(TheAppSettings().SetWelcomeDismissed(dismissed));
        if (dismissed)
            TheCycleDatabase().Reset();
        RecordingFrame frame;
        QCoreApplication::processEvents();
        EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 0) << dismissed;
    }
}

TEST_F(MainFrameTest, EraseIsGreyedWithoutDaysAsksAndOnlyASavedYesEmptiesTheSummaryAndTheFile)
{
    CMainFrame frame;
    for (const bool stored : {false, true}) {
        if (stored)
            StoreNovemberPeriod();
        EXPECT_EQ(frame.IsCommandEnabled(kCmdEraseAll), stored);
        EXPECT_EQ(frame.IsCommandEnabled(kCmdExport), stored);
        EXPECT_TRUE(frame.IsCommandEnabled(kCmdImport));
    }
    SetToday(2026, 11, 21);
    ShowFrame(frame);
    ASSERT_EQ(Captions(frame).value(0), QStringLiteral("Today: Day 2"));
    const QByteArray stored = FileBytes(GetDataFilePath());

    MessageRecorder messages;
    messages.QueueAnswer(MessageAnswer::No);
    frame.OnCommand(kCmdEraseAll);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Texts().front(), QStringLiteral("WARNING: This will delete all the stored data.\n"
                                                       "This operation cannot be undone.\nContinue?"));
    EXPECT_EQ(messages.Messages().front().defaultAnswer, MessageAnswer::No) << "Enter answers No";
    EXPECT_EQ(FileBytes(GetDataFilePath()), stored);
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);

    // A documents folder that cannot take the data file: every day stays.
    BlockDocumentsFolder();
    messages.QueueAnswer(MessageAnswer::Yes);
    frame.OnCommand(kCmdEraseAll);
    EXPECT_EQ(messages.Texts().back(), QStringLiteral("Failed to erase data. No day was deleted."));
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u) << "the program keeps what the file keeps";
    SetDocumentsFolderForTesting(DocumentsPath());
    EXPECT_EQ(FileBytes(GetDataFilePath()), stored);

    // No event runs between the command and the checks: what the panel paints is already new.
    messages.QueueAnswer(MessageAnswer::Yes);
    frame.OnCommand(kCmdEraseAll);
    EXPECT_TRUE(TheCycleDatabase().Records().empty());
    EXPECT_EQ(FileBytes(GetDataFilePath()).size(), 8) << "an empty data file is its header";
    EXPECT_NE(frame.SummaryPanel()->Items()[0]->caption, QStringLiteral("Today: Day 2"));
}

TEST_F(MainFrameTest, ExportWritesHerDaysUnderADatedNameAndWarnsFirstWhenTheDataIsEncrypted)
{
    StoreNovemberPeriod();
    QString answer = TempPath(QStringLiteral("plain.csv"));
    SetFileDialogHandler([&](FileDialogKind, QWidget*, const QString&, const QString&, const QString& name) {
        EXPECT_EQ(name, QStringLiteral("Velumina-days-2026-12-06.csv"));
        return answer;
    });
    MessageRecorder messages;
    CMainFrame frame;
    frame.OnCommand(kCmdExport);
    EXPECT_EQ(messages.Texts(),
              QStringList{QStringLiteral("Exported 5 days to %1.").arg(QDir::toNativeSeparators(answer))});
    const QByteArray exported = FileBytes(answer);
    ASSERT_FALSE(exported.isEmpty());

    // With the data file encrypted, an export says first that it is plain text.
    QString error;
    ASSERT_TRUE(DataProtection::SetPassword(QStringLiteral("secret"), error));
    answer = TempPath(QStringLiteral("sealed.csv"));
    for (const MessageAnswer choice : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        messages.Clear();
        messages.QueueAnswer(choice);
        frame.OnCommand(kCmdExport);
        ASSERT_FALSE(messages.Texts().isEmpty());
        EXPECT_TRUE(messages.Texts()[0].contains(QStringLiteral("the exported file will be plain text")));
        EXPECT_EQ(FileBytes(answer), choice == MessageAnswer::Ok ? exported : QByteArray());
    }
    EXPECT_EQ(messages.Texts().back(), QStringLiteral("Exported 5 days to %1.").arg(QDir::toNativeSeparators(answer)));
    ASSERT_TRUE(DataProtection::SwitchOff(QStringLiteral("secret"), error));
}

TEST_F(MainFrameTest, ImportAsksFirstAddKeepsHerDaysReplaceTakesTheFilesAndTheSummaryIsNewBeforeTheMessage)
{
    StoreNovemberPeriod();
    SetToday(2026, 11, 21);
    CMainFrame frame;
    ShowFrame(frame);
    MessageRecorder messages;
    ChooseFile(QStringLiteral("refused.csv"), QByteArray());
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("This file holds no days; nothing was imported.")));

    ChooseFile(QStringLiteral("sheet.csv"),
               "Date,Bleeding,Note\r\n2026-11-19,heavy,\r\n2026-11-20,spotting,theirs\r\n");
    QStringList captionsAtMessages;
    messages.SetObserver(
        [&](const MessageRecorder::Message&) { captionsAtMessages << frame.SummaryPanel()->Items()[0]->caption; });
    const struct
    {
        MessageAnswer answer;
        bool blocked; ///< the data file cannot be saved
        QString done;
        size_t records;
    } imports[] = {
        {MessageAnswer::Cancel, false, QString(), 5},
        {MessageAnswer::Add, false,
         QStringLiteral("Imported 1 day. 1 date was already stored; your own record stayed there."), 6},
        {MessageAnswer::Replace, true, QStringLiteral("Failed to import data. Your days are as they were."), 6},
        {MessageAnswer::Replace, false, QStringLiteral("Imported 2 days."), 2},
    };
    for (const auto& import : imports) {
        SCOPED_TRACE(import.done.toStdString());
        messages.Clear();
        captionsAtMessages.clear();
        if (import.blocked)
            BlockDocumentsFolder();
        messages.QueueAnswer(import.answer);
        frame.OnCommand(kCmdImport);
        SetDocumentsFolderForTesting(DocumentsPath());
        // Question, the reason a save failed, the outcome.
        ASSERT_EQ(messages.Messages().size(), import.done.isEmpty() ? 1u : import.blocked ? 3u : 2u);
        EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("2 days from a spreadsheet file")));
        EXPECT_EQ(messages.Messages()[0].buttons, MessageButtons::AddReplaceCancel);
        EXPECT_EQ(messages.Messages()[0].defaultAnswer, MessageAnswer::Add) << "Enter loses nothing";
        EXPECT_EQ(import.done.isEmpty() ? QString() : messages.Texts().back(), import.done);
        EXPECT_EQ(TheCycleDatabase().Records().size(), import.records);
        if (import.answer == MessageAnswer::Add) {
            EXPECT_EQ(captionsAtMessages,
                      (QStringList{QStringLiteral("Today: Day 2"), QStringLiteral("Today: Day 3")}));
            EXPECT_EQ(LevelOf(TheCycleDatabase().Records()[1]), Heavy) << "her own record of 20 November stays";
        }
    }
    EXPECT_EQ(TheCycleDatabase().Records()[1].note, QStringLiteral("theirs"));
    // The data file holds what the program shows.
    ASSERT_TRUE(ReloadCycleDatabase());
    EXPECT_EQ(TheCycleDatabase().Records().size(), 2u);

    // With nothing stored there is nothing to add to or replace; a file read in part says so.
    messages.Clear();
    messages.SetObserver({});
    TheCycleDatabase().Reset();
    const QString cut = QStringLiteral("2026-12-01;3\r\n2026-12-02;2\r\n\r\n2026-12-03;1\r\n");
    ChooseFile(QStringLiteral("cut.csv"), QByteArray(reinterpret_cast<const char*>(cut.utf16()), 2 * cut.size()));
    messages.QueueAnswer(MessageAnswer::Ok);
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(messages.Messages().size(), 2u);
    EXPECT_TRUE(messages.Texts()[0].contains(QStringLiteral("could be read only up to line 2: line 3 is blank")));
    EXPECT_EQ(messages.Messages()[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(messages.Texts()[1], QStringLiteral("Imported 2 days."));
    EXPECT_EQ(TheCycleDatabase().Records().size(), 2u);
}

TEST_F(MainFrameTest, EveryScreenOpensFromItsCommandOneAtATimeAndFromItsSummaryRow)
{
    StoreNovemberPeriod();
    RecordingFrame frame;
    ShowFrame(frame);
    const struct
    {
        int command;
        QString page;
    } screens[] = {
        {kCmdToday, QStringLiteral("CTodayDlg")},
        {kCmdConception, QStringLiteral("CConceptionProbabilityDlg")},
        {kCmdOvulations, QStringLiteral("COvulationDlg")},
        {kCmdCalendar, QStringLiteral("CCalendarDlg")},
        {kCmdHistory, QStringLiteral("CHistoryDialog")},
        {kCmdStatistics, QStringLiteral("CStatisticsDlg")},
        {kCmdDueDateCalc, QStringLiteral("CDueDateCalcDlg")},
        {kCmdSettings, QStringLiteral("CSettingsDlg")},
    };
    for (const auto& screen : screens) {
        SCOPED_TRACE(screen.page.toStdString());
        EXPECT_TRUE(frame.IsCommandEnabled(screen.command));
        // While a screen is open, other commands are dropped.
        const auto otherIsDropped = [&](CBlackDialog* page) {
            frame.OnCommand(screen.command == kCmdCalendar ? kCmdToday : kCmdCalendar);
            EXPECT_EQ(CBlackDialog::TopPage(&frame), page);
        };
        EXPECT_EQ(PageOpenedBy(
                      frame, [&] { frame.OnCommand(screen.command); }, otherIsDropped),
                  screen.page);
    }
    // The rows post their commands (which row gives which is the panel's own test).
    frame.commands.clear();
    EXPECT_EQ(PageOpenedBy(frame, [&] { frame.SummaryPanel()->ActivateItem(5); }), QStringLiteral("CHistoryDialog"));
    EXPECT_EQ(frame.commands, std::vector<int>{kCmdHistory});
}

TEST_F(MainFrameTest, ClosingTheWindowOverChangedDayAsksAndCancelKeepsWindowEditorAndEdits)
{
    CMainFrame frame;
    ShowFrame(frame);
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
