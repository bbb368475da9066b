#include "app/CMainApp.h"

#include "app/CMainFrame.h"
#include "app/SingleInstanceGuard.h"
#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "platform/gui/MessageBoxHandler.h"
#include "resources/CompiledResources.h"
#include "settings/AppSettings.h"
#include "settings/DataProtection.h"
#include "settings/ReminderSetup.h"
#include "settings/SettingsAccess.h"
#include "storage/DataFile.h"
#include "storage/SealedFile.h"
#include "ui/screens/CPasswordStartup.h"
#include "ui/screens/CSummaryPanel.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ImageCache.h"

#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QLoggingCategory>
#include <QPointer>
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

// Start-up measurements and the README's screenshot end the program once its first window
// has painted (VELUMINA_EXIT_AFTER_FIRST_PAINT, VELUMINA_SCREENSHOT=<png file>): the main
// window, or what a start shows before or over it, the password prompt or the welcome page,
// which would otherwise wait for an answer nobody gives.
class ExitAfterFirstPaint : public QObject
{
public:
    explicit ExitAfterFirstPaint(QString screenshotPath) : QObject(qApp), m_screenshotPath(std::move(screenshotPath))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Paint || !widget || m_window)
            return false;
        m_window = widget->window();
        qApp->removeEventFilter(this);
        QTimer::singleShot(m_screenshotPath.isEmpty() ? 0 : 800, this, [this] {
            if (!m_screenshotPath.isEmpty() && m_window)
                m_window->grab().save(m_screenshotPath);
            // exit(), not quit(): it also ends the loop of a prompt shown before the main loop
            // runs, and every loop of a page open over the main window.
            QCoreApplication::exit(0);
        });
        return false;
    }

private:
    QString m_screenshotPath;
    QPointer<QWidget> m_window;
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
    m_frame.reset();
    SetMessageHandler(MessageHandler());
    ForgetSessionSealKey();
}

CMainFrame* CMainApp::MainFrame() const
{
    return m_frame.get();
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
        InstallMessageBoxHandler([this]() -> QWidget* { return m_frame.get(); });

    // One interactive instance per data file, decided before the password and the data load.
    m_guard = std::make_unique<SingleInstanceGuard>();
    QString folderProblem;
    const QString socketPath = SingleInstanceGuard::SocketPathFor(GetDataFilePath(), &folderProblem);
    if (socketPath.isEmpty()) {
        ShowMessage(QStringLiteral("Velumina cannot start: it could not make sure that it runs only once, because %1.")
                        .arg(folderProblem),
                    MessageButtons::Ok, MessageIcon::Error);
        return -1;
    }
    switch (m_guard->Acquire(socketPath)) {
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
        m_frame.reset();
        return 0;
    }
    return exec();
}

std::unique_ptr<CMainFrame> CMainApp::OpenSession()
{
    // Said before anything else, since the password prompt reads the settings too.
    const QString settingsProblem = SettingsFileProblem();
    if (!settingsProblem.isEmpty())
        ShowMessage(settingsProblem, MessageButtons::Ok, MessageIcon::Warning);
    // A sealed data file asks for its password whatever the settings say; without one the
    // switch in the settings is brought in line with the file.
    if (DataProtection::NeedsPassword()) {
        const PasswordPrompt& prompt = InstalledPrompt();
        if (!(prompt ? prompt() : AskForPassword()))
            return nullptr;
    } else {
        DataProtection::SettleSwitch();
    }
    TheCycleDatabase().Load();
    TheAppSettings().interactiveRun = true;
    return std::make_unique<CMainFrame>();
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

    const QString screenshot = qEnvironmentVariable("VELUMINA_SCREENSHOT");
    if (qEnvironmentVariableIsSet("VELUMINA_EXIT_AFTER_FIRST_PAINT") || !screenshot.isEmpty())
        installEventFilter(new ExitAfterFirstPaint(screenshot));
    m_frame = OpenSession();
    if (!m_frame)
        return false;
    m_frame->show();
    m_frame->raise();
    m_frame->activateWindow();
    return true;
}
