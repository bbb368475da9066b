#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "ui/screens/CStatisticsDlg.h"

#include <QLabel>

using StatisticsDlgTest = PageTest;

TEST_F(StatisticsDlgTest, WithoutRecordsTheSettingsValuesAreShownAsSuch)
{
    LookAt<CStatisticsDlg>([&](CStatisticsDlg& dialog) {
        EXPECT_EQ(RowTexts(dialog.List(), u'='),
                  (QStringList{QStringLiteral("Average cycle period=28"), QStringLiteral("Shortest cycle=28"),
                               QStringLiteral("Longest cycle=28"), QStringLiteral("Maximum period duration=3")}));
        EXPECT_EQ(dialog.BasisLine()->text(),
                  QStringLiteral("No cycle measured yet: the cycle figures are the settings' value. Predicted periods "
                                 "last 3 days, the settings' value, until you record one of two days or more."));
    });
}

TEST_F(StatisticsDlgTest, FiguresAreTheModelsAndSayWhatTheyRestOn)
{
    // Periods on days 0 to 4 (6 days of bleeding recorded) and 25 to 29, today day 29.
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(StartTwoPeriodExample()));
    CycleDatabase& database = TheCycleDatabase();
    const QStringList expected{
        QStringLiteral("Average cycle period=%1").arg(database.AverageCycleLength()),
        QStringLiteral("Shortest cycle=%1").arg(database.ShortestCycle()),
        QStringLiteral("Longest cycle=%1").arg(database.LongestCycle()),
        QStringLiteral("Maximum period duration=%1").arg(database.LongestPeriod()),
    };
    database.Recalculate(); // the screen must bring the figures up to date itself

    LookAt<CStatisticsDlg>([&](CStatisticsDlg& dialog) {
        EXPECT_EQ(RowTexts(dialog.List(), u'='), expected);
        EXPECT_EQ(dialog.BasisLine()->text(),
                  QStringLiteral("Based on 1 cycle between periods you recorded. Predicted periods last 5 days, the "
                                 "mean of your last 2 periods."));
    });
}
