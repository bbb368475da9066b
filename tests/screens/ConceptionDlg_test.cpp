#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "ui/screens/CConceptionProbabilityDlg.h"
#include "ui/screens/COvuChartWnd.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QTest>
#include <QToolTip>

namespace {

// The height of the bar colour's run up from the x axis in the middle of column `index`.
int BarHeight(const QImage& image, const COvuChartWnd& chart, int index)
{
    const QRect column = chart.ColumnRect(index);
    const int x = column.center().x();
    int height = 0;
    for (int y = column.bottom() - 1; y >= column.top(); --y) {
        if (CountNear(image, QRect(x, y, 1, 1), COvuChartWnd::kBarColour) == 0)
            break;
        ++height;
    }
    return height;
}

// The inside of a column between two grid lines, clear of any bar: the middle fifth.
QRect ClearArea(const COvuChartWnd& chart, int index)
{
    const QRect column = chart.ColumnRect(index).adjusted(2, 0, -2, 0);
    const int fifth = column.height() / 5;
    return QRect(column.left(), column.top() + fifth / 4, column.width(), fifth / 2);
}
// The column of the highest bar.
int HighestBar(const QImage& image, const COvuChartWnd& chart)
{
    int highest = -1;
    int best = 0;
    for (int i = 0; i < 28; ++i) {
        if (BarHeight(image, chart, i) > best) {
            best = BarHeight(image, chart, i);
            highest = i;
        }
    }
    return highest;
}
} // namespace

using ConceptionDlgTest = PageTest;

TEST_F(ConceptionDlgTest, OnTheFirstDayTheChartShowsTodayTheFertileDaysAndTheirTooltips)
{
    // A period recorded from 6 December 2026, today: cycle day 1, average 28.
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 12, 6), 5)));
    LookAt<CConceptionProbabilityDlg>([&](CConceptionProbabilityDlg& dialog) {
        EXPECT_EQ(dialog.HeadlineText(), QStringLiteral("0% chance to conceive today"));
        EXPECT_EQ(dialog.FootnoteText(),
                  QStringLiteral("(assuming the ovulation occurs 14 days before the start of the next cycle)"));
    });

    COvuChartWnd chart;
    chart.resize(480, 400);
    chart.show();
    const QImage image = GrabPixels(&chart);
    const QRect plot = chart.PlotRect();
    // Today's column is the first, shaded where no bar stands; the plot elsewhere is white.
    const QRect today = ClearArea(chart, 0);
    EXPECT_EQ(CountNear(image, today, COvuChartWnd::kTodayColour), today.width() * today.height());
    // Bars over the columns labelled 10 to 19, none elsewhere; the highest over 15, at 84 % of
    // the plot less the outline at the top.
    for (int i = 0; i < 28; ++i)
        EXPECT_EQ(BarHeight(image, chart, i) > 0, i >= 9 && i <= 18) << "column " << i + 1;
    EXPECT_EQ(HighestBar(image, chart), 14);
    EXPECT_NEAR(BarHeight(image, chart, 14), plot.height() * 84 / 100 - 1, 1);

    // Each column names its day and chance in a tooltip.
    EXPECT_EQ(chart.ColumnAt(plot.right() + 1), -1);
    const QPoint inside = chart.ColumnRect(14).center();
    QHelpEvent help(QEvent::ToolTip, inside, chart.mapToGlobal(inside));
    QApplication::sendEvent(&chart, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Day 15, December 20: 84 %, expected ovulation"));
    QToolTip::hideText();
}

TEST_F(ConceptionDlgTest, TheLutealPhaseMovesTheBarsAndIsNamedInTheFootnote)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 12, 6), 5)));
    TheCycleDatabase().SetLutealPhaseLen(12);
    LookAt<CConceptionProbabilityDlg>([&](CConceptionProbabilityDlg& dialog) {
        EXPECT_EQ(dialog.FootnoteText(),
                  QStringLiteral("(assuming the ovulation occurs 12 days before the start of the next cycle)"));
    });
    COvuChartWnd chart;
    chart.resize(480, 400);
    EXPECT_EQ(HighestBar(GrabPixels(&chart), chart), 16);
    EXPECT_EQ(COvuChartWnd::ColumnTip(16), QStringLiteral("Day 17, December 22: 84 %, expected ovulation"));
}

