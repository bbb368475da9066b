#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

// Contrast measured on rendered pixels, for the readability tests of every screen.

/// The highest contrast ratio any pixel of `area` has against `background`: for antialiased
/// text, that of its strokes' own colour.
double HighestContrast(const QImage& image, const QRect& area, const QColor& background);

/// The pixel of `area` that differs most from `background` in contrast.
QColor MostContrastingPixel(const QImage& image, const QRect& area, const QColor& background);
