#include "ui/toolkit/ColorTheme.h"

#include "settings/AppSettings.h"
#include "ui/toolkit/ImageCache.h"

namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return r | (g << 8) | (b << 16);
}

struct ThemeRow
{
    const char16_t* name;
    std::array<uint32_t, ColorTheme::kColorCount> colors;
};

constexpr std::array<ThemeRow, ColorTheme::kThemeCount> kThemes = {{
    {u"Black",
     {Rgb(18, 19, 22), Rgb(255, 255, 255), Rgb(222, 222, 222), Rgb(53, 57, 66), Rgb(45, 49, 66), Rgb(12, 80, 180),
      Rgb(10, 40, 140), Rgb(84, 90, 102), Rgb(40, 42, 50), Rgb(222, 222, 222), Rgb(53, 57, 66), Rgb(222, 222, 222)}},
    {u"Purple",
     {Rgb(18, 19, 22), Rgb(255, 255, 255), Rgb(222, 222, 222), Rgb(78, 55, 70), Rgb(65, 46, 68), Rgb(12, 80, 180),
      Rgb(10, 40, 140), Rgb(95, 67, 85), Rgb(59, 42, 53), Rgb(222, 222, 222), Rgb(66, 47, 59), Rgb(222, 222, 222)}},
    {u"Green",
     {Rgb(18, 19, 22), Rgb(255, 255, 255), Rgb(222, 222, 222), Rgb(54, 66, 53), Rgb(40, 50, 40), Rgb(12, 80, 180),
      Rgb(10, 40, 140), Rgb(85, 107, 83), Rgb(32, 40, 32), Rgb(222, 222, 222), Rgb(46, 56, 45), Rgb(222, 222, 222)}},
    {u"Pink",
     {Rgb(171, 139, 153), Rgb(151, 68, 92), Rgb(125, 41, 83), Rgb(240, 220, 230), Rgb(232, 211, 220),
      Rgb(186, 168, 176), Rgb(153, 135, 144), Rgb(229, 212, 220), Rgb(205, 172, 187), Rgb(125, 41, 83),
      Rgb(224, 204, 213), Rgb(125, 41, 83)}},
    {u"White",
     {Rgb(205, 205, 205), Rgb(106, 106, 106), Rgb(118, 118, 118), Rgb(255, 255, 255), Rgb(240, 240, 240),
      Rgb(186, 186, 186), Rgb(153, 153, 153), Rgb(241, 241, 241), Rgb(229, 229, 229), Rgb(96, 96, 96),
      Rgb(248, 248, 248), Rgb(125, 125, 125)}},
}};

} // namespace

uint32_t ColorTheme::Value(int n) const
{
    return n >= 1 && n <= kColorCount ? colors[n - 1] : 0;
}

QColor ColorTheme::Color(int n) const
{
    const uint32_t value = Value(n);
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

bool ColorTheme::IsLight() const
{
    const uint32_t value = Value(1);
    return (value & 0xFF) + ((value >> 8) & 0xFF) + ((value >> 16) & 0xFF) >= 384;
}

ColorTheme ColorTheme::BuiltIn(int index)
{
    const ThemeRow& row = kThemes[index >= 0 && index < kThemeCount ? index : 0];
    ColorTheme theme;
    theme.colors = row.colors;
    theme.name = QString::fromUtf16(row.name);
    return theme;
}

const ColorTheme& SelectedTheme()
{
    return TheImageCache().Theme(TheAppSettings().selectedTheme);
}
