#include "TestSupport.h"

#include "app/CMainApp.h"
#include "app/CMainFrame.h"
#include "model/CycleDatabase.h"
#include "platform/MessageRecorder.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/DataProtection.h"
#include "storage/SealedFile.h"
#include "ui/screens/CPasswordStartup.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <memory>

class StartupTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        TheImageCache().LoadImages(ImageCache::StartupImageNames());
        TheAppSettings().interactiveRun = false;
        // A data file with one stored day.
        ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 11, 20), Heavy)));
        ResetCycleDatabaseForTesting();
        QString error;
        ASSERT_TRUE(DataProtection::SetPassword(QStringLiteral("secret"), error));
        ForgetSessionSealKey(); // a new process
    }

    void TearDown() override
    {
        CMainApp::SetPasswordPrompt(CMainApp::PasswordPrompt());
        TheAppSettings().interactiveRun = false;
        VeluminaTest::TearDown();
    }

    // Types each text into the start-up prompt and presses Enter, or Esc for a null text.
    void AnswerPrompt(QStringList answers)
    {
        QTimer::singleShot(0, [this, answers]() mutable {
            auto* prompt = qobject_cast<CPasswordStartup*>(QApplication::activeModalWidget());
            if (!prompt) {
                ADD_FAILURE() << "no start-up prompt";
                return;
            }
            ++m_prompts;
            auto* field = prompt->ControlAs<QLineEdit>(kIdcPasswordStartup);
            EXPECT_EQ(prompt->focusWidget(), field);
            for (const QString& answer : answers) {
                if (answer.isNull()) {
                    QTest::keyClick(field, Qt::Key_Escape);
                    return;
                }
                // A wrong password stays selected, to be typed over.
                QTest::keyClicks(field, answer);
                QTest::keyClick(field, Qt::Key_Return);
            }
        });
    }

    int m_prompts = 0;
};

TEST_F(StartupTest, OnlyTheRightPasswordOpensTheFrameWithTheDataAndEscapeReadsNothing)
{
    const QString wrong = QStringLiteral("Wrong password!");
    const struct
    {
        QStringList answers; ///< a null text presses Esc
        QStringList messages;
        bool opens;
    } starts[] = {
        // From the second failure on, the message says why a right password can fail.
        {{QStringLiteral("Secret"), QStringLiteral("tulip"), QStringLiteral("secret")},
         {wrong, CPasswordStartup::WrongPasswordText(2)},
         true},
        {{QStringLiteral("secret")}, {}, true},
        {{QStringLiteral("wrong"), QString()}, {wrong}, false},
    };
    for (const auto& start : starts) {
        SCOPED_TRACE(start.answers.join(u',').toStdString());
        ResetCycleDatabaseForTesting();
        ForgetSessionSealKey();
        TheAppSettings().interactiveRun = false;
        m_prompts = 0;
        MessageRecorder messages;
        AnswerPrompt(start.answers);
        std::unique_ptr<CMainFrame> frame(CMainApp::OpenSession());
        EXPECT_EQ(frame != nullptr, start.opens);
        EXPECT_EQ(m_prompts, 1);
        EXPECT_EQ(messages.Texts(), start.messages);
        EXPECT_EQ(TheCycleDatabase().Records().size(), start.opens ? 1u : 0u);
        EXPECT_EQ(TheAppSettings().interactiveRun, start.opens);
        EXPECT_EQ(SessionSealKey() != nullptr, start.opens);
    }
    EXPECT_TRUE(
        CPasswordStartup::WrongPasswordText(2).contains(QStringLiteral("changed or damaged since it was saved")));

    // Without protection nothing is asked.
    QString error;
    ASSERT_TRUE(DataProtection::SwitchOff(QStringLiteral("secret"), error));
    m_prompts = 0;
    std::unique_ptr<CMainFrame> frame(CMainApp::OpenSession());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(m_prompts, 0);
    EXPECT_EQ(TheCycleDatabase().Records().size(), 1u);
}
