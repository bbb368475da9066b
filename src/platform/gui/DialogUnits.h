#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

/// Maps dialog units to pixels for one dialog font, so that layouts drawn for the handheld
/// keep their proportions with any font: horizontally a unit is a quarter of the font's
/// average character width, vertically an eighth of its height.
class DialogUnits
{
public:
    /// Base units of `font`: the width of the 52 letters A to Z and a to z divided by 52,
    /// rounded up, and the font's height.
    static DialogUnits FromFont(const QFont& font);

    DialogUnits(int baseX, int baseY);

    int BaseX() const
    {
        return m_baseX;
    }
    int BaseY() const
    {
        return m_baseY;
    }

    int MapX(int x) const;
    int MapY(int y) const;

    /// The rectangle (x, y, x + cx, y + cy) in pixels: each edge is mapped on its own, so
    /// adjacent items stay adjacent.
    QRect MapRect(int x, int y, int cx, int cy) const;
    QSize MapSize(int cx, int cy) const;

private:
    int m_baseX;
    int m_baseY;
};
