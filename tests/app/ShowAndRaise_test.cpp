#include "TestSupport.h"

#include "app/CMainFrame.h"
#include "platform/MessageBox.h"
#include "platform/gui/MessageBoxHandler.h"
#include "settings/AppSettings.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// A second start asks the running program to show itself. When a question is open (the day
// editor's "Save changes?", a message), it is the question that must come forward: the main
// window above it would look frozen.
class ShowAndRaiseTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        TheImageCache().LoadImages(ImageCache::StartupImageNames());
        // The frames here hold no days: no welcome page is to cover them.
        TheAppSettings().SetWelcomeDismissed(true);
        m_previous = SetMessageHandler(MessageHandler());
    }

    void TearDown() override
    {
        SetMessageHandler(m_previous);
        VeluminaTest::TearDown();
    }

    MessageHandler m_previous;
};

TEST_F(ShowAndRaiseTest, AnOpenQuestionComesForwardAboveTheMainWindow)
{
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    InstallMessageBoxHandler([&frame]() -> QWidget* { return &frame; });
    // Stands for the window of another program the user went to.
    QWidget elsewhere;
    elsewhere.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&elsewhere));
    auto goElsewhere = [&elsewhere] {
        elsewhere.activateWindow();
        QTest::qWait(20);
        return QApplication::activeWindow() == &elsewhere;
    };

    QWidget* activeAfterRaise = nullptr;
    QWidget* question = nullptr;
    QTimer::singleShot(0, &frame, [&] {
        question = QApplication::activeModalWidget();
        ASSERT_NE(question, nullptr);
        frame.showMinimized();
        EXPECT_TRUE(goElsewhere());
        frame.ShowAndRaise();
        QTest::qWait(20);
        activeAfterRaise = QApplication::activeWindow();
        EXPECT_FALSE(frame.isMinimized());
        question->close();
    });
    EXPECT_EQ(ShowMessage(QStringLiteral("Save changes?"), MessageButtons::YesNo), MessageAnswer::No);
    EXPECT_EQ(activeAfterRaise, question) << "the main window came above the open question";

    // Without a question, the main window itself comes forward.
    ASSERT_TRUE(goElsewhere());
    frame.ShowAndRaise();
    QTest::qWait(20);
    EXPECT_EQ(QApplication::activeWindow(), &frame);
}
