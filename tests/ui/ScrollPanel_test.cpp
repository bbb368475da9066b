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

class ScrollPanelTest : public ToolkitTest
{
};

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

TEST_F(ScrollPanelTest, RowsAreDrawnInTheColoursOfEveryTheme)
{
    const ImageCache& cache = TheImageCache();
    const int m = cache.Margin();
    const int s = cache.IconSize();
    // With DejaVu Sans the metrics give the row height of the row formula.
    const int h = CScrollPanel::DefaultRowHeight();
    EXPECT_EQ(h, std::max(m + cache.DescriptionHeight() + cache.CaptionHeight(), s) + 2 * m);

    // A live list repaints in each new theme without being rebuilt.
    auto scroller = MakeScroller(3);
    const int populated = scroller->populateCount;
    for (int index = 0; index < ColorTheme::kThemeCount; ++index) {
        SCOPED_TRACE(index);
        TheAppSettings().selectedTheme = index;
        RefreshForThemeChange();
        scroller->Panel()->SetSelection(1);
        const ColorTheme& theme = ColorTheme::BuiltIn(index);
        const QImage image = Grab(scroller.get());
        const int w = image.width();

        // Below the three rows the scroller's background shows.
        EXPECT_TRUE(Near(image.pixelColor(200, 3 * h + 20), theme.Color(1), 0));
        // Row 0: frame edges, separator groove, gradient ends.
        EXPECT_TRUE(Near(image.pixelColor(100, 0), theme.Color(8), 0));
        EXPECT_TRUE(Near(image.pixelColor(0, h / 2), theme.Color(8), 0));
        EXPECT_TRUE(Near(image.pixelColor(100, h - 1), theme.Color(9), 0));
        EXPECT_TRUE(Near(image.pixelColor(w - 1, h / 2), theme.Color(9), 0));
        EXPECT_TRUE(Near(image.pixelColor(s + 2 * m - 1, h / 2), theme.Color(8), 0));
        EXPECT_TRUE(Near(image.pixelColor(s + 2 * m, h / 2), theme.Color(9), 0));
        EXPECT_TRUE(Near(image.pixelColor(w - 3, 1), theme.Color(4), 3));
        EXPECT_TRUE(Near(image.pixelColor(w - 3, h - 2), theme.Color(5), 3));
        // Caption in colour 2, description in colour 3, both in the text column, each made
        // darker or lighter where it would not read on the theme's gradient.
        const QRect caption(3 * m + s, m, 60, cache.CaptionHeight());
        const QRect description(3 * m + s, 2 * m + cache.CaptionHeight(), 60, cache.DescriptionHeight());
        EXPECT_TRUE(AreaShows(image, caption, ReadableColor(theme.Color(2), {theme.Color(4), theme.Color(5)})));
        EXPECT_TRUE(AreaShows(image, description, ReadableColor(theme.Color(3), {theme.Color(4), theme.Color(5)})));
        // Nothing is written into the icon column of a row without an icon.
        EXPECT_FALSE(AreaShows(image, QRect(m, m, s, s), theme.Color(2)));
        // Row 1 is highlighted: gradient 6 to 7, text in colour 12 made readable on it.
        EXPECT_TRUE(Near(image.pixelColor(w - 3, h + 1), theme.Color(6), 3));
        EXPECT_TRUE(Near(image.pixelColor(w - 3, 2 * h - 2), theme.Color(7), 3));
        EXPECT_TRUE(AreaShows(image, caption.translated(0, h),
                              ReadableColor(theme.Color(12), {theme.Color(6), theme.Color(7)})));

        // Every text reads on the pixels beside it, at the top and the bottom of its row.
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
}

TEST_F(ScrollPanelTest, RowsAndTapsMatchAtEveryWindowSize)
{
    const int h = CScrollPanel::DefaultRowHeight();
    for (const QSize size : {QSize(240, 320), QSize(480, 640), QSize(800, 480)}) {
        SCOPED_TRACE(size.width());
        auto scroller = MakeScroller(12, size);
        CScrollPanel* panel = scroller->Panel();
        EXPECT_EQ(panel->geometry(), QRect(0, 0, size.width(), 12 * h));
        EXPECT_EQ(panel->GetItemRect(5), QRect(0, 5 * h, size.width(), h));
        const QImage image = Grab(scroller.get());
        for (int row = 0; row < std::min(12, size.height() / h); ++row) {
            EXPECT_TRUE(Near(image.pixelColor(size.width() / 2, row * h), SelectedTheme().Color(8), 0));
            EXPECT_TRUE(Near(image.pixelColor(size.width() - 1, row * h + h / 2), SelectedTheme().Color(9), 0));
        }
        // The first and the last pixel line of a row belong to it.
        for (const int y : {4 * h, 4 * h + h - 1, 0}) {
            scroller->activated.clear();
            SendMouse(scroller.get(), QEvent::MouseButtonPress, QPoint(size.width() - 10, y), Qt::LeftButton,
                      Qt::LeftButton);
            SendMouse(scroller.get(), QEvent::MouseButtonRelease, QPoint(size.width() - 10, y), Qt::LeftButton,
                      Qt::NoButton);
            EXPECT_EQ(scroller->activated, std::vector<int>{y / h});
        }
        // A resize lays the rows out at the new width.
        scroller->resize(size.width() + 100, size.height());
        EXPECT_EQ(panel->width(), size.width() + 100);
        EXPECT_EQ(panel->BackBuffer().deviceIndependentSize().toSize(), panel->size());
    }
}

TEST_F(ScrollPanelTest, TheHighlightEndsAfterFiveSecondsAndANewSelectionRestartsIt)
{
    auto scroller = MakeScroller(4);
    CScrollPanel* panel = scroller->Panel();
    const int h = panel->RowHeight();
    const ColorTheme& theme = SelectedTheme();
    panel->SetSelection(1);
    panel->SetSelection(2);
    QTimer& timer = panel->HighlightTimer();
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 5000);
    QImage image = Grab(scroller.get());
    EXPECT_TRUE(Near(image.pixelColor(470, h + 1), theme.Color(4), 3)) << "one highlight only";
    EXPECT_TRUE(Near(image.pixelColor(470, 2 * h + 1), theme.Color(6), 3));

    FireTimer(timer);
    EXPECT_FALSE(panel->HighlightVisible());
    EXPECT_EQ(panel->Selected(), 2) << "the selection stays";
    image = Grab(scroller.get());
    EXPECT_TRUE(Near(image.pixelColor(470, 2 * h + 1), theme.Color(4), 3));
}

