#pragma once

#include <QApplication>

#include <functional>
#include <memory>

class CMainFrame;
class ReminderSetup;
class SingleInstanceGuard;

/// The interactive program: one instance per user and data file, images, the password prompt
/// when protection is on, the data load, then the main frame. (A scheduled wake-up,
/// "AppRunAtTime", never gets here: main() sends it down the background road first.)
class CMainApp : public QApplication
{
    Q_OBJECT

public:
    /// The start-up password prompt: true when the right password was given.
    using PasswordPrompt = std::function<bool()>;

    CMainApp(int& argc, char** argv);
    ~CMainApp() override;

    /// Starts the interactive road and runs the event loop; returns the exit status.
    int Run();

    CMainFrame* MainFrame() const;

    /// Replaces the password prompt (tests); an empty prompt restores CPasswordStartup.
    static void SetPasswordPrompt(PasswordPrompt prompt);

    /// The interactive session after the images: the password prompt when protection is on,
    /// then the data load and the main frame. Null, with nothing loaded, when the prompt was
    /// cancelled. Uses the prompt installed with SetPasswordPrompt, or the default one.
    static std::unique_ptr<CMainFrame> OpenSession();

private:
    bool InitInstance();

    std::unique_ptr<SingleInstanceGuard> m_guard;
    std::unique_ptr<ReminderSetup> m_reminders;
    std::unique_ptr<CMainFrame> m_frame;
};
