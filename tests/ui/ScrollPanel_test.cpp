#include "PixelContrast.h"
#include "ToolkitTestSupport.h"

#include "settings/AppSettings.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"
#include "ui/toolkit/ThemedPalette.h"

#include <QFontMetrics>
#include <QTemporaryDir>

namespace {

using ScrollPanelTest = ToolkitTest;

// True when some pixel of `area` has exactly (within 1) the colour `color`.
bool AreaShows(const QImage& image, QRect area, QColor color)
{
    area = area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (Near(image.pixelColor(x, y), color, 1))
                return true;
        }
    }
    return false;
}

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

    // A wider window draws the rows across its whole width.
    scroller->resize(580, 640);
    EXPECT_TRUE(Near(Grab(scroller.get()).pixelColor(577, 1), SelectedTheme().Color(4), 3));

    // A stored theme number out of range means the first theme.
    for (const int index : {7, -1}) {
        TheAppSettings().selectedTheme = index;
        EXPECT_EQ(SelectedTheme().name, QStringLiteral("Black")) << index;
    }
}

TEST_F(ScrollPanelTest, IconsAreBlendedIntoTheirSquareAndLongTextEndsInAnEllipsis)
{
    QTemporaryDir folder;
    WriteTestPng(folder.filePath(QStringLiteral("half.png")), 96, QColor(0, 0, 255, 128));
    ImageCache& cache = TheImageCache();
    cache.SetImageFolder(folder.path());
    cache.SetCompiledInFolder(QString());
    ASSERT_TRUE(cache.LoadImages({QStringLiteral("half.png")}));

    // Half-transparent blue over the row gradient: blended, not replaced.
    auto scroller = MakeScroller(2, QSize(480, 640), 0);
    const int m = cache.Margin();
    const int s = cache.IconSize();
    const QColor blended = Grab(scroller.get()).pixelColor(m + s / 2, scroller->Panel()->RowHeight() / 2);
    const QColor row = ColorTheme::BuiltIn(0).Color(4);
    EXPECT_GT(blended.blue(), row.blue() + 60);
    EXPECT_GT(blended.red(), row.red() / 3);

    // A window too narrow for the caption ends it in an ellipsis inside the text column.
    const QFontMetrics metrics(cache.CaptionFont());
    const int textLeft = 3 * m + s;
    const int available = metrics.horizontalAdvance(QStringLiteral("Row 0")) / 2;
    const int width = textLeft + available + m;
    auto narrow = MakeScroller(1, QSize(width, 200));
    const QImage narrowImage = Grab(narrow.get());
    const QColor text = SelectedTheme().Color(2);
    EXPECT_TRUE(AreaShows(narrowImage, QRect(textLeft, m, available, cache.CaptionHeight()), text));
    EXPECT_FALSE(AreaShows(narrowImage, QRect(width - m, m, m - 1, cache.CaptionHeight()), text));
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
