#include "PixelContrast.h"
#include "ToolkitTestSupport.h"

#include "settings/AppSettings.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"
#include "ui/toolkit/ThemedPalette.h"

namespace {

using ScrollPanelTest = ToolkitTest;

TEST_F(ScrollPanelTest, RowsReadInEveryThemeAndOnlyTheSelectedOneIsHighlighted)
{
    const ImageCache& cache = TheImageCache();
    const int m = cache.Margin();
    const int s = cache.IconSize();
    const int h = CScrollPanel::DefaultRowHeight();

    // A live list repaints in each new theme without being rebuilt.
    auto scroller = MakeScroller(3);
    scroller->Panel()->SetSelection(0);
    scroller->Panel()->SetSelection(1);
    const int populated = scroller->populateCount;
    for (int index = 0; index < ColorTheme::kThemeCount; ++index) {
        SCOPED_TRACE(index);
        TheAppSettings().selectedTheme = index;
        RefreshForThemeChange();
        const ColorTheme& theme = ColorTheme::BuiltIn(index);
        const QImage image = Grab(scroller.get());
        const int w = image.width();

        // Below the three rows the scroller's background shows; row 0 is plain, row 1
        // highlighted.
        EXPECT_TRUE(Near(image.pixelColor(200, 3 * h + 20), theme.Color(1), 0));
        EXPECT_TRUE(Near(image.pixelColor(w - 3, 1), theme.Color(4), 3));
        EXPECT_TRUE(Near(image.pixelColor(w - 3, h + 1), theme.Color(6), 3));
        // Every text reads on the pixels beside it, at the top and the bottom of its row.
        const QRect caption(3 * m + s, m, 60, cache.CaptionHeight());
        const QRect description(3 * m + s, 2 * m + cache.CaptionHeight(), 60, cache.DescriptionHeight());
        for (int row = 0; row < 2; ++row) {
            SCOPED_TRACE(row == 1 ? "highlighted" : "plain");
            for (const QRect& text : {caption, description}) {
                const QRect area = text.translated(0, row * h);
                for (const int y : {area.top(), area.bottom()}) {
                    const QColor background = image.pixelColor(w - 3, y);
                    EXPECT_GE(HighestContrast(image, area, background), kTextContrast);
                }
            }
        }
    }
    EXPECT_EQ(scroller->populateCount, populated);

    // A stored theme number out of range means the first theme.
    for (const int index : {7, -1}) {
        TheAppSettings().selectedTheme = index;
        EXPECT_EQ(SelectedTheme().name, QStringLiteral("Black")) << index;
    }
}

TEST_F(ScrollPanelTest, APaintThatFindsTheRowsOutOfDateShowsTheNewRowsWhole)
{
    auto scroller = MakeScroller(3);
    scroller->count = 4;
    scroller->rebuildRequested = true;
    Grab(scroller.get());
    EXPECT_EQ(scroller->ItemCount(), 4);
    // The panel grows to four rows once the event loop has run the queued layout.
    QCoreApplication::processEvents();
    EXPECT_EQ(scroller->Panel()->height(), 4 * scroller->Panel()->RowHeight());
}

} // namespace
