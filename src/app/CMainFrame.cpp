#include "app/CMainFrame.h"

#include "app/WindowPlacement.h"
#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "platform/gui/FileDialogs.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/SettingsAccess.h"
#include "storage/CsvExchange.h"
#include "storage/DataFile.h"
#include "storage/DayImporter.h"
#include "storage/ImportChoice.h"
#include "storage/SpreadsheetExport.h"
#include "storage/LiveCalendarFile.h"
#include "ui/screens/CAboutDlg.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/CConceptionProbabilityDlg.h"
#include "ui/screens/CDueDateCalcDlg.h"
#include "ui/screens/CExportCalendarDlg.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/COvulationDlg.h"
#include "ui/screens/CSettingsDlg.h"
#include "ui/screens/CStatisticsDlg.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/screens/CWelcomeDlg.h"
#include "ui/toolkit/CBlackDialog.h"
#include "ui/toolkit/CsvExportFlow.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kWindowSection = QStringLiteral("Window");
const QString kGeometryName = QStringLiteral("Geometry");
// How often the calendar file checks whether a new day has begun.
constexpr int kNewDayCheckMs = 60 * 1000;
} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QWidget(parent), m_summary(nullptr), m_commandBar(nullptr), m_altPressedAlone(false)
{
    setWindowTitle(QStringLiteral("Velumina"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/velumina-256.png")));
    setObjectName(QStringLiteral("MainFrame"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_summary = new CSummaryPanel(this);
    layout->addWidget(m_summary, 1);
    m_commandBar = SoftKeyBar::Create(kMenuMainFrame, this);
    if (m_commandBar) {
        layout->addWidget(m_commandBar);
        m_commandBar->SetCommandEnabler([this](int command) { return IsCommandEnabled(command); });
        connect(m_commandBar, &SoftKeyBar::commandTriggered, this, &CMainFrame::OnCommand);
    }
    connect(m_summary, &CSummaryPanel::commandPosted, this, &CMainFrame::OnCommand);

    ApplyThemedPalette(this);
    PlaceOnScreen();

    // A first start (or the first after erasing) offers the welcome screen once the loop runs,
    // unless she asked not to see it again.
    if (TheCycleDatabase().Records().empty() && !TheAppSettings().IsWelcomeDismissed()) {
        QMetaObject::invokeMethod(
            this, [this] { OnCommand(kCmdWelcome); }, Qt::QueuedConnection);
    }
    m_summary->setFocus();

    // The frame exists once her data are loaded: from now on the calendar file follows them,
    // and a new day (a late period moves) rewrites it.
    LiveCalendarFile::Start();
    auto* newDay = new QTimer(this);
    connect(newDay, &QTimer::timeout, this, [] { LiveCalendarFile::FollowNewDay(); });
    newDay->start(kNewDayCheckMs);
}

CMainFrame::~CMainFrame()
{
    LiveCalendarFile::Stop();
}

CSummaryPanel* CMainFrame::SummaryPanel() const
{
    return m_summary;
}

SoftKeyBar* CMainFrame::CommandBar() const
{
    return m_commandBar;
}

bool CMainFrame::IsCommandEnabled(int command) const
{
    switch (command) {
    case kCmdEraseAll:
    case kCmdExport:
    case kCmdExportSpreadsheet:
    case kCmdExportCalendar:
        return !TheCycleDatabase().Records().empty();
    case kCmdToday:
    case kCmdCalendar:
    case kCmdConception:
    case kCmdOvulations:
    case kCmdDueDateCalc:
    case kCmdSettings:
    case kCmdHistory:
    case kCmdStatistics:
    case kCmdImport:
    case kCmdWelcome:
    case kCmdAppAbout:
    case kCmdExit:
        return true;
    default:
        // Screens not built yet are greyed.
        return false;
    }
}

void CMainFrame::OnCommand(int command)
{
    // One screen at a time: commands that arrive while a page is open are dropped.
    if (CBlackDialog::IsPageOpen(this))
        return;
    switch (command) {
    case kCmdToday: {
        CTodayDlg editor(this);
        editor.RunAsPage(this);
        break;
    }
    case kCmdCalendar: {
        CCalendarDlg calendar(this);
        calendar.RunAsPage(this);
        break;
    }
    case kCmdConception: {
        CConceptionProbabilityDlg conception(this);
        conception.RunAsPage(this);
        break;
    }
    case kCmdOvulations: {
        COvulationDlg ovulation(this);
        ovulation.RunAsPage(this);
        break;
    }
    case kCmdDueDateCalc: {
        CDueDateCalcDlg calculator(this);
        calculator.RunAsPage(this);
        break;
    }
    case kCmdSettings: {
        CSettingsDlg settings(this);
        settings.RunAsPage(this);
        break;
    }
    case kCmdHistory: {
        CHistoryDialog history(this);
        history.RunAsPage(this);
        break;
    }
    case kCmdStatistics: {
        CStatisticsDlg statistics(this);
        statistics.RunAsPage(this);
        break;
    }
    case kCmdWelcome: {
        CWelcomeDlg welcome(this);
        welcome.SetImportFlow([this] { return ImportData(); });
        welcome.RunAsPage(this);
        break;
    }
    case kCmdAppAbout: {
        CAboutDlg about(this);
        about.RunAsPage(this);
        break;
    }
    case kCmdEraseAll:
        if (IsCommandEnabled(command))
            EraseAllData();
        break;
    case kCmdExport:
        if (IsCommandEnabled(command))
            ExportData();
        break;
    case kCmdExportSpreadsheet:
        if (IsCommandEnabled(command))
            ExportForSpreadsheets();
        break;
    case kCmdImport:
        ImportData();
        break;
    case kCmdExportCalendar:
        if (IsCommandEnabled(command))
            CExportCalendarDlg::RunExport(this);
        break;
    case kCmdExit:
        close();
        break;
    default:
        break;
    }
    if (m_summary) {
        // Erase and import change the data without covering the summary: it is rebuilt now.
        m_summary->RefreshIfStale();
        m_summary->setFocus();
    }
}

void CMainFrame::EraseAllData()
{
    // Nothing of this can be undone: Enter answers No.
    const MessageAnswer answer = ShowMessage(
        QStringLiteral("WARNING: This will delete all the stored data.\nThis operation cannot be undone.\nContinue?"),
        MessageButtons::YesNo, MessageIcon::Default, MessageAnswer::No);
    if (answer != MessageAnswer::Yes)
        return;
    CycleDatabase& database = TheCycleDatabase();
    std::vector<DayRecord> kept = database.Records();
    database.Reset();
    if (!database.Save()) {
        // The data file still holds every day (the save said why); so does the program.
        database.ReplaceRecords(std::move(kept));
        ShowMessage(QStringLiteral("Failed to erase data. No day was deleted."));
    }
}

void CMainFrame::ExportData()
{
    RunCsvExport(
        this, QStringLiteral("Export"), QStringLiteral("Velumina-days"),
        [](const QString& path) {
            CycleDatabase& database = TheCycleDatabase();
            return database.ExportDays(path) ? static_cast<int>(database.Records().size()) : -1;
        },
        u"day", u"days");
}

void CMainFrame::ExportForSpreadsheets()
{
    RunCsvExport(
        this, QStringLiteral("Export for Spreadsheets"), QStringLiteral("Velumina-days"),
        [](const QString& path) { return SpreadsheetExport::WriteDays(TheCycleDatabase(), path); }, u"day", u"days");
}

bool CMainFrame::ImportData()
{
    const QString path = AskForCsvFile(FileDialogKind::Open, this, QStringLiteral("Import"), CsvStartFolder());
    if (path.isEmpty())
        return false;
    RememberCsvFolder(path);
    // The file is read and checked whole before she is asked and anything is stored.
    ImportedDays days;
    QString error;
    if (!DayImporter::ReadFile(path, days, error)) {
        ShowMessage(error, MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    CycleDatabase& database = TheCycleDatabase();
    const std::vector<DayRecord>& stored = database.Records();
    const QString question = ImportChoice::Question(days, stored);
    ImportMode mode = ImportMode::Replace;
    if (stored.empty()) {
        if (ShowMessage(question, MessageButtons::OkCancel, MessageIcon::Question) != MessageAnswer::Ok)
            return false;
    } else {
        const MessageAnswer answer =
            ShowMessage(question, MessageButtons::AddReplaceCancel, MessageIcon::Question, MessageAnswer::Add);
        if (answer != MessageAnswer::Add && answer != MessageAnswer::Replace)
            return false;
        mode = answer == MessageAnswer::Add ? ImportMode::Add : ImportMode::Replace;
    }
    const int clashes = mode == ImportMode::Add ? ImportChoice::Clashes(stored, days.records) : 0;
    if (!ImportChoice::Store(database, days, mode)) {
        ShowMessage(QStringLiteral("Failed to import data. Your days are as they were."));
        return false;
    }
    // What she sees behind the message already shows the imported days.
    if (m_summary)
        m_summary->RefreshIfStale();
    ShowMessage(ImportChoice::Done(static_cast<int>(days.records.size()) - clashes, clashes), MessageButtons::Ok,
                MessageIcon::Information);
    return true;
}

void CMainFrame::ShowAndRaise()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    // An open question or prompt stays on top and takes the focus: above it, the window
    // would look frozen while the program waits for the answer.
    QWidget* top = QApplication::activeModalWidget();
    if (!top)
        top = this;
    top->raise();
    top->activateWindow();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // Closing the window means "Exit": an open screen is first left through its own way out,
    // and a screen that stays open (its question was dismissed) cancels the exit.
    if (CBlackDialog* page = CBlackDialog::TopPage(this)) {
        event->ignore();
        if (page->isVisible())
            page->reject();
        // A screen that is still shown refused to close: the exit is cancelled. One that is
        // ending returns from its event loop first; the exit goes on after that.
        if (!page->isVisible())
            QTimer::singleShot(0, this, &QWidget::close);
        return;
    }
    SaveGeometry();
    event->accept();
    QApplication::quit();
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    m_altPressedAlone = event->key() == Qt::Key_Alt && event->modifiers() == Qt::AltModifier;
    if (event->key() == Qt::Key_F10 && m_commandBar && !CBlackDialog::IsPageOpen(this)) {
        m_commandBar->Press(SoftKeyBar::Side::Right);
        return;
    }
    if (event->key() == Qt::Key_Q && event->modifiers() == Qt::ControlModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CMainFrame::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt && m_altPressedAlone && m_commandBar && !CBlackDialog::IsPageOpen(this)) {
        m_altPressedAlone = false;
        m_commandBar->Press(SoftKeyBar::Side::Right);
        return;
    }
    m_altPressedAlone = false;
    QWidget::keyReleaseEvent(event);
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (m_summary && !CBlackDialog::IsPageOpen(this))
        m_summary->setFocus();
}

void CMainFrame::SaveGeometry()
{
    WriteSettingBytes(kWindowSection, kGeometryName, saveGeometry());
}

void CMainFrame::RestoreGeometry()
{
    const QByteArray remembered = ReadSettingBytes(kWindowSection, kGeometryName);
    if (remembered.isEmpty() || !restoreGeometry(remembered) ||
        (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    // A place remembered on a screen that is gone, or larger than the screens now are.
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            screens << screen->availableGeometry();
    }
    const QMargins decorations = DecorationAllowance();
    const QRect fitted = FitOnScreens(this->geometry().marginsAdded(decorations), screens).marginsRemoved(decorations);
    if (fitted != this->geometry()) {
        setMinimumSize(minimumSize().boundedTo(fitted.size()));
        setGeometry(fitted);
    }
}

void CMainFrame::PlaceOnScreen()
{
    // No screen's controls are ever squeezed below their template size, unless the screen
    // itself is smaller: then the soft keys stay on it.
    QSize minimum = CBlackDialog::MinimumHostSize(font());
    QSize size(kDefaultWidth, kDefaultHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        // A large screen gets a window she can read without maximising it; a size she chose
        // herself wins (RestoreGeometry below).
        const QRect available = screen->availableGeometry();
        size = FirstWindowSize(size, minimum, available, DecorationAllowance());
        minimum = FitSizeOnScreen(minimum, available, DecorationAllowance());
    }
    setMinimumSize(minimum);
    resize(size);
    RestoreGeometry();
}
