#include "ui/toolkit/ImageCache.h"

#include "platform/MessageBox.h"
#include "platform/gui/DesktopFontSizes.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImageReader>

#include <algorithm>

namespace {
// The desktop text size the handheld's sizes below were chosen against.
constexpr qreal kHandheldTextPoints = 9.0;

QString ChooseFamily(const QString& requested)
{
    if (!requested.isEmpty())
        return requested;
    // The desktop's own sans font when it is really installed; otherwise DejaVu Sans, which
    // the program depends on, rather than whatever a fallback lookup would pick.
    const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (!general.isEmpty() && QFontDatabase::families().contains(general))
        return general;
    return QStringLiteral("DejaVu Sans");
}

QFont MakeFont(const QString& family, qreal points, bool bold)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
} // namespace

ImageCache::ImageCache() : m_compiledInFolder(QStringLiteral(":/png/"))
{
    BuildFonts(QString());
    for (int i = 0; i < ColorTheme::kThemeCount; ++i)
        m_themes.push_back(ColorTheme::BuiltIn(i));
    const QString exeFolder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QStringLiteral(".");
    SetImageFolder(exeFolder + QStringLiteral("/png/"));
}

void ImageCache::SetFontFamily(const QString& family)
{
    BuildFonts(family);
}

void ImageCache::BuildFonts(const QString& requested)
{
    const QString family = ChooseFamily(requested);
    // The handheld's sizes grow and shrink with the desktop's text, but never below its
    // smallest readable size: on a large monitor with a large desktop font the secondary
    // lines stay as readable as the rest of the desktop.
    const DesktopFontSizes desktop = CurrentDesktopFontSizes();
    const auto points = [&desktop](qreal handheldPoints) {
        return std::max(handheldPoints * desktop.general / kHandheldTextPoints, desktop.smallest);
    };
    m_captionFont = MakeFont(family, points(12.0), true);
    m_descriptionFont = MakeFont(family, points(8.0), false);
    m_bigFont = MakeFont(family, points(10.5), true);
    m_captionHeight = QFontMetrics(m_captionFont).height();
    m_descriptionHeight = QFontMetrics(m_descriptionFont).height();
    m_margin = m_captionHeight / 4;
    m_iconSize = DeriveIconSize(m_captionHeight, m_descriptionHeight, m_margin);
}

int ImageCache::DeriveIconSize(int captionHeight, int descriptionHeight, int margin)
{
    const int size = (captionHeight + margin + descriptionHeight + 8) / 16 * 16;
    return std::clamp(size, 32, 64);
}

const ColorTheme& ImageCache::Theme(int index) const
{
    return m_themes[index >= 0 && index < static_cast<int>(m_themes.size()) ? index : 0];
}

QStringList ImageCache::ThemeNames() const
{
    QStringList names;
    for (const ColorTheme& theme : m_themes)
        names << theme.name;
    return names;
}

void ImageCache::SetImageFolder(const QString& folder)
{
    m_imageFolder = folder;
    if (!m_imageFolder.isEmpty() && !m_imageFolder.endsWith(QLatin1Char('/')))
        m_imageFolder += QLatin1Char('/');
}

void ImageCache::SetCompiledInFolder(const QString& folder)
{
    m_compiledInFolder = folder;
    if (!m_compiledInFolder.isEmpty() && !m_compiledInFolder.endsWith(QLatin1Char('/')))
        m_compiledInFolder += QLatin1Char('/');
}

QImage ImageCache::LoadBitmapFromFile(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull())
        return image;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool ImageCache::LoadImages(const QStringList& names)
{
    for (const QString& name : names) {
        const QString path = m_imageFolder + name;
        const bool present = QFile::exists(path);
        QImage image = present ? LoadBitmapFromFile(path) : QImage();
        if (image.isNull() && !m_compiledInFolder.isEmpty())
            image = LoadBitmapFromFile(m_compiledInFolder + name);
        if (image.isNull()) {
            const QString reason = present ? QStringLiteral("Failed to create bitmap from image")
                                           : QStringLiteral("Failed to create image from file");
            ShowMessage(QStringLiteral("%1\n%2").arg(reason, path), MessageButtons::Ok, MessageIcon::Error);
            return false;
        }
        m_images.push_back(std::move(image));
    }
    return true;
}

QImage ImageCache::Image(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_images.size()))
        return {};
    return m_images[index];
}

void ImageCache::ClearImages()
{
    m_images.clear();
}

QStringList ImageCache::StartupImageNames()
{
    return {
        QStringLiteral("bullet_ball_glass_blue.png"),   QStringLiteral("bullet_ball_glass_green.png"),
        QStringLiteral("bullet_ball_glass_grey.png"),   QStringLiteral("bullet_ball_glass_grey.png"),
        QStringLiteral("bullet_ball_glass_red.png"),    QStringLiteral("bullet_ball_glass_yellow.png"),
        QStringLiteral("buttondrops-bright.png"),       QStringLiteral("buttondrops-dull.png"),
        QStringLiteral("buttondrops-white-bright.png"), QStringLiteral("buttondrops-white-dull.png"),
    };
}

ImageCache& TheImageCache()
{
    static ImageCache cache;
    return cache;
}
