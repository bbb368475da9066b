#include "TestSupport.h"

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
#include "ui/screens/CHistoryDialog.h"
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

    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(TempPath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    void AnswerFileDialog(const QString& path)
    {
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
                EXPECT_EQ(page->geometry(), frame.rect()) << "the welcome covers the main window";
                auto* picker = page->ControlAs<CheckedDateEdit>(kIdcWelcomeLastCycle);
                ASSERT_NE(picker, nullptr);
                picker->SetHasDate(true);
                picker->SetDate(QDate(2026, 11, 20));
                page->OnCommand(kIdOk);
            });
        EXPECT_EQ(opened, QStringLiteral("CWelcomeDlg"));
        EXPECT_EQ(std::count(frame.commands.begin(), frame.commands.end(), kCmdWelcome), 1);
        EXPECT_TRUE(messages.Messages().empty());
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
    EXPECT_FALSE(frame.IsCommandEnabled(kCmdEraseAll));
    EXPECT_FALSE(frame.IsCommandEnabled(kCmdExport));
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdImport));
    StoreNovemberPeriod();
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdEraseAll));
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdExport));
    SetToday(2026, 11, 21);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ASSERT_EQ(Captions(frame).value(0), QStringLiteral("Today: Day 2"));
    const QImage before = frame.SummaryPanel()->Panel()->BackBuffer();
    const QByteArray stored = FileBytes(GetDataFilePath());
    ASSERT_FALSE(stored.isEmpty());

    MessageRecorder messages;
    messages.QueueAnswer(MessageAnswer::No);
    frame.OnCommand(kCmdEraseAll);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Texts().front(), QStringLiteral("WARNING: This will delete all the stored data.\n"
                                                       "This operation cannot be undone.\nContinue?"));
    EXPECT_EQ(messages.Messages().front().defaultAnswer, MessageAnswer::No) << "Enter answers No";
    EXPECT_EQ(FileBytes(GetDataFilePath()), stored);
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);

    // A documents folder below a plain file cannot take the data file: every day stays.
    QFile blocker(TempPath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    SetDocumentsFolderForTesting(TempPath(QStringLiteral("blocker/documents")));
    messages.Clear();
    messages.QueueAnswer(MessageAnswer::Yes);
    frame.OnCommand(kCmdEraseAll);
    EXPECT_EQ(messages.Texts().back(), QStringLiteral("Failed to erase data. No day was deleted."));
    EXPECT_EQ(TheCycleDatabase().Records().size(), 5u) << "the program keeps what the file keeps";
    EXPECT_TRUE(frame.IsCommandEnabled(kCmdEraseAll));
    SetDocumentsFolderForTesting(DocumentsPath());
    EXPECT_EQ(FileBytes(GetDataFilePath()), stored);

    // No event runs between the command and the checks: what the panel paints is already new.
    messages.QueueAnswer(MessageAnswer::Yes);
    frame.OnCommand(kCmdEraseAll);
    EXPECT_TRUE(TheCycleDatabase().Records().empty());
    EXPECT_EQ(FileBytes(GetDataFilePath()).size(), 8) << "an empty data file is its header";
    EXPECT_NE(frame.SummaryPanel()->Items()[0]->caption, QStringLiteral("Today: Day 2"));
    EXPECT_NE(frame.SummaryPanel()->Panel()->BackBuffer(), before);
}

TEST_F(MainFrameTest, ExportAndImportThroughTheirDialogs)
{
    StoreNovemberPeriod();
    CMainFrame frame;
    MessageRecorder messages;
    SetFileDialogHandler(
        [](FileDialogKind, QWidget*, const QString&, const QString&, const QString&) { return QString(); });
    frame.OnCommand(kCmdExport);
    EXPECT_TRUE(messages.Messages().empty()) << "a cancelled dialog shows nothing";
    const QString csv = TempPath(QStringLiteral("days.csv"));
    AnswerFileDialog(csv);
    frame.OnCommand(kCmdExport);
    ASSERT_TRUE(QFile::exists(csv));

    // Export never overwrites the data file itself.
    messages.Clear();
    const QByteArray data = FileBytes(GetDataFilePath());
    AnswerFileDialog(GetDataFilePath());
    frame.OnCommand(kCmdExport);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_FALSE(messages.Texts().front().startsWith(QStringLiteral("Exported")));
    EXPECT_EQ(FileBytes(GetDataFilePath()), data);

    // With the data file encrypted, an export says first that it is plain text.
    messages.Clear();
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
    EXPECT_EQ(messages.Texts().back(), QStringLiteral("Exported 5 days to %1.").arg(QDir::toNativeSeparators(plain)));
    EXPECT_EQ(FileBytes(plain), FileBytes(csv));
    ASSERT_TRUE(DataProtection::SwitchOff(QStringLiteral("secret"), error));

    // Importing over stored days asks first; Cancel changes nothing.
    messages.Clear();
    TheCycleDatabase().SetDay(Day(Date(2026, 12, 1), Slight));
    AnswerFileDialog(csv);
    messages.QueueAnswer(MessageAnswer::Cancel);
    frame.OnCommand(kCmdImport);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(messages.Texts().front().startsWith(
        QStringLiteral("5 days from a Velumina day file, 20 Nov 2026 to 24 Nov 2026.\n\nYou have 6 days stored, and 5 "
                       "dates are in both.")))
        << messages.Texts().front().toStdString();
    EXPECT_EQ(messages.Messages().front().buttons, MessageButtons::AddReplaceCancel);
    EXPECT_EQ(messages.Messages().front().defaultAnswer, MessageAnswer::Add) << "Enter loses nothing";
    EXPECT_EQ(TheCycleDatabase().Records().size(), 6u);
}

