#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>

/// A colour theme: a name and twelve numbered colours. Colours are stored as 32-bit values
/// with red in the lowest byte, then green, then blue.
///
/// Roles: 1 background of every finger scroller (and light or dark drop images);
/// 2 heading text; 3 body text; 4, 5 top and bottom of the row and month-page gradient;
/// 6, 7 gradient of a highlighted row; 8, 9 frame, top-left and bottom-right edges;
/// 10, 11 text and background of themed dialogs; 12 text of a highlighted row.
struct ColorTheme
{
    static constexpr int kThemeCount = 5;
    static constexpr int kColorCount = 12;

    QString name;
    std::array<uint32_t, kColorCount> colors{};

    /// Colour n, 1 to 12; an out-of-range n gives black.
    QColor Color(int n) const;

    /// The raw value of colour n, 1 to 12.
    uint32_t Value(int n) const;

    /// Light when the red, green and blue components of colour 1 add up to 384 or more.
    bool IsLight() const;

    /// The built-in theme `index` (0 "Black", 1 "Purple", 2 "Green", 3 "Pink", 4 "White");
    /// an index outside 0 to 4 gives theme 0.
    static ColorTheme BuiltIn(int index);
};

/// The theme selected in the settings (selectedTheme), looked up in the ImageCache's list
/// at this moment; an index out of range gives theme 0. Painters call it on every paint.
const ColorTheme& SelectedTheme();
