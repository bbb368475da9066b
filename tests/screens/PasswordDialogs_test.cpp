#include "PageTestSupport.h"

#include "platform/MessageRecorder.h"
#include "settings/DataProtection.h"
#include "settings/PasswordStore.h"
#include "settings/SettingsAccess.h"
#include "storage/DataFile.h"
#include "ui/screens/CPasswordSetDlg.h"
#include "ui/screens/CPasswordStartup.h"
#include "ui/screens/CSettingsDlg.h"
#include "ui/screens/PasswordProtectionSwitch.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class PasswordDialogsTest : public PageTest
{
protected:
    // Opens the settings screen over the host and runs `script` in it; the screen is then
    // ended with `command` (OK or Cancel) unless the script ended it.
    void InSettings(int command, const std::function<void(CSettingsDlg&)>& script)
    {
        RunNew<CSettingsDlg>([&](CSettingsDlg& dialog) {
            script(dialog);
            if (dialog.isVisible())
                dialog.OnCommand(command);
        });
    }

    // Answers the next current-password page with each text in turn (a null text cancels).
    void AnswerCurrentPassword(QStringList answers)
    {
        QTimer::singleShot(0, m_host.get(), [this, answers] {
            auto* page = qobject_cast<CPasswordStartup*>(CBlackDialog::TopPage(m_host.get()));
            if (!page) {
                ADD_FAILURE() << "no current-password page";
                return;
            }
            for (const QString& answer : answers) {
                if (answer.isNull()) {
                    page->OnCommand(kIdCancel);
                    return;
                }
                Type(*page, kIdcPasswordStartup, answer);
                page->OnCommand(kIdOk);
            }
        });
    }

    static QCheckBox* Box(CSettingsDlg& dialog)
    {
        return dialog.ControlAs<QCheckBox>(kIdcSettingsPassword);
    }
    static QPushButton* SetButton(CSettingsDlg& dialog)
    {
        return dialog.ControlAs<QPushButton>(kIdcSettingsSetPassword);
    }
};

TEST_F(PasswordDialogsTest, ProtectionChangesTakeEffectWithOkAndCancelLeavesEverythingAsItWas)
{
    MessageRecorder messages;
    const QString dataFile = GetDataFilePath();
    for (const int end : {kIdCancel, kIdOk}) {
        const QByteArray before = FileBytes(dataFile);
        InSettings(end, [&](CSettingsDlg& dialog) {
            EXPECT_FALSE(SetButton(dialog)->isEnabled());
            AnswerSetPassword({{QStringLiteral("secret"), QStringLiteral("secret")}});
            Box(dialog)->click();
            EXPECT_EQ(Box(dialog)->text(), QStringLiteral("Password protection: enabled"));
            EXPECT_TRUE(SetButton(dialog)->isEnabled());
            EXPECT_FALSE(DataProtection::IsOn()) << "nothing before OK";
        });
        EXPECT_EQ(DataProtection::IsOn(), end == kIdOk);
        if (end == kIdCancel) {
            EXPECT_EQ(FileBytes(dataFile), before);
        }
    }
    EXPECT_TRUE(DataProtection::IsCurrentPassword(QStringLiteral("secret")));
    EXPECT_TRUE(ReadSettingBytes(SettingsSection(), QStringLiteral("Password")).isEmpty())
        << "no check value of the password";

    // Switching off asks for the current password; without it the box stays checked.
    for (const int end : {kIdCancel, kIdOk}) {
        messages.Clear();
        InSettings(end, [&](CSettingsDlg& dialog) {
            QCheckBox* box = Box(dialog);
            AnswerCurrentPassword({QStringLiteral("Secret"), QString()});
            box->click();
            EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Wrong password!")});
            EXPECT_TRUE(box->isChecked());
            AnswerCurrentPassword({QStringLiteral("secret")});
            box->click();
            EXPECT_FALSE(box->isChecked());
            EXPECT_TRUE(DataProtection::IsOn()) << "nothing before OK";
        });
        EXPECT_EQ(DataProtection::IsOn(), end == kIdCancel);
    }
    EXPECT_EQ(SessionSealKey(), nullptr);
}

