#include "platform/gui/DialogUnits.h"

#include <QFontMetrics>

DialogUnits DialogUnits::FromFont(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits((width + 51) / 52, metrics.height());
}

DialogUnits::DialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY)
{
}

int DialogUnits::MapX(int x) const
{
    return x * m_baseX / 4;
}

int DialogUnits::MapY(int y) const
{
    return y * m_baseY / 8;
}

QRect DialogUnits::MapRect(int x, int y, int cx, int cy) const
{
    const int left = MapX(x);
    const int top = MapY(y);
    return QRect(left, top, MapX(x + cx) - left, MapY(y + cy) - top);
}

QSize DialogUnits::MapSize(int cx, int cy) const
{
    return QSize(MapX(cx), MapY(cy));
}
