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
#include "ui/screens/CAboutDlg.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/CConceptionProbabilityDlg.h"
#include "ui/screens/CDueDateCalcDlg.h"
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

QString ImportSummary(const CycleDatabase::ImportReport& report)
{
    QString text = QStringLiteral("Done.");
    if (report.skipped > 0) {
        text += QStringLiteral("\n%1 line%2 skipped: %3 date cannot be stored.")
                    .arg(report.skipped)
                    .arg(report.skipped == 1 ? QStringLiteral(" was") : QStringLiteral("s were"),
                         report.skipped == 1 ? QStringLiteral("its") : QStringLiteral("their"));
    }
    if (report.shortened > 0) {
        text += QStringLiteral("\n%1 note%2 shortened to %3 characters.")
                    .arg(report.shortened)
                    .arg(report.shortened == 1 ? QStringLiteral(" was") : QStringLiteral("s were"))
                    .arg(kMaxNoteLength);
    }
    if (report.stoppedAtLine > 0) {
        text += QStringLiteral("\nThe file was read only up to line %1: line %2 %3.")
                    .arg(report.stoppedAtLine - 1)
                    .arg(report.stoppedAtLine)
                    .arg(report.stopReason);
    }
    return text;
}

// The question before an import: how far the file could be read, and what it replaces.
// Empty when there is nothing to ask.
QString ImportQuestion(const CycleDatabase::ImportReport& report, int stored, int read)
{
    QString text;
    if (report.stoppedAtLine > 0) {
        text = QStringLiteral("The file could be read only up to line %1: line %2 %3. "
                              "Nothing from there on is imported.\n\n")
                   .arg(report.stoppedAtLine - 1)
                   .arg(report.stoppedAtLine)
                   .arg(report.stopReason);
    }
    if (stored > 0) {
        text += QStringLiteral("Importing replaces all %1 stored days with the %2 days %3. "
                               "This cannot be undone. Continue?")
                    .arg(stored)
                    .arg(read)
                    .arg(report.stoppedAtLine > 0 ? QStringLiteral("read from it") : QStringLiteral("of this file"));
    } else if (!text.isEmpty()) {
        text += QStringLiteral("Import the %1 days read from it?").arg(read);
    }
    return text;
}
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
}

CMainFrame::~CMainFrame() = default;

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
    case kCmdImport:
        ImportData();
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
    RunCsvExport(this, QStringLiteral("Export"), QStringLiteral("Velumina-days"),
                 [](const QString& path) { return TheCycleDatabase().ExportDays(path); });
}

bool CMainFrame::ImportData()
{
    const QString path = AskForCsvFile(FileDialogKind::Open, this, QStringLiteral("Import"), CsvStartFolder());
    if (path.isEmpty())
        return false;
    RememberCsvFolder(path);
    // The file is read and checked whole before anything is replaced.
    std::vector<DayRecord> records;
    CycleDatabase::ImportReport report;
    QString error;
    if (!ReadDayFile(path, records, report, error)) {
        if (!error.isEmpty())
            ShowMessage(error, MessageButtons::Ok, MessageIcon::Error);
        ShowMessage(QStringLiteral("Failed to import data."));
        return false;
    }
    CycleDatabase& database = TheCycleDatabase();
    const int stored = static_cast<int>(database.Records().size());
    const QString question = ImportQuestion(report, stored, static_cast<int>(records.size()));
    if (!question.isEmpty()) {
        // Replacing the stored days cannot be undone: then Enter answers No.
        const MessageAnswer answer = ShowMessage(question, MessageButtons::YesNo, MessageIcon::Default,
                                                 stored > 0 ? MessageAnswer::No : MessageAnswer::Yes);
        if (answer != MessageAnswer::Yes)
            return false;
    }
    if (!StoreImportedDays(database, std::move(records))) {
        ShowMessage(QStringLiteral("Failed to import data."));
        return false;
    }
    ShowMessage(ImportSummary(report), MessageButtons::Ok, MessageIcon::Information);
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
