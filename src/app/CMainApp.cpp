#include "app/CMainApp.h"

#include "app/CMainFrame.h"
#include "app/SingleInstanceGuard.h"
#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "platform/gui/MessageBoxHandler.h"
#include "resources/CompiledResources.h"
#include "settings/AppSettings.h"
#include "settings/PasswordStore.h"
#include "settings/ReminderSetup.h"
#include "settings/SettingsAccess.h"
#include "storage/DataFile.h"
#include "ui/screens/CPasswordStartup.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ImageCache.h"

#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QLoggingCategory>
#include <QStyleFactory>
#include <QTimer>

#include <utility>

Q_LOGGING_CATEGORY(lcInstance, "velumina.instance", QtWarningMsg)

namespace {
CMainApp::PasswordPrompt& InstalledPrompt()
{
    static CMainApp::PasswordPrompt prompt;
    return prompt;
}

// The prompt asks until the password is right or the user cancels.
bool AskForPassword()
{
    CPasswordStartup prompt;
    return prompt.RunTopLevel() == QDialog::Accepted;
}

// Start-up measurements and the README's screenshot end the program once the main window
// has painted (VELUMINA_EXIT_AFTER_FIRST_PAINT, VELUMINA_SCREENSHOT=<png file>).
class ExitAfterFirstPaint : public QObject
{
public:
    ExitAfterFirstPaint(QWidget* window, QString screenshotPath)
        : QObject(window), m_window(window), m_screenshotPath(std::move(screenshotPath))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(m_screenshotPath.isEmpty() ? 0 : 800, qApp, [this] {
                if (!m_screenshotPath.isEmpty())
                    m_window->grab().save(m_screenshotPath);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    QWidget* m_window;
    QString m_screenshotPath;
};
} // namespace

CMainApp::CMainApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setOrganizationName(QString::fromUtf16(kOrganizationName));
    setApplicationName(QString::fromUtf16(kApplicationName));
    setApplicationDisplayName(QStringLiteral("Velumina"));
    setDesktopFileName(QStringLiteral(VELUMINA_APP_ID));
    // The themed palettes look alike on every desktop only in one style.
    setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    InitializeCompiledResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/velumina-256.png")));
}

CMainApp::~CMainApp()
{
    delete m_frame;
    SetMessageHandler(MessageHandler());
}

CMainFrame* CMainApp::MainFrame() const
{
    return m_frame;
}

void CMainApp::SetPasswordPrompt(PasswordPrompt prompt)
{
    InstalledPrompt() = std::move(prompt);
}

int CMainApp::Run()
{
    TheAppSettings().Load();
    // Start-up measurements and screenshots run unattended: their messages go to stderr.
    const bool unattended = qEnvironmentVariableIsSet("VELUMINA_EXIT_AFTER_FIRST_PAINT") ||
                            qEnvironmentVariableIsSet("VELUMINA_SCREENSHOT");
    if (!unattended)
        InstallMessageBoxHandler([this]() -> QWidget* { return m_frame; });

    // One interactive instance per data file, decided before the password and the data load.
    m_guard = std::make_unique<SingleInstanceGuard>();
    switch (m_guard->Acquire(SingleInstanceGuard::SocketPathFor(GetDataFilePath()))) {
    case SingleInstanceGuard::Outcome::OtherShown:
        return -1;
    case SingleInstanceGuard::Outcome::OtherNotResponding:
        ShowMessage(QStringLiteral("Velumina is already running but does not respond."), MessageButtons::Ok,
                    MessageIcon::Error);
        return -1;
    case SingleInstanceGuard::Outcome::LockUnusable:
        // Two instances on one data file would each save over the other's days.
        ShowMessage(QStringLiteral("Velumina cannot start: it could not make sure that it runs only once, because %1.")
                        .arg(m_guard->LockProblem()),
                    MessageButtons::Ok, MessageIcon::Error);
        return -1;
    case SingleInstanceGuard::Outcome::First:
        break;
    }
    connect(m_guard.get(), &SingleInstanceGuard::ShowRequested, this, [this] {
        qCInfo(lcInstance) << "another start asked this instance to show itself";
        if (m_frame) {
            m_frame->ShowAndRaise();
        } else if (QWidget* window = activeModalWidget()) {
            window->raise();
            window->activateWindow();
        }
    });

    if (!InitInstance()) {
        delete m_frame;
        return 0;
    }
    return exec();
}

CMainFrame* CMainApp::OpenSession()
{
    if (ThePasswordStore().IsEnabled()) {
        const PasswordPrompt& prompt = InstalledPrompt();
        if (!(prompt ? prompt() : AskForPassword()))
            return nullptr;
    }
    TheCycleDatabase().Load();
    TheAppSettings().interactiveRun = true;
    return new CMainFrame();
}

bool CMainApp::InitInstance()
{
    m_reminders = std::make_unique<ReminderSetup>(ReminderSetup::Road::Interactive);

    ImageCache& images = TheImageCache();
    images.SetImageFolder(QDir(applicationDirPath()).filePath(QStringLiteral("png")) + u'/');
    if (!images.LoadImages(ImageCache::StartupImageNames())) {
        ShowMessage(QStringLiteral("Error initializing images"), MessageButtons::Ok, MessageIcon::Error);
        return false;
    }

    m_frame = OpenSession();
    if (!m_frame)
        return false;
    const QString screenshot = qEnvironmentVariable("VELUMINA_SCREENSHOT");
    if (qEnvironmentVariableIsSet("VELUMINA_EXIT_AFTER_FIRST_PAINT") || !screenshot.isEmpty())
        m_frame->SummaryPanel()->installEventFilter(new ExitAfterFirstPaint(m_frame, screenshot));
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
    return true;
}
