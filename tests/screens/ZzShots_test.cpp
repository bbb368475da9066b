// Temporary: screenshots for review (not committed).
#include "TestSupport.h"

#include "app/CMainFrame.h"
#include "model/CycleDatabase.h"
#include "platform/MemoryNotificationDatabase.h"
#include "platform/MessageRecorder.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "settings/PasswordStore.h"
#include "ui/screens/CPasswordSetDlg.h"
#include "ui/screens/CPasswordStartup.h"
#include "ui/screens/CSettingsDlg.h"
#include "ui/toolkit/ImageCache.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QApplication>
#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

class ZzShots : public VeluminaTest
{
};

TEST_F(ZzShots, Take)
{
    const QString folder = qEnvironmentVariable("SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP();
    const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TheImageCache().ClearImages();
    ASSERT_TRUE(TheImageCache().LoadImages(ImageCache::StartupImageNames()));
    for (int day = 9; day <= 13; ++day)
        TheCycleDatabase().SetDay(Day(Date(2026, 11, day), Heavy));
    TheAppSettings().interactiveRun = true;
    for (const int theme : {0, 3, 4}) {
        for (const QSize size : {QSize(480, 640), QSize(1920, 1080), QSize(640, 480)}) {
            for (const bool problem : {false, true}) {
                if (problem && theme == 4)
                    continue;
                TheAppSettings().selectedTheme = theme;
                static_cast<MemoryNotificationDatabase&>(TheAppSettings().Notifications())
                    .SetDeliveryProblem(problem ? QStringLiteral("Reminders cannot appear on this computer: it runs no systemd user session.") : QString());
                CMainFrame frame;
                frame.resize(size);
                frame.show();
                (void)QTest::qWaitForWindowExposed(&frame);
                const QString name = QStringLiteral("%1/settings-theme%2-%3x%4%5-scale%6.png")
                                         .arg(folder).arg(theme).arg(size.width()).arg(size.height())
                                         .arg(problem ? QStringLiteral("-note") : QString()).arg(scale);
                QTimer::singleShot(50, &frame, [&] {
                    CBlackDialog* page = CBlackDialog::TopPage(&frame);
                    frame.grab().save(name);
                    if (!problem && size == QSize(480, 640)) {
                        // The set-password page over it.
                        QTimer::singleShot(50, &frame, [&] {
                            auto* set = qobject_cast<CPasswordSetDlg*>(CBlackDialog::TopPage(&frame));
                            if (set) {
                                set->ControlAs<QLineEdit>(kIdcPasswordFirst)->setText(QStringLiteral("secret"));
                                set->ControlAs<QLineEdit>(kIdcPasswordSecond)->setText(QStringLiteral("secret"));
                                frame.grab().save(QStringLiteral("%1/setpassword-theme%2-scale%3.png").arg(folder).arg(theme).arg(scale));
                                set->OnCommand(kIdCancel);
                            }
                        });
                        page->Control(kIdcSettingsSetPassword)->setEnabled(true);
                        page->OnCommand(0);
                        qobject_cast<QAbstractButton*>(page->Control(kIdcSettingsPassword))->click();
                    }
                    page->OnCommand(kIdCancel);
                });
                frame.OnCommand(kCmdSettings);
            }
        }
        // The start-up prompt after a wrong password, with Caps Lock on.
        ThePasswordStore().EnableWithPassword(QStringLiteral("secret"));
        MessageRecorder messages;
        CPasswordStartup prompt;
        QTimer::singleShot(50, &prompt, [&] {
            QLineEdit* field = prompt.ControlAs<QLineEdit>(kIdcPasswordStartup);
            QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 0, 0, 0x2, QStringLiteral("WRONG"));
            QApplication::sendEvent(field, &key);
            prompt.OnCommand(kIdOk);
            QTest::qWait(50);
            prompt.grab().save(QStringLiteral("%1/startup-theme%2-scale%3.png").arg(folder).arg(theme).arg(scale));
            prompt.OnCommand(kIdCancel);
        });
        prompt.RunTopLevel();
        ThePasswordStore().SetEnabled(false);
    }
}
