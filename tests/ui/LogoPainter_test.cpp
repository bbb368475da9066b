#include "ToolkitTestSupport.h"

#include "ui/toolkit/CLogoPainter.h"

namespace {

using LogoPainterTest = ToolkitTest;

QImage TestBanner()
{
    // First column green, the rest red with a blue last column.
    QImage banner(400, 81, QImage::Format_ARGB32_Premultiplied);
    banner.fill(QColor(200, 0, 0));
    for (int y = 0; y < 81; ++y) {
        banner.setPixelColor(0, y, QColor(0, 128, 0));
        banner.setPixelColor(399, y, QColor(0, 0, 255));
    }
    return banner;
}

TEST_F(LogoPainterTest, TheBannerIsScaledToTheHeightAndItsFirstColumnFillsTheRest)
{
    CLogoPainter logo;
    logo.SetImage(TestBanner());
    logo.resize(300, 30);
    logo.show();
    QImage image = Grab(&logo);
    EXPECT_TRUE(Near(image.pixelColor(70, 15), QColor(200, 0, 0), 2));
    const QColor lastOfPicture = image.pixelColor(147, 15);
    EXPECT_LT(lastOfPicture.green(), 60) << "the picture ends at 148";
    EXPECT_GT(lastOfPicture.red() + lastOfPicture.blue(), 150);
    for (const int x : {148, 200, 299})
        EXPECT_EQ(image.pixelColor(x, 15), QColor(0, 128, 0)) << x;

    // Narrower than the picture: the picture is cut off at the right edge.
    logo.resize(100, 30);
    image = Grab(&logo);
    EXPECT_TRUE(Near(image.pixelColor(99, 15), QColor(200, 0, 0), 2));
}

} // namespace
