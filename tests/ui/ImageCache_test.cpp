#include "ToolkitTestSupport.h"

#include "platform/MessageRecorder.h"
#include "platform/gui/DesktopFontSizes.h"
#include "ui/toolkit/ImageCache.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

using ImageCacheTest = ToolkitTest;

TEST_F(ImageCacheTest, ImagesComeFromTheFolderOrTheCompiledInCopiesAndAMissingOneIsNamed)
{
    QTemporaryDir folder;
    QTemporaryDir compiledIn;
    WriteTestPng(folder.filePath(QStringLiteral("a.png")), 96, QColor(200, 100, 50, 128));
    WriteTestPng(compiledIn.filePath(QStringLiteral("b.png")), 96, QColor(0, 255, 0));
    // A file that is there but does not decode falls back to the compiled-in copy.
    ASSERT_TRUE(WriteWholeFile(folder.filePath(QStringLiteral("b.png")), "\x89PNG garbage"));
    ImageCache& cache = TheImageCache();
    cache.SetImageFolder(folder.path());
    cache.SetCompiledInFolder(compiledIn.path());

    MessageRecorder messages;
    ASSERT_TRUE(cache.LoadImages({QStringLiteral("a.png"), QStringLiteral("b.png"), QStringLiteral("a.png")}));
    EXPECT_TRUE(messages.Messages().empty());
    ASSERT_EQ(cache.Images().size(), 3u);
    const QColor translucent = cache.Image(0).pixelColor(10, 10);
    EXPECT_EQ(translucent.alpha(), 128);
    EXPECT_TRUE(Near(translucent, QColor(200, 100, 50)));
    EXPECT_EQ(cache.Image(1).pixelColor(5, 5), QColor(0, 255, 0));

    // Without a compiled-in copy, a missing or undecodable file stops the loading with a
    // message that names it.
    cache.SetCompiledInFolder(QString());
    const struct
    {
        QStringList names;
        size_t loaded;
        const char* message;
        QString file;
    } cases[] = {
        {{QStringLiteral("a.png"), QStringLiteral("second.png"), QStringLiteral("third.png")},
         1,
         "Failed to create image from file",
         folder.filePath(QStringLiteral("second.png"))},
        {{QStringLiteral("b.png")}, 0, "Failed to create bitmap from image", QStringLiteral("b.png")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        messages.Clear();
        cache.ClearImages();
        EXPECT_FALSE(cache.LoadImages(c.names));
        EXPECT_EQ(cache.Images().size(), c.loaded) << "the images before the failed one stay";
        ASSERT_EQ(messages.Messages().size(), 1u);
        EXPECT_EQ(messages.Messages()[0].icon, MessageIcon::Error);
        EXPECT_TRUE(messages.Texts()[0].startsWith(QString::fromLatin1(c.message)));
        EXPECT_TRUE(messages.Texts()[0].contains(c.file));
    }
}

TEST_F(ImageCacheTest, DrawnTextFollowsTheDesktopsSizesButNeverGoesUnderItsSmallest)
{
    const struct
    {
        DesktopFontSizes desktop;
        qreal caption;
        qreal description;
    } cases[] = {
        {{9.0, 8.0}, 12.0, 8.0},
        {{11.0, 9.0}, 12.0 * 11 / 9, 8.0 * 11 / 9}, // all in proportion to a larger desktop font
        {{12.0, 12.0}, 16.0, 12.0},                 // no separate small font: nothing smaller
        {{6.0, 6.0}, 8.0, 6.0},
    };
    ImageCache& cache = TheImageCache();
    int previousRow = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop.general);
        SetDesktopFontSizesForTesting(c.desktop);
        cache.SetFontFamily(QStringLiteral("DejaVu Sans"));
        EXPECT_DOUBLE_EQ(cache.CaptionFont().pointSizeF(), c.caption);
        EXPECT_DOUBLE_EQ(cache.DescriptionFont().pointSizeF(), c.description);
        EXPECT_GE(cache.BigFont().pointSizeF(), c.desktop.smallest);
        const int row = cache.CaptionHeight() + cache.DescriptionHeight();
        EXPECT_TRUE(c.desktop.general <= 9.0 || row > previousRow) << "rows grow with the desktop's text";
        previousRow = row;
    }
    SetDesktopFontSizesForTesting({9.0, 8.0});
    cache.SetFontFamily(QStringLiteral("DejaVu Sans"));
}

} // namespace
