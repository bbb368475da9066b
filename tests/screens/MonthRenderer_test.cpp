#include "PageTestSupport.h"

#include "model/CivilDays.h"
#include "ui/screens/MonthItem.h"
#include "ui/screens/MonthRenderer.h"

using MonthRendererTest = PageTest;

TEST_F(MonthRendererTest, FebruaryHasTheDaysOfItsYearUnderTheFourHundredYearRule)
{
    // Every fourth year, but not every hundredth, unless it is also a four-hundredth.
    const struct
    {
        int year;
        int days;
    } februaries[] = {{2000, 29}, {1900, 28}, {2100, 28}, {2400, 29}, {2004, 29}, {2007, 28}};
    MonthRenderer& renderer = TheMonthRenderer();
    renderer.Prepare();
    const QSize size = renderer.LayoutFor(QSize(480, 640)).pageSize;
    for (const auto& february : februaries) {
        SCOPED_TRACE(february.year);
        EXPECT_EQ(DaysInMonth(february.year, 2), february.days);
        MonthItem page(2, february.year);
        renderer.RenderPage(page, size, nullptr);
        ASSERT_EQ(static_cast<int>(page.cells.size()), february.days) << "day cells drawn";
        // The 29th of a leap year falls on the weekday of the 1st, four rows below it.
        if (february.days == 29) {
            EXPECT_EQ(page.cells[28].left(), page.cells[0].left());
            EXPECT_GT(page.cells[28].top(), page.cells[21].top());
        }
    }
}
