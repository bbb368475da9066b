#pragma once

#include <QColor>

#include <initializer_list>

// Readability of colours by the contrast ratio of WCAG 2.x: text needs at least 4.5:1 against
// what lies under it, marks that carry meaning (brackets, corners, disc edges) at least 3:1.

inline constexpr double kTextContrast = 4.5;
inline constexpr double kMarkContrast = 3.0;

/// The relative luminance of an sRGB colour, 0 (black) to 1 (white); alpha is ignored.
double RelativeLuminance(const QColor& colour);

/// The contrast ratio of two colours, 1 (equal luminance) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

/// The lowest contrast ratio of `colour` against any of `backgrounds`.
double LowestContrast(const QColor& colour, std::initializer_list<QColor> backgrounds);

/// `preferred` when it reaches `minimum` against every colour of `backgrounds`; otherwise the
/// least mix of it with black or with white that does, so that the colour keeps as much of
/// its own hue as it can; black or white, whichever contrasts more, when neither reaches it.
QColor
ReadableColor(const QColor& preferred, std::initializer_list<QColor> backgrounds, double minimum = kTextContrast);

/// `a` mixed with `b`: `weightOfB` 0 gives `a`, 1 gives `b`.
QColor MixColors(const QColor& a, const QColor& b, double weightOfB);
