#include "ToolkitTestSupport.h"

#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>

namespace {

class FingerScrollerTest : public ToolkitTest
{
};

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

TEST_F(FingerScrollerTest, DragMovesTheListByTheDragDistanceAndATapActivatesTheRowUnderThePress)
{
    auto scroller = MakeScroller(30);
    CScrollPanel* panel = scroller->Panel();
    const int h = panel->RowHeight();
    ASSERT_EQ(panel->height(), 30 * h);

    // Drag up by 50 and then 70 pixels, one step per tick; a move within a tick is dropped.
    const QPoint start(200, 300);
    SendMouse(panel, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(scroller->IsTimerRunning());
    scroller->OnTimerTick();
    SendMouse(panel, QEvent::MouseMove, start + QPoint(0, -50), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(scroller->Offset(), -50);
    SendMouse(panel, QEvent::MouseMove, start + QPoint(0, -60), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(scroller->Offset(), -50) << "a second move in the same tick is dropped";
    scroller->OnTimerTick();
    // The pointer is 120 px above the press on the screen; in the moved panel that is 70 px.
    SendMouse(panel, QEvent::MouseMove, start + QPoint(0, -70), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(scroller->Offset(), -120);
    EXPECT_EQ(panel->y(), -120);
    // Resting a whole tick before lifting sets no velocity: the list stays where it is.
    scroller->OnTimerTick();
    SendMouse(panel, QEvent::MouseButtonRelease, start + QPoint(0, -70), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(scroller->Velocity(), 0.0f);
    TickUntilRest(*scroller);
    EXPECT_EQ(scroller->Offset(), -120);
    EXPECT_TRUE(scroller->activated.empty()) << "a gesture that scrolled is no tap";

    // A tap at panel y = 3.5 rows (the list is scrolled) activates row 3, and only it.
    const QPoint tap(100, 3 * h + h / 2);
    SendMouse(panel, QEvent::MouseButtonPress, tap, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel, QEvent::MouseButtonRelease, tap + QPoint(30, 0), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(scroller->activated, std::vector<int>{3});
    EXPECT_EQ(panel->Selected(), 3);
    EXPECT_FALSE(scroller->IsTimerRunning());

    // The second click of a double click is no second tap; other buttons do nothing.
    SendMouse(panel, QEvent::MouseButtonDblClick, tap, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel, QEvent::MouseButtonRelease, tap, Qt::LeftButton, Qt::NoButton);
    SendMouse(panel, QEvent::MouseButtonPress, tap, Qt::RightButton, Qt::RightButton);
    SendMouse(panel, QEvent::MouseButtonRelease, tap, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(scroller->activated.size(), 1u);

    // A tap below the last row of a short list finds no row.
    auto shortList = MakeScroller(2);
    SendMouse(shortList.get(), QEvent::MouseButtonPress, QPoint(100, 600), Qt::LeftButton, Qt::LeftButton);
    SendMouse(shortList.get(), QEvent::MouseButtonRelease, QPoint(100, 600), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(shortList->activated.empty());
}

TEST_F(FingerScrollerTest, AFlickGlidesOnAndTheSpringStopsItAtEitherEnd)
{
    auto scroller = MakeScroller(30);
    const int panelHeight = scroller->Panel()->height();

    // Last drag step 30 px up: 600 px/s; the first tick moves 600 x 0.85 x 0.05 = 25 px.
    Flick(*scroller, QPoint(200, 400), {-10, -30});
    EXPECT_FLOAT_EQ(scroller->Velocity(), -600.0f);
    EXPECT_EQ(scroller->Offset(), -40);
    scroller->OnTimerTick();
    EXPECT_EQ(scroller->Offset(), -65);
    // It decelerates and comes to rest inside the list.
    TickUntilRest(*scroller);
    EXPECT_FALSE(scroller->IsTimerRunning());
    EXPECT_LT(scroller->Offset(), -100);
    EXPECT_TRUE(scroller->IsInRestingRange());

    // A last step of 80 px is clamped to 1000 px/s; the first tick moves 42 px.
    const int before = scroller->Offset();
    Flick(*scroller, QPoint(200, 500), {-80});
    EXPECT_FLOAT_EQ(scroller->Velocity(), -1000.0f);
    scroller->OnTimerTick();
    EXPECT_EQ(scroller->Offset(), before - 80 - 42);

    // Flicked hard towards the end, the list overshoots and springs back to its bottom.
    for (int i = 0; i < 6; ++i) {
        Flick(*scroller, QPoint(200, 600), {-200});
        scroller->OnTimerTick();
    }
    TickUntilRest(*scroller);
    EXPECT_EQ(scroller->Offset(), 640 - panelHeight);

    // And towards the start, it springs back to 0.
    for (int i = 0; i < 12; ++i) {
        Flick(*scroller, QPoint(200, 100), {200});
        scroller->OnTimerTick();
    }
    TickUntilRest(*scroller);
    EXPECT_EQ(scroller->Offset(), 0);

    // A list shorter than its view springs back to its top from both sides.
    auto shortList = MakeScroller(3);
    for (const int drag : {-150, 150}) {
        Flick(*shortList, QPoint(100, 50), {drag / 3, drag / 3, drag / 3});
        TickUntilRest(*shortList);
        EXPECT_EQ(shortList->Panel()->y(), 0) << "after dragging by " << drag;
    }
}

TEST_F(FingerScrollerTest, TheSlideInClosesSeventyPercentPerTickAndATapDuringItStillActivates)
{
    auto scroller = std::make_unique<TestScroller>(12);
    scroller->resize(480, 640);
    scroller->show();
    ASSERT_TRUE(scroller->IsCreated()) << "showing creates the scroller";
    // Started at 2 x 640 below its place, with one step already taken.
    int expected = 1280;
    expected -= std::max(1, static_cast<int>(expected * 0.7));
    EXPECT_EQ(scroller->Offset(), expected);
    for (int tick = 0; tick < 4; ++tick) {
        scroller->OnTimerTick();
        expected -= std::max(1, static_cast<int>(expected * 0.7));
        ASSERT_EQ(scroller->Offset(), expected);
    }
    ASSERT_GT(expected, 0);

    // A tap while it still slides activates the row under the press point and the spring
    // still brings the list home.
    CScrollPanel* panel = scroller->Panel();
    const int h = panel->RowHeight();
    const QPoint onScroller(100, expected + 2 * h + h / 2);
    SendMouse(scroller.get(), QEvent::MouseButtonPress, onScroller, Qt::LeftButton, Qt::LeftButton);
    SendMouse(scroller.get(), QEvent::MouseButtonRelease, onScroller, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(scroller->activated, std::vector<int>{2});
    EXPECT_TRUE(scroller->IsTimerRunning());
    TickUntilRest(*scroller);
    EXPECT_EQ(scroller->Offset(), 0);
    EXPECT_FALSE(scroller->IsTimerRunning());
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

    // Down to row 20, which lies below the view: the list moves until the row is in view.
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(scroller.get(), Qt::Key_Down);
    ASSERT_EQ(panel->Selected(), 20);
    TickUntilRest(*scroller);
    EXPECT_LE(scroller->Offset() + 21 * h, 640);
    EXPECT_GE(scroller->Offset() + 20 * h, 0);
    EXPECT_TRUE(scroller->IsInRestingRange());

    // Back up to row 2, above the view.
    for (int i = 0; i < 18; ++i)
        QTest::keyClick(scroller.get(), Qt::Key_Up);
    TickUntilRest(*scroller);
    EXPECT_GE(scroller->Offset() + 2 * h, 0);
    EXPECT_TRUE(scroller->IsInRestingRange());

    // When the highlight has timed out, Enter does nothing.
    FireTimer(panel->HighlightTimer());
    EXPECT_FALSE(panel->HighlightVisible());
    QTest::keyClick(scroller.get(), Qt::Key_Return);
    EXPECT_EQ(scroller->activated.size(), 1u);
}

TEST_F(FingerScrollerTest, TheWheelScrollsByLinesAndTheTouchpadByPixelsWithinTheRange)
{
    auto scroller = MakeScroller(30);
    const int line = TheImageCache().DescriptionHeight();
    const int notch = QApplication::wheelScrollLines() * line;
    auto wheel = [&](QPoint pixels, QPoint angle) {
        QWheelEvent event(QPointF(100, 100), QPointF(scroller->mapToGlobal(QPoint(100, 100))), pixels, angle,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(scroller->Panel(), &event);
    };
    wheel(QPoint(), QPoint(0, -120));
    EXPECT_EQ(scroller->Offset(), -notch);
    wheel(QPoint(), QPoint(0, -60));
    wheel(QPoint(), QPoint(0, -60));
    EXPECT_EQ(scroller->Offset(), -2 * notch) << "half notches add up";
    wheel(QPoint(0, -7), QPoint(0, -120));
    EXPECT_EQ(scroller->Offset(), -2 * notch - 7) << "a touchpad's pixels are used as they are";
    for (int i = 0; i < 20; ++i)
        wheel(QPoint(), QPoint(0, 120));
    EXPECT_EQ(scroller->Offset(), 0) << "the wheel stops at the top";
    for (int i = 0; i < 200; ++i)
        wheel(QPoint(), QPoint(0, -120));
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
    ASSERT_GT(content, 2 * 300);
    const QRect atRest = tall->ScrollIndicatorRect();
    ASSERT_FALSE(atRest.isEmpty()) << "more rows lie below";
    EXPECT_LE(atRest.width(), 4) << "thin while nothing moves";
    EXPECT_GE(atRest.right(), 480 - 4);
    EXPECT_LE(atRest.top(), 3) << "at the top of the list";
    EXPECT_NEAR(atRest.height(), (300 - 4) * 300 / content, 1) << "as long as the share in view";
    // It stands out from the rows under it.
    const QImage image = Grab(tall.get());
    const QColor row = image.pixelColor(atRest.left() - 6, atRest.center().y());
    EXPECT_GE(ContrastRatio(image.pixelColor(atRest.center()), row), kMarkContrast);

    // A drag widens it and moves it down as the list moves up; at rest it is thin again.
    Flick(*tall, QPoint(200, 250), {-40, -40, -40});
    const QRect moving = tall->ScrollIndicatorRect();
    EXPECT_GT(moving.width(), atRest.width());
    EXPECT_GT(moving.top(), atRest.top());
    TickUntilRest(*tall);
    const QRect after = tall->ScrollIndicatorRect();
    EXPECT_EQ(after.width(), atRest.width());
    const double share = -tall->Offset() / static_cast<double>(content - 300);
    EXPECT_NEAR(after.top(), 2 + share * (300 - 4 - after.height()), 1);
    // At the end of the list it reaches the bottom.
    tall->ScrollBy(-content);
    TickUntilRest(*tall);
    EXPECT_NEAR(tall->ScrollIndicatorRect().bottom(), 300 - 3, 1);

    tall->SetScrollIndicatorEnabled(false);
    EXPECT_TRUE(tall->ScrollIndicatorRect().isEmpty());
}
