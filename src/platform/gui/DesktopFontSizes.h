#pragma once

#include <QtGlobal>

/// Point sizes of the desktop's fonts, which the text the program draws itself follows.
struct DesktopFontSizes
{
    /// The desktop's normal text.
    qreal general = 9.0;
    /// Its smallest readable text: nothing the program draws is smaller.
    qreal smallest = 8.0;
};

/// The desktop's sizes, or the ones a test has set. The smallest size is never above the
/// general one.
DesktopFontSizes CurrentDesktopFontSizes();

/// Makes CurrentDesktopFontSizes() return `sizes`, whatever the platform says.
void SetDesktopFontSizesForTesting(DesktopFontSizes sizes);
