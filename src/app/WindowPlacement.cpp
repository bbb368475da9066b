#include "app/WindowPlacement.h"

#include <algorithm>

namespace {
long long Area(const QRect& rect)
{
    return rect.isEmpty() ? 0 : static_cast<long long>(rect.width()) * rect.height();
}
} // namespace

QMargins DecorationAllowance()
{
    return QMargins(8, 40, 8, 8);
}

QSize FitSizeOnScreen(QSize wanted, const QRect& available, const QMargins& decorations)
{
    if (available.isEmpty())
        return wanted;
    const QSize room = available.marginsRemoved(decorations).size();
    return wanted.boundedTo(room.expandedTo(QSize(1, 1)));
}

QSize FirstWindowSize(QSize base, QSize minimum, const QRect& available, const QMargins& decorations)
{
    QSize wanted = base.expandedTo(minimum);
    if (!available.isEmpty() && base.height() > 0 && available.height() * 2 >= base.height() * 3) {
        const int height = available.height() * 2 / 3;
        wanted = wanted.expandedTo(QSize(height * base.width() / base.height(), height));
    }
    return FitSizeOnScreen(wanted, available, decorations);
}

QRect FitOnScreens(const QRect& frame, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return frame;
    const QRect* best = nullptr;
    long long bestArea = 0;
    for (const QRect& screen : screens) {
        if (screen.contains(frame))
            return frame;
        const long long area = Area(screen.intersected(frame));
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    const QRect& target = best ? *best : screens.first();
    QRect fitted(frame.topLeft(), frame.size().boundedTo(target.size()));
    fitted.moveLeft(std::clamp(fitted.left(), target.left(), target.left() + target.width() - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), target.top(), target.top() + target.height() - fitted.height()));
    return fitted;
}
