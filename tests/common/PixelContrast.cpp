#include "PixelContrast.h"

#include "ui/toolkit/Contrast.h"

QColor MostContrastingPixel(const QImage& image, const QRect& area, const QColor& background)
{
    QColor best = background;
    double highest = 1.0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const double ratio = ContrastRatio(pixel, background);
            if (ratio > highest) {
                highest = ratio;
                best = pixel;
            }
        }
    }
    return best;
}

double HighestContrast(const QImage& image, const QRect& area, const QColor& background)
{
    return ContrastRatio(MostContrastingPixel(image, area, background), background);
}
