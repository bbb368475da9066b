#include "app/CMainFrame.h"

#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "platform/gui/FileDialogs.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsAccess.h"
#include "storage/CsvExchange.h"
#include "storage/DataFile.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/CStatisticsDlg.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/toolkit/CBlackDialog.h"
#include "ui/toolkit/CsvExportFlow.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
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
    if (report.stoppedAtLine > 0)
        text += QStringLiteral("\nThe import stopped at line %1, which is not a day line.").arg(report.stoppedAtLine);
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
    // No screen's controls are ever squeezed below their template size.
    setMinimumSize(CBlackDialog::MinimumHostSize(font()));
    resize(kDefaultWidth, kDefaultHeight);
    RestoreGeometry();

    // A first start (or the first after erasing) offers the welcome screen once the loop runs.
    if (TheCycleDatabase().Records().empty()) {
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
    case kCmdHistory:
    case kCmdStatistics:
    case kCmdImport:
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
    if (m_summary)
        m_summary->setFocus();
}

void CMainFrame::EraseAllData()
{
    const MessageAnswer answer = ShowMessage(
        QStringLiteral("WARNING: This will delete all the stored data.\nThis operation cannot be undone.\nContinue?"),
        MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes)
        return;
    CycleDatabase& database = TheCycleDatabase();
    database.Reset();
    database.Save();
}

void CMainFrame::ExportData()
{
    RunCsvExport(this, QStringLiteral("Export"), QStringLiteral("Velumina-days"),
                 [](const QString& path) { return TheCycleDatabase().ExportDays(path); });
}

void CMainFrame::ImportData()
{
    const QString path = AskForCsvFile(FileDialogKind::Open, this, QStringLiteral("Import"), StartFolder());
    if (path.isEmpty())
        return;
    RememberFolder(path);
    // The file is read and checked whole before anything is replaced.
    std::vector<DayRecord> records;
    CycleDatabase::ImportReport report;
    QString error;
    if (!ReadDayFile(path, records, report, error)) {
        if (!error.isEmpty())
            ShowMessage(error, MessageButtons::Ok, MessageIcon::Error);
        ShowMessage(QStringLiteral("Failed to import data."));
        return;
    }
    CycleDatabase& database = TheCycleDatabase();
    const int stored = static_cast<int>(database.Records().size());
    if (stored > 0) {
        const MessageAnswer answer =
            ShowMessage(QStringLiteral("Importing replaces all %1 stored days with the %2 days "
                                       "of this file. This cannot be undone. Continue?")
                            .arg(stored)
                            .arg(records.size()),
                        MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes)
            return;
    }
    if (StoreImportedDays(database, std::move(records)))
        ShowMessage(ImportSummary(report), MessageButtons::Ok, MessageIcon::Information);
    else
        ShowMessage(QStringLiteral("Failed to import data."));
}

QString CMainFrame::StartFolder() const
{
    return CsvStartFolder();
}

void CMainFrame::RememberFolder(const QString& filePath)
{
    RememberCsvFolder(filePath);
}

void CMainFrame::ShowAndRaise()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
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
    if (event->key() == Qt::Key_F10 && m_commandBar) {
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
    const QByteArray geometry = ReadSettingBytes(kWindowSection, kGeometryName);
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
}
