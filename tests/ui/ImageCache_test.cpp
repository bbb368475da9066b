#include "ToolkitTestSupport.h"

#include "platform/MessageRecorder.h"
#include "ui/toolkit/ImageCache.h"

#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>

namespace {

class ImageCacheTest : public ToolkitTest
{
};

TEST_F(ImageCacheTest, FontsHaveTheirPointSizesAndIconsTheirSize)
{
    const ImageCache& cache = TheImageCache();
    EXPECT_EQ(QFontInfo(cache.CaptionFont()).family(), QStringLiteral("DejaVu Sans"));
    EXPECT_DOUBLE_EQ(cache.CaptionFont().pointSizeF(), 12.0);
    EXPECT_TRUE(cache.CaptionFont().bold());
    EXPECT_DOUBLE_EQ(cache.DescriptionFont().pointSizeF(), 8.0);
    EXPECT_FALSE(cache.DescriptionFont().bold());
    EXPECT_DOUBLE_EQ(cache.BigFont().pointSizeF(), 10.5);
    EXPECT_TRUE(cache.BigFont().bold());
    EXPECT_EQ(cache.Margin(), cache.CaptionHeight() / 4);

    EXPECT_EQ(ImageCache::DeriveIconSize(16, 11, 4), 32);
    EXPECT_EQ(ImageCache::DeriveIconSize(32, 21, 8), 64);
    EXPECT_EQ(ImageCache::DeriveIconSize(40, 27, 10), 64);
    EXPECT_EQ(ImageCache::DeriveIconSize(8, 6, 2), 32);
}

TEST_F(ImageCacheTest, ImagesLoadWithPremultipliedAlphaFromTheFolderOrTheCompiledInCopies)
{
    QTemporaryDir folder;
    QTemporaryDir compiledIn;
    WriteTestPng(folder.filePath(QStringLiteral("a.png")), 96, QColor(200, 100, 50, 128));
    WriteTestPng(compiledIn.filePath(QStringLiteral("b.png")), 96, QColor(0, 255, 0));
    // A file that is there but does not decode also falls back to the compiled-in copy.
    QFile broken(folder.filePath(QStringLiteral("b.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();

    ImageCache& cache = TheImageCache();
    cache.SetImageFolder(folder.path());
    cache.SetCompiledInFolder(compiledIn.path());
    MessageRecorder messages;
    ASSERT_TRUE(cache.LoadImages({QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("a.png")}));
    EXPECT_TRUE(messages.Messages().empty());
    ASSERT_EQ(cache.Images().size(), 3u);
    const QImage& a = cache.Images()[0];
    EXPECT_EQ(a.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(a.size(), QSize(96, 96));
    // Stored premultiplied: each colour component scaled by the alpha.
    const QRgb stored = reinterpret_cast<const QRgb*>(a.constScanLine(10))[10];
    EXPECT_EQ(qAlpha(stored), 128);
    EXPECT_NEAR(qRed(stored), 100, 1);
    EXPECT_NEAR(qGreen(stored), 50, 1);
    EXPECT_NEAR(qBlue(stored), 25, 1);
    EXPECT_EQ(cache.Image(1).pixelColor(5, 5), QColor(0, 255, 0));
    EXPECT_TRUE(cache.Image(3).isNull());
    EXPECT_TRUE(cache.Image(-1).isNull());
}

TEST_F(ImageCacheTest, AMissingOrUndecodableFileStopsLoadingWithAMessageNamingIt)
{
    QTemporaryDir folder;
    WriteTestPng(folder.filePath(QStringLiteral("first.png")), 96, QColor(1, 2, 3));
    QFile broken(folder.filePath(QStringLiteral("broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG garbage");
    broken.close();
    ImageCache& cache = TheImageCache();
    cache.SetImageFolder(folder.path());
    cache.SetCompiledInFolder(QString());

    MessageRecorder messages;
    EXPECT_FALSE(
        cache.LoadImages({QStringLiteral("first.png"), QStringLiteral("second.png"), QStringLiteral("third.png")}));
    EXPECT_EQ(cache.Images().size(), 1u) << "the image before the missing one stays";
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Error);
    EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("Failed to create image from file")));
    EXPECT_TRUE(messages.Texts()[0].contains(folder.filePath(QStringLiteral("second.png"))));

    messages.Clear();
    cache.ClearImages();
    EXPECT_FALSE(cache.LoadImages({QStringLiteral("broken.png")}));
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_TRUE(messages.Texts()[0].startsWith(QStringLiteral("Failed to create bitmap from image")));
    EXPECT_TRUE(messages.Texts()[0].contains(QStringLiteral("broken.png")));
    EXPECT_TRUE(cache.Images().empty());
}

} // namespace
