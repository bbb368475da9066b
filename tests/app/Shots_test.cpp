#include "TestSupport.h"

#include "app/CMainFrame.h"
#include "model/CycleDatabase.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/toolkit/CBlackDialog.h"
#include "ui/toolkit/ImageCache.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QApplication>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

class Shots : public VeluminaTest
{
};

TEST_F(Shots, HistoryAndStatistics)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    TheImageCache().ClearImages();
    TheImageCache().LoadImages(ImageCache::StartupImageNames());
    SetToday(2026, 12, 6);
    std::vector<DayRecord> records;
    CalDate start = Date(2024, 10, 3);
    for (int cycle = 0; cycle < 28; ++cycle) {
        if (cycle != 9 && cycle != 20) {
            for (int d = 0; d < 5; ++d)
                records.push_back(Day(OffsetDate(start, d), d < 2 ? Heavy : Medium));
        }
        start = OffsetDate(start, 26 + (cycle * 7) % 5);
    }
    TheCycleDatabase().ReplaceRecords(records);
    const QString folder = QStringLiteral("/work/helpers/shots/issue-25/");
    for (int theme : {0, 3, 4}) {
        TheAppSettings().selectedTheme = theme;
        for (const QSize size : {QSize(480, 640), QSize(1920, 1080)}) {
            CMainFrame frame;
            frame.resize(size);
            frame.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
            RefreshForThemeChange();
            for (int command : {kCmdHistory, kCmdStatistics}) {
                QTimer::singleShot(50, &frame, [&] {
                    CBlackDialog* page = CBlackDialog::TopPage(&frame);
                    ASSERT_NE(page, nullptr);
                    const QString name = QStringLiteral("%1-theme%2-%3x%4.png")
                                             .arg(command == kCmdHistory ? QStringLiteral("history")
                                                                         : QStringLiteral("statistics"))
                                             .arg(theme)
                                             .arg(size.width())
                                             .arg(size.height());
                    frame.grab().save(folder + name);
                    page->reject();
                });
                frame.OnCommand(command);
            }
        }
    }
}