TEST_F(PasswordDialogsTest, CancellingTheSetPasswordDialogKeepsProtectionAsItWas)
{
    QString error;
    ASSERT_TRUE(DataProtection::SetPassword(QStringLiteral("secret"), error));
    InSettings(kIdOk, [&](CSettingsDlg& dialog) {
        // Cancel, Esc on the page: the old password still protects.
        AnswerSetPassword({{QStringLiteral("new"), QStringLiteral("new"), kIdCancel}});
        SetButton(dialog)->click();
        QTimer::singleShot(0, m_host.get(), [this] {
            CBlackDialog* page = CBlackDialog::TopPage(m_host.get());
            ASSERT_NE(qobject_cast<CPasswordSetDlg*>(page), nullptr);
            QTest::keyClick(page->Control(kIdcPasswordFirst), Qt::Key_Escape);
        });
        SetButton(dialog)->click();
        EXPECT_FALSE(dialog.ProtectionSwitch()->HasChange());
    });
    EXPECT_TRUE(DataProtection::IsCurrentPassword(QStringLiteral("secret")));

    // A new password, with OK, replaces the old one.
    InSettings(kIdOk, [&](CSettingsDlg& dialog) {
        AnswerSetPassword({{QStringLiteral("new"), QStringLiteral("new")}});
        SetButton(dialog)->click();
    });
    EXPECT_TRUE(DataProtection::IsCurrentPassword(QStringLiteral("new")));

    // Checking the box and cancelling leaves protection off, as it was.
    ASSERT_TRUE(DataProtection::SwitchOff(QStringLiteral("new"), error));
    InSettings(kIdCancel, [&](CSettingsDlg& dialog) {
        AnswerSetPassword({{std::nullopt, std::nullopt, kIdCancel}});
        Box(dialog)->click();
        EXPECT_FALSE(Box(dialog)->isChecked());
        EXPECT_FALSE(dialog.ProtectionSwitch()->HasChange());
    });
    EXPECT_FALSE(DataProtection::IsOn());
}

TEST_F(PasswordDialogsTest, EmptyAndMismatchingCopiesAreAskedAbout)
{
    MessageRecorder messages;
    const QString empty = QStringLiteral("Empty password! Do you want to disable passwords?");
    const QString mismatch = QStringLiteral("The two password copies do not match - please re-enter the paswords");
    InSettings(kIdCancel, [&](CSettingsDlg& dialog) {
        // Empty, No: the dialog stays. Copies differing in letter case do not match. Then the
        // user agrees to an empty password but types a matching one after all: it protects.
        messages.QueueAnswer(MessageAnswer::No);
        messages.QueueAnswer(MessageAnswer::Yes);
        AnswerSetPassword({{QString(), QString()},
                           {QStringLiteral("Secret"), QStringLiteral("secret")},
                           {QString(), QStringLiteral("abc")},
                           {QStringLiteral("abc"), QStringLiteral("abc")}});
        Box(dialog)->click();
        EXPECT_EQ(messages.Texts(), (QStringList{empty, mismatch, empty, mismatch}));
        EXPECT_EQ(messages.Messages()[0].buttons, MessageButtons::YesNo);
        EXPECT_TRUE(dialog.ProtectionSwitch()->HasChange());
        EXPECT_TRUE(Box(dialog)->isChecked());

        // Empty twice, Yes: the dialog closes with OK and protection goes off.
        messages.Clear();
        messages.QueueAnswer(MessageAnswer::Yes);
        AnswerSetPassword({{QString(), QString()}});
        SetButton(dialog)->click();
        EXPECT_EQ(messages.Texts(), QStringList{empty});
        EXPECT_FALSE(dialog.ProtectionSwitch()->HasChange());
        EXPECT_EQ(Box(dialog)->text(), QStringLiteral("Password protection: disabled"));
    });
}

TEST_F(PasswordDialogsTest, APasswordThatCannotBeSavedLeavesProtectionAndTheFileAsTheyWere)
{
    MessageRecorder messages;
    const QByteArray before = FileBytes(GetDataFilePath());
    InSettings(kIdCancel, [&](CSettingsDlg& dialog) {
        AnswerSetPassword({{QStringLiteral("secret"), QStringLiteral("secret")}});
        Box(dialog)->click();
        {
            ScopedFileSizeLimit full(0);
            dialog.OnCommand(kIdOk);
        }
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_TRUE(messages.Texts()[0].endsWith(QStringLiteral("Protection and your data file are as they were.")));
        EXPECT_TRUE(dialog.isVisible()) << "the screen stays open";
    });
    EXPECT_FALSE(ThePasswordStore().IsEnabled());
    EXPECT_EQ(FileBytes(GetDataFilePath()), before);
}

TEST_F(PasswordDialogsTest, AHintShowsWhileCapsLockIsOn)
{
    CPasswordStartup prompt;
    ASSERT_TRUE(prompt.CreateDialog());
    prompt.show();
    auto* field = prompt.ControlAs<QLineEdit>(kIdcPasswordStartup);
    EXPECT_FALSE(prompt.IsCapsLockHintShown());
    auto send = [field](QEvent::Type type, int key, quint32 nativeModifiers, const QString& text) {
        QKeyEvent event(type, key, Qt::NoModifier, 0, 0, nativeModifiers, text);
        QApplication::sendEvent(field, &event);
    };
    send(QEvent::KeyPress, Qt::Key_A, 0x2, QStringLiteral("A"));
    EXPECT_TRUE(prompt.IsCapsLockHintShown());
    send(QEvent::KeyPress, Qt::Key_CapsLock, 0x2, QString()); // switches it off
    EXPECT_FALSE(prompt.IsCapsLockHintShown());
    send(QEvent::KeyRelease, Qt::Key_CapsLock, 0x2, QString());
    send(QEvent::KeyPress, Qt::Key_B, 0, QStringLiteral("b"));
    EXPECT_FALSE(prompt.IsCapsLockHintShown());
    send(QEvent::KeyPress, Qt::Key_CapsLock, 0, QString()); // on again
    EXPECT_TRUE(prompt.IsCapsLockHintShown());
}
