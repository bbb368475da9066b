#include "ToolkitTestSupport.h"

#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>

namespace {

using FingerScrollerTest = ToolkitTest;

// Runs the animation timer until it stops; returns the number of ticks.
int TickUntilRest(CFingerScroller& scroller, int limit = 500)
{
    int ticks = 0;
    while (scroller.IsTimerRunning() && ticks < limit) {
        scroller.OnTimerTick();
        ++ticks;
    }
    return ticks;
}

// Presses at `from` (scroller coordinates), drags by `steps` pixels, one step per timer
// tick, and releases right after the last step.
void Flick(TestScroller& scroller, QPoint from, const std::vector<int>& steps)
{
    SendMouse(&scroller, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    QPoint at = from;
    for (const int step : steps) {
        scroller.OnTimerTick();
        at.ry() += step;
        SendMouse(&scroller, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    SendMouse(&scroller, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

TEST_F(FingerScrollerTest, ADragMovesTheListWithTheFingerAndOnlyATapActivatesARowEvenDuringTheSlideIn)
{
    auto scroller = std::make_unique<TestScroller>(30);
    scroller->resize(480, 640);
    scroller->show();
    CScrollPanel* panel = scroller->Panel();
    const int h = panel->RowHeight();
    // A tap while the list still slides in activates the row under the finger, and the list
    // still arrives.
    scroller->OnTimerTick();
    const int sliding = scroller->Offset();
    ASSERT_GT(sliding, 0);
    Tap(scroller.get(), QPoint(100, sliding + 2 * h + h / 2));
    EXPECT_EQ(scroller->activated, std::vector<int>{2});
    EXPECT_LT(TickUntilRest(*scroller), 500);
    EXPECT_EQ(scroller->Offset(), 0);
    scroller->activated.clear();

    // Drag up by 50 and then 70 pixels, one step per tick.
    const QPoint start(200, 300);
    SendMouse(panel, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    scroller->OnTimerTick();
    SendMouse(panel, QEvent::MouseMove, start + QPoint(0, -50), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(scroller->Offset(), -50);
    scroller->OnTimerTick();
    // The pointer is 120 px above the press on the screen; in the moved panel that is 70 px.
    SendMouse(panel, QEvent::MouseMove, start + QPoint(0, -70), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(scroller->Offset(), -120);
    // Resting a whole tick before lifting sets no velocity: the list stays where it is.
    scroller->OnTimerTick();
    SendMouse(panel, QEvent::MouseButtonRelease, start + QPoint(0, -70), Qt::LeftButton, Qt::NoButton);
    TickUntilRest(*scroller);
    EXPECT_EQ(scroller->Offset(), -120);
    EXPECT_TRUE(scroller->activated.empty()) << "a gesture that scrolled is no tap";

    // A tap on the first or the last pixel line of row 3 (the list is scrolled) activates
    // it, and only it, even when the finger slips a little.
    for (const int y : {3 * h, 4 * h - 1}) {
        scroller->activated.clear();
        SendMouse(panel, QEvent::MouseButtonPress, QPoint(100, y), Qt::LeftButton, Qt::LeftButton);
        SendMouse(panel, QEvent::MouseButtonRelease, QPoint(130, y), Qt::LeftButton, Qt::NoButton);
        ASSERT_EQ(scroller->activated, std::vector<int>{3}) << y;
    }
    EXPECT_EQ(panel->Selected(), 3);
    const QPoint tap(100, 3 * h + h / 2);

    // The second click of a double click is no second tap; other buttons do nothing.
    SendMouse(panel, QEvent::MouseButtonDblClick, tap, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel, QEvent::MouseButtonRelease, tap, Qt::LeftButton, Qt::NoButton);
    Tap(panel, tap, Qt::RightButton);
    EXPECT_EQ(scroller->activated.size(), 1u);
}

TEST_F(FingerScrollerTest, AFlickGlidesOnStopsAndTheSpringHoldsEitherEnd)
{
    auto scroller = MakeScroller(30);
    const int panelHeight = scroller->Panel()->height();

    Flick(*scroller, QPoint(200, 400), {-10, -30});
    EXPECT_EQ(scroller->Offset(), -40);
    // It glides on, decelerates and comes to rest inside the list.
    TickUntilRest(*scroller);
    EXPECT_FALSE(scroller->IsTimerRunning());
    EXPECT_LT(scroller->Offset(), -100);
    EXPECT_TRUE(scroller->IsInRestingRange());

    // However fast the finger, the list never flies faster than 1000 px/s.
    Flick(*scroller, QPoint(200, 500), {-80});
    EXPECT_FLOAT_EQ(scroller->Velocity(), -1000.0f);

    // Flicked hard towards either end, the list overshoots and springs back to it.
    for (const auto& [drag, end] : {std::pair{-200, 640 - panelHeight}, std::pair{200, 0}}) {
        for (int i = 0; i < 12; ++i) {
            Flick(*scroller, QPoint(200, 300), {drag});
            scroller->OnTimerTick();
        }
        TickUntilRest(*scroller);
        EXPECT_EQ(scroller->Offset(), end) << "after flicks by " << drag;
    }

    // A list shorter than its view springs back to its top from both sides.
    auto shortList = MakeScroller(3);
    for (const int drag : {-150, 150}) {
        Flick(*shortList, QPoint(100, 50), {drag / 3, drag / 3, drag / 3});
        TickUntilRest(*shortList);
        EXPECT_EQ(shortList->Panel()->y(), 0) << "after dragging by " << drag;
    }
}

TEST_F(FingerScrollerTest, KeysMoveTheSelectionBringItIntoViewAndEnterActivatesIt)
{
    auto scroller = MakeScroller(30);
    CScrollPanel* panel = scroller->Panel();
    const int h = panel->RowHeight();

    QTest::keyClick(scroller.get(), Qt::Key_Return);
    QTest::keyClick(scroller.get(), Qt::Key_Up);
    EXPECT_EQ(panel->Selected(), -1) << "Enter and Up do nothing without a selection";
    EXPECT_TRUE(scroller->activated.empty());

    QTest::keyClick(scroller.get(), Qt::Key_Down);
    EXPECT_EQ(panel->Selected(), 0);
    EXPECT_TRUE(panel->HighlightVisible());
    QTest::keyClick(scroller.get(), Qt::Key_Return);
    EXPECT_EQ(scroller->activated, std::vector<int>{0});

    // Down to row 20, below the view, and back up to row 2, above it: the list moves until
    // the selected row is in view.
    for (const int row : {20, 2}) {
        for (int key = 0; key < 30 && panel->Selected() != row; ++key)
            QTest::keyClick(scroller.get(), panel->Selected() < row ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(panel->Selected(), row);
        TickUntilRest(*scroller);
        EXPECT_LE(scroller->Offset() + (row + 1) * h, 640) << row;
        EXPECT_GE(scroller->Offset() + row * h, 0) << row;
        EXPECT_TRUE(scroller->IsInRestingRange());
    }

    // When the highlight has timed out, Enter does nothing.
    FireTimer(panel->HighlightTimer());
    EXPECT_FALSE(panel->HighlightVisible());
    QTest::keyClick(scroller.get(), Qt::Key_Return);
    EXPECT_EQ(scroller->activated.size(), 1u);
}

TEST_F(FingerScrollerTest, TheWheelScrollsByLinesWithinTheRange)
{
    auto scroller = MakeScroller(30);
    const int notch = QApplication::wheelScrollLines() * TheImageCache().DescriptionHeight();
    auto wheel = [&](int angle) {
        QWheelEvent event(QPointF(100, 100), QPointF(scroller->mapToGlobal(QPoint(100, 100))), QPoint(),
                          QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(scroller->Panel(), &event);
    };
    wheel(-120);
    EXPECT_EQ(scroller->Offset(), -notch);
    for (int i = 0; i < 20; ++i)
        wheel(120);
    EXPECT_EQ(scroller->Offset(), 0) << "the wheel stops at the top";
    for (int i = 0; i < 200; ++i)
        wheel(-120);
    TickUntilRest(*scroller);
    EXPECT_EQ(scroller->Offset(), 640 - scroller->Panel()->height()) << "and at the end";
}

} // namespace

TEST_F(FingerScrollerTest, AListTallerThanItsViewShowsWhereItStandsAndThatItMoves)
{
    auto fits = MakeScroller(3);
    EXPECT_TRUE(fits->ScrollIndicatorRect().isEmpty()) << "every row is in view";

    auto tall = MakeScroller(20, QSize(480, 300));
    const int content = tall->Panel()->height();
    const QRect atRest = tall->ScrollIndicatorRect();
    ASSERT_FALSE(atRest.isEmpty()) << "more rows lie below";
    EXPECT_GE(atRest.right(), 480 - 4) << "at the right edge";
    EXPECT_LE(atRest.top(), 3) << "at the top of the list";
    EXPECT_NEAR(atRest.height(), (300 - 4) * 300 / content, 1) << "as long as the share in view";
    // It stands out from the rows under it.
    const QImage image = Grab(tall.get());
    const QColor row = image.pixelColor(atRest.left() - 6, atRest.center().y());
    EXPECT_GE(ContrastRatio(image.pixelColor(atRest.center()), row), kMarkContrast);

    tall->SetScrollIndicatorEnabled(false);
    EXPECT_TRUE(tall->ScrollIndicatorRect().isEmpty());
}