TEST_F(MainFrameTest, AddKeepsHerDaysReplaceTakesTheFilesAndTheSummaryIsNewBeforeTheMessage)
{
    StoreNovemberPeriod();
    SetToday(2026, 11, 21);
    const QString sheet = WriteFile(QStringLiteral("sheet.csv"),
                                    "Date,Bleeding,Note\r\n2026-11-19,heavy,\r\n2026-11-20,spotting,theirs\r\n");
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
    // Nothing to import, or a file in no known form: refused, and nothing asked or replaced.
    for (const auto& [bytes, refusal] :
         {std::pair{QByteArray(), "This file holds no days; nothing was imported."},
          std::pair{QByteArray("not a day file\n"), "This file is in no form Velumina knows"}}) {
        messages.Clear();
        AnswerFileDialog(WriteFile(QStringLiteral("refused.csv"), bytes));
        frame.OnCommand(kCmdImport);
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_TRUE(messages.Texts()[0].startsWith(QString::fromLatin1(refusal))) << messages.Texts()[0].toStdString();
        EXPECT_EQ(TheCycleDatabase().Records().size(), 5u);
    }

    // Read up to a blank line: the preview says so before anything changes.
    messages.Clear();
    const QString cut = QStringLiteral("2026-12-01;3\r\n2026-12-02;2\r\n\r\n2026-12-03;1\r\n");
    AnswerFileDialog(
        WriteFile(QStringLiteral("cut.csv"), QByteArray(reinterpret_cast<const char*>(cut.utf16()), 2 * cut.size())));
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

TEST_F(MainFrameTest, EveryScreenOpensFromItsCommandAndItsSummaryRowOneAtATime)
{
    StoreNovemberPeriod();
    SetToday(2026, 11, 21);
    RecordingFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ASSERT_EQ(Captions(frame).size(), 9);
    const struct
    {
        int command;
        int row;
        QString page;
    } screens[] = {
        {kCmdToday, 0, QStringLiteral("CTodayDlg")},
        {kCmdConception, 1, QStringLiteral("CConceptionProbabilityDlg")},
        {kCmdOvulations, 2, QStringLiteral("COvulationDlg")},
        {kCmdCalendar, 4, QStringLiteral("CCalendarDlg")},
        {kCmdHistory, 5, QStringLiteral("CHistoryDialog")},
        {kCmdStatistics, 6, QStringLiteral("CStatisticsDlg")},
        {kCmdDueDateCalc, 7, QStringLiteral("CDueDateCalcDlg")},
        {kCmdSettings, 8, QStringLiteral("CSettingsDlg")},
    };
    for (const auto& screen : screens) {
        SCOPED_TRACE(screen.page.toStdString());
        EXPECT_TRUE(frame.IsCommandEnabled(screen.command));
        // While a screen is open, other commands are dropped.
        const auto otherIsDropped = [&](CBlackDialog* page) {
            frame.OnCommand(screen.command == kCmdCalendar ? kCmdToday : kCmdCalendar);
            EXPECT_EQ(CBlackDialog::TopPage(&frame), page);
            if (auto* editor = qobject_cast<CTodayDlg*>(page)) {
                EXPECT_TRUE(IsSameDate(editor->CurrentDate(), Today())) << "the editor opens on today";
            }
        };
        EXPECT_EQ(PageOpenedBy(
                      frame, [&] { frame.OnCommand(screen.command); }, otherIsDropped),
                  screen.page);
        frame.commands.clear();
        EXPECT_EQ(PageOpenedBy(frame, [&] { frame.SummaryPanel()->ActivateItem(screen.row); }), screen.page);
        EXPECT_EQ(frame.commands, std::vector<int>{screen.command});
    }
    frame.commands.clear();
    frame.SummaryPanel()->ActivateItem(3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(frame.commands.empty()) << "the next-cycle row only highlights";

    // Past midnight the periodic check asks for a repaint, which rebuilds the rows.
    EXPECT_EQ(Captions(frame).value(0), QStringLiteral("Today: Day 2"));
    SetToday(2026, 11, 22);
    frame.SummaryPanel()->CheckDate();
    EXPECT_EQ(Captions(frame).value(0), QStringLiteral("Today: Day 3"));
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

TEST_F(MainFrameTest, TheSettingsMenuEntryOpensThemAndANewThemeShowsAtOnce)
{
    StoreNovemberPeriod();
    TheAppSettings().selectedTheme = 0;
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CSummaryPanel* summary = frame.SummaryPanel();
    const QImage before = summary->grab().toImage();

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
    const QString opened = PageOpenedBy(
        frame, [&] { settingsEntry->trigger(); },
        [](CBlackDialog* page) {
            page->ControlAs<QComboBox>(kIdcSettingsTheme)->setCurrentIndex(3);
            page->OnCommand(kIdOk);
        });
    EXPECT_EQ(opened, QStringLiteral("CSettingsDlg"));
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

    TheAppSettings().selectedTheme = 0;
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
