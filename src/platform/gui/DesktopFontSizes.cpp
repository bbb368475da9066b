#include "platform/gui/DesktopFontSizes.h"

#include <QFontDatabase>
#include <QFontInfo>

#include <algorithm>
#include <optional>

namespace {
std::optional<DesktopFontSizes> g_testSizes;

// A font the desktop gives in pixels has no point size of its own; ask what it resolves to.
qreal PointSize(QFontDatabase::SystemFont which)
{
    const QFont font = QFontDatabase::systemFont(which);
    return font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF();
}
} // namespace

DesktopFontSizes CurrentDesktopFontSizes()
{
    if (g_testSizes)
        return *g_testSizes;
    DesktopFontSizes sizes;
    const qreal general = PointSize(QFontDatabase::GeneralFont);
    if (general > 0)
        sizes.general = general;
    const qreal smallest = PointSize(QFontDatabase::SmallestReadableFont);
    sizes.smallest = smallest > 0 ? std::min(smallest, sizes.general) : std::min(sizes.smallest, sizes.general);
    return sizes;
}

void SetDesktopFontSizesForTesting(DesktopFontSizes sizes)
{
    g_testSizes = sizes;
}