TEST_F(ScrollPanelTest, IconsAreBlendedIntoTheirSquareAndLongTextEndsInAnEllipsis)
{
    QTemporaryDir folder;
    WriteTestPng(folder.filePath(QStringLiteral("solid.png")), 96, QColor(250, 10, 10));
    WriteTestPng(folder.filePath(QStringLiteral("half.png")), 96, QColor(0, 0, 255, 128));
    ImageCache& cache = TheImageCache();
    cache.SetImageFolder(folder.path());
    cache.SetCompiledInFolder(QString());
    ASSERT_TRUE(cache.LoadImages({QStringLiteral("solid.png"), QStringLiteral("half.png")}));

    auto scroller = MakeScroller(2, QSize(480, 640), 0);
    const int m = cache.Margin();
    const int s = cache.IconSize();
    const int h = scroller->Panel()->RowHeight();
    const int iconTop = (h - s) / 2;
    QImage image = Grab(scroller.get());
    EXPECT_TRUE(Near(image.pixelColor(m + s / 2, iconTop + s / 2), QColor(250, 10, 10), 1));
    EXPECT_TRUE(Near(image.pixelColor(m + 1, iconTop + 1), QColor(250, 10, 10), 1));
    EXPECT_FALSE(Near(image.pixelColor(m - 1, iconTop + s / 2), QColor(250, 10, 10), 60));
    EXPECT_FALSE(Near(image.pixelColor(m + s + 1, iconTop + s / 2), QColor(250, 10, 10), 60));

    // Half-transparent blue over the row gradient: blended, not replaced.
    scroller->iconIndex = 1;
    scroller->Rebuild();
    image = Grab(scroller.get());
    const QColor blended = image.pixelColor(m + s / 2, iconTop + s / 2);
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

TEST_F(ScrollPanelTest, APaintThatFindsTheRowsOutOfDateRebuildsThemInThatSamePaint)
{
    auto scroller = MakeScroller(3);
    const int before = scroller->populateCount;
    scroller->count = 4;
    scroller->rebuildRequested = true;
    const QImage image = Grab(scroller.get());
    EXPECT_EQ(scroller->populateCount, before + 1);
    EXPECT_EQ(scroller->ItemCount(), 4);
    // The panel grows to four rows once the event loop has run the queued layout.
    QCoreApplication::processEvents();
    EXPECT_EQ(scroller->Panel()->height(), 4 * scroller->Panel()->RowHeight());
    (void)image;
}

TEST_F(ScrollPanelTest, AThemeNumberOutOfRangeMeansBlack)
{
    for (const int index : {7, -1}) {
        TheAppSettings().selectedTheme = index;
        EXPECT_EQ(SelectedTheme().name, QStringLiteral("Black")) << index;
    }
}

} // namespace
