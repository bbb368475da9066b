#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/ResourceIds.h"
#include "settings/SettingsAccess.h"
#include "ui/screens/COvulationDlg.h"
#include "ui/toolkit/ImageCache.h"

#include <QLabel>
#include <QLineEdit>

namespace {
// A recorded period of five days from `first`.
void StorePeriod(const CalDate& first)
{
    std::vector<DayRecord> records;
    for (int i = 0; i < 5; ++i)
        records.push_back(Day(OffsetDate(first, i), Heavy));
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
}

struct Shown
{
    QString last;
    QString next;
    QString fertile;
};
} // namespace

class OvulationDlgTest : public PageTest
{
protected:
    Shown Open()
    {
        Shown shown;
        COvulationDlg dialog;
        Look(dialog, [&] { shown = {dialog.LastText(), dialog.NextText(), dialog.FertileText()}; });
        return shown;
    }
};

TEST_F(OvulationDlgTest, ShowsNoDataWithoutACurrentCycle)
{
    COvulationDlg dialog;
    Look(dialog, [&] {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Ovulation"));
        EXPECT_EQ(dialog.LastText(), QStringLiteral("No Data"));
        EXPECT_EQ(dialog.NextText(), QStringLiteral("No Data"));
        EXPECT_EQ(dialog.FertileText(), QStringLiteral("No Data"));
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(kIdcOvulationLast)->font().bold(), TheImageCache().BigFont().bold());
        ASSERT_NE(dialog.MenuBar(), nullptr);
        EXPECT_EQ(dialog.MenuBar()->Command(SoftKeyBar::Side::Right), kIdCancel);
        // The boxes follow the window's width.
        EXPECT_GT(dialog.ControlAs<QLineEdit>(kIdcOvulationNext)->width(), 400);
    });
}

TEST_F(OvulationDlgTest, TheNextOvulationIsTheFirstNotBeforeToday)
{
    // 20 November 2026 starts a cycle of 28 days: the next starts on 18 December, 14 days
    // after the ovulation of 4 December.
    StorePeriod(Date(2026, 11, 20));
    SetToday(2026, 12, 4);
    Shown shown = Open();
    EXPECT_EQ(shown.last, QStringLiteral("November 6"));
    EXPECT_EQ(shown.next, QStringLiteral("December 4"));
    EXPECT_EQ(shown.fertile, QStringLiteral("November 29 to December 8"));

    SetToday(2026, 12, 5);
    shown = Open();
    EXPECT_EQ(shown.last, QStringLiteral("December 4"));
    EXPECT_EQ(shown.next, QStringLiteral("January 1, 2027")) << "another year is named";

    // Four days after the ovulation its fertile days still last; five days after, the next one's show.
    SetToday(2026, 12, 8);
    EXPECT_EQ(Open().fertile, QStringLiteral("November 29 to December 8"));
    SetToday(2026, 12, 9);
    EXPECT_EQ(Open().fertile, QStringLiteral("December 27 to January 5, 2027"));
}

TEST_F(OvulationDlgTest, ALongCycleNeverShowsANextOvulationInThePast)
{
    // 1 to 5 January bleeding, then every day recorded without bleeding up to today.
    std::vector<DayRecord> records;
    for (int i = 0; i < 5; ++i)
        records.push_back(Day(Date(2026, 1, 1 + i), Heavy));
    for (CalDate day = Date(2026, 1, 6); !IsAfter(day, Date(2026, 2, 13)); NextDay(day))
        records.push_back(Day(day, None));
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
    SetToday(2026, 2, 13);
    const Shown shown = Open();
    EXPECT_EQ(shown.last, QStringLiteral("February 12"));
    EXPECT_EQ(shown.next, QStringLiteral("March 12"));
}

TEST_F(OvulationDlgTest, TheLutealPhaseSettingMovesTheDatesAndIsNamed)
{
    StorePeriod(Date(2026, 11, 20)); // the next cycles start on 18 December and 15 January
    SetToday(2026, 12, 5);
    for (const auto& [days, next] :
         {std::pair{10, "December 8"}, {12, "December 6"}, {14, "January 1, 2027"}, {16, "December 30"}}) {
        TheCycleDatabase().SetLutealPhaseLen(days);
        COvulationDlg dialog;
        Look(dialog, [&] {
            EXPECT_EQ(dialog.NextText(), QString::fromLatin1(next)) << days;
            EXPECT_EQ(dialog.ControlAs<QLabel>(kIdcOvulationFootnote)->text(),
                      QStringLiteral("(assuming the ovulation happens %1 days before the start of the next cycle)")
                          .arg(days));
        });
    }
}

TEST_F(OvulationDlgTest, ACycleShorterThanTheLutealPhaseCountsBackFromItsStart)
{
    WriteSettingInt(QStringLiteral("Settings"), QStringLiteral("InitialCycleLen"), 10);
    ResetCycleDatabaseForTesting();
    StorePeriod(Date(2026, 12, 1));
    ASSERT_EQ(TheCycleDatabase().AverageCycleLength(), 10);
    // Ovulation 4 days before each start: 27 November, 7 December.
    const Shown shown = Open();
    EXPECT_EQ(shown.last, QStringLiteral("November 27"));
    EXPECT_EQ(shown.next, QStringLiteral("December 7"));
}

TEST_F(OvulationDlgTest, OnAWideWindowTheDatesStayACentredColumn)
{
    StorePeriod(Date(2026, 11, 20));
    SetToday(2026, 12, 4);
    m_host->resize(1920, 1080);
    COvulationDlg dialog;
    Look(dialog, [&] {
        EXPECT_EQ(dialog.geometry(), m_host->rect()) << "the page covers the host";
        const int widest = dialog.Units().MapX(CSizeableDialog::kReadableLayoutWidth);
        const QRect footnote = dialog.Control(kIdcOvulationFootnote)->geometry();
        for (const int id : {kIdcOvulationLast, kIdcOvulationNext, kIdcOvulationFertile}) {
            const QRect box = dialog.Control(id)->geometry();
            EXPECT_GT(box.width(), 400) << id;
            EXPECT_LE(box.width(), widest) << id;
            EXPECT_NEAR(box.center().x(), dialog.width() / 2, 20) << id;
            EXPECT_EQ(box.left(), footnote.left()) << id;
        }
        // The labels keep to the left edge of their boxes.
        EXPECT_EQ(dialog.Control(kIdcOvulationNextLabel)->x(), dialog.Control(kIdcOvulationNext)->x());
    });
}
