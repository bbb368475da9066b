#pragma once

#include "ui/toolkit/ColorTheme.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

/// The drawing resources every painter shares: the three fonts and the row metrics derived
/// from them, the five colour themes, and the images decoded once from PNG files into
/// premultiplied ARGB. One process-wide object (TheImageCache).
class ImageCache
{
public:
    /// Fonts, metrics and themes are ready at once; the image folder is the executable's
    /// folder followed by "png/"; no images yet.
    ImageCache();

    ImageCache(const ImageCache&) = delete;
    ImageCache& operator=(const ImageCache&) = delete;

    /// Bold 12-point on a 9-point desktop, in proportion on others: row captions, month titles.
    const QFont& CaptionFont() const
    {
        return m_captionFont;
    }
    /// Normal 8-point on a 9-point desktop, never under the desktop's smallest readable size:
    /// row descriptions, weekday letters, day numbers.
    const QFont& DescriptionFont() const
    {
        return m_descriptionFont;
    }
    /// Bold 10.5-point on a 9-point desktop: prominent texts of some dialogs.
    const QFont& BigFont() const
    {
        return m_bigFont;
    }
    int CaptionHeight() const
    {
        return m_captionHeight;
    }
    int DescriptionHeight() const
    {
        return m_descriptionHeight;
    }
    /// Side of the square row icons, 32 to 64 pixels.
    int IconSize() const
    {
        return m_iconSize;
    }
    /// Spacing unit of list rows.
    int Margin() const
    {
        return m_margin;
    }

    /// Rebuilds the fonts in `family` (empty: the desktop's sans font, DejaVu Sans when it
    /// has none) at the desktop's current text sizes and derives the metrics again.
    void SetFontFamily(const QString& family);

    /// The icon side for the given heights: their sum plus margin and 8, rounded down to a
    /// multiple of 16, then kept within 32 to 64.
    static int DeriveIconSize(int captionHeight, int descriptionHeight, int margin);

    /// The theme at `index`; an index outside the list gives theme 0.
    const ColorTheme& Theme(int index) const;
    const std::vector<ColorTheme>& Themes() const
    {
        return m_themes;
    }
    QStringList ThemeNames() const;

    /// Folder the image files are read from, ending in a slash.
    const QString& ImageFolder() const
    {
        return m_imageFolder;
    }
    void SetImageFolder(const QString& folder);

    /// Folder of the compiled-in copies, tried when a file is missing from the image folder
    /// or does not decode; empty for none (tests).
    const QString& CompiledInFolder() const
    {
        return m_compiledInFolder;
    }
    void SetCompiledInFolder(const QString& folder);

    /// Decodes the named images in order and appends them. A name that decodes neither from
    /// the image folder nor from the compiled-in copies stops loading with an error message
    /// naming the file; the images appended before stay. Returns false then.
    bool LoadImages(const QStringList& names);

    /// Decodes one file into premultiplied ARGB; a null image when it cannot.
    static QImage LoadBitmapFromFile(const QString& path);

    /// The decoded images, in the order they were loaded.
    const std::vector<QImage>& Images() const
    {
        return m_images;
    }
    /// Image `index`; a null image when there is none.
    QImage Image(int index) const;
    void ClearImages();

    /// The ten images the program loads at start-up, by index: the five bullet balls (grey
    /// twice, indices 2 and 3), then the four drop bars.
    static QStringList StartupImageNames();

private:
    void BuildFonts(const QString& family);

    QFont m_captionFont;
    QFont m_descriptionFont;
    QFont m_bigFont;
    int m_captionHeight = 0;
    int m_descriptionHeight = 0;
    int m_iconSize = 32;
    int m_margin = 0;
    QString m_imageFolder;
    QString m_compiledInFolder;
    std::vector<ColorTheme> m_themes;
    std::vector<QImage> m_images;
};

/// The process-wide image cache, made on first use (after the application object exists).
ImageCache& TheImageCache();