TEST_F(ConceptionDlgTest, WithoutACurrentCycleThereIsNoTodayColumn)
{
    LookAt<CConceptionProbabilityDlg>(
        [&](CConceptionProbabilityDlg& dialog) { EXPECT_EQ(dialog.HeadlineText(), QStringLiteral("No Data")); });
    COvuChartWnd chart;
    chart.resize(480, 400);
    const QImage image = GrabPixels(&chart);
    EXPECT_EQ(CountNear(image, image.rect(), COvuChartWnd::kTodayColour), 0);
    EXPECT_GT(BarHeight(image, chart, 13), 0) << "the bars of an average cycle stay";
    EXPECT_EQ(COvuChartWnd::ColumnTip(14), QStringLiteral("Day 15: 84 %")) << "days without dates";
}

TEST_F(ConceptionDlgTest, AChartTooSmallForItsMarginsShowsOnlyItsFrame)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 12, 6), 5)));
    for (const QSize size : {QSize(0, 0), QSize(1, 1), QSize(3, 200), QSize(40, 30), QSize(480, 30), QSize(30, 400)}) {
        QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        image.fill(Qt::red);
        {
            QPainter painter(&image);
            painter.setFont(QApplication::font());
            COvuChartWnd::PaintChart(painter, size);
        }
        EXPECT_EQ(CountNear(image, image.rect(), COvuChartWnd::kBarColour), 0) << size.width() << "x" << size.height();
        EXPECT_EQ(CountNear(image, image.rect(), Qt::red), size.isEmpty() ? 1 : 0) << "the whole area is painted";
    }
}

TEST_F(ConceptionDlgTest, TheKeyboardWalksTheBarsAndAScreenReaderHearsEach)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 12, 6), 5)));
    LookAt<CConceptionProbabilityDlg>([&](CConceptionProbabilityDlg& dialog) {
        COvuChartWnd& chart = *dialog.Chart();
        chart.setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(chart.hasFocus());
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&chart);
        ASSERT_NE(reader, nullptr);
        const auto heard = [&] {
            QAccessibleInterface* focused = reader->focusChild();
            return focused ? focused->text(QAccessible::Name) : QString();
        };
        EXPECT_EQ(chart.KeyboardColumn(), 0) << "the first visit starts on today's column";
        EXPECT_EQ(heard(), QStringLiteral("Day 1, December 6: 0 %"));

        const struct
        {
            Qt::Key key;
            int presses;
            int column;
        } moves[] = {{Qt::Key_Right, 14, 14}, {Qt::Key_End, 1, 27}, {Qt::Key_Right, 2, 27},
                     {Qt::Key_Home, 1, 0},    {Qt::Key_Left, 1, 0}, {Qt::Key_Right, 1, 1}};
        for (const auto& move : moves) {
            for (int i = 0; i < move.presses; ++i)
                QTest::keyClick(&chart, move.key);
            EXPECT_EQ(chart.KeyboardColumn(), move.column);
            EXPECT_EQ(heard(), COvuChartWnd::ColumnTip(move.column));
            EXPECT_EQ(QToolTip::text(), COvuChartWnd::ColumnTip(move.column)) << "sighted, she reads the same";
        }
        EXPECT_EQ(heard(), QStringLiteral("Day 2, December 7: 0 %"));
        // The column she is on carries a dashed black frame that the others lack.
        const QImage image = GrabPixels(&chart);
        const QRect on = chart.ColumnRect(1);
        const QRect off = chart.ColumnRect(3);
        EXPECT_GT(CountNear(image, QRect(on.left(), on.top(), 1, on.height() / 2), Qt::black), on.height() / 8);
        EXPECT_EQ(CountNear(image, QRect(off.left() + 1, off.top() + 1, 1, off.height() / 2), Qt::black), 0);
        QToolTip::hideText();
    });
}
