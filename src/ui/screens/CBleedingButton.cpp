#include "ui/screens/CBleedingButton.h"

#include "model/DayRecord.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/ImageCache.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

#include <algorithm>

namespace {
// Image cache indices of the drop bars.
constexpr int kDarkBright = 6;
constexpr int kDarkDull = 7;
constexpr int kLightBright = 8;
constexpr int kLightDull = 9;

// How strongly an expected but unrecorded level shows through the dull drops.
constexpr qreal kHintOpacity = 0.3;

int ClampLevel(int level)
{
    return (level >= None && level <= Heavy) ? level : None;
}

// Draws source columns [from, to) of `image` (measured in the 166-column layout, whatever the
// file's real width) stretched into `target`. A missing image leaves a plain band, so that
// the level still reads.
void DrawColumns(QPainter& painter, const QRect& target, const QImage& image, int from, int to, const QColor& fallback)
{
    if (target.width() <= 0 || target.height() <= 0 || to <= from)
        return;
    if (image.isNull()) {
        painter.fillRect(target, fallback);
        return;
    }
    const qreal scale = static_cast<qreal>(image.width()) / CBleedingButton::kSourceWidth;
    const QRectF source(from * scale, 0, (to - from) * scale, image.height());
    painter.drawImage(QRectF(target), image, source);
}
} // namespace

CBleedingButton::CBleedingButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    UpdateDescription();
}

CBleedingButton::~CBleedingButton() = default;

void CBleedingButton::SetLevel(int level)
{
    level = ClampLevel(level);
    if (level == m_level)
        return;
    m_level = level;
    UpdateDescription();
    update();
}

void CBleedingButton::SetNameLabel(QLabel* label)
{
    m_nameLabel = label;
    UpdateDescription();
}

int CBleedingButton::DropAt(int x, int width)
{
    if (width <= 0)
        return Slight;
    const int column = std::clamp(x, 0, width - 1) * kSourceWidth / width;
    for (int drop = Slight; drop < Heavy; ++drop) {
        if (column < SplitColumn(drop))
            return drop;
    }
    return Heavy;
}

void CBleedingButton::Pick(int level)
{
    level = ClampLevel(level);
    if (level == m_level)
        return;
    SetLevel(level);
    emit levelPicked(level);
}

void CBleedingButton::mouseReleaseEvent(QMouseEvent* event)
{
    // A click of the mouse chooses a drop; the button's click (Space, or a click from code) is
    // left to step through the levels.
    if (event->button() == Qt::LeftButton && isDown() && hitButton(event->position().toPoint())) {
        setDown(false);
        event->accept();
        const int drop = DropAt(event->position().toPoint().x(), width());
        Pick(drop == m_level ? None : drop);
        return;
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CBleedingButton::wheelEvent(QWheelEvent* event)
{
    event->accept();
    // A notch is one level. Up is more, down is less; the wheel stops at None and Heavy
    // rather than going round.
    const int steps = m_wheel.Take(*event);
    if (steps != 0)
        Pick(std::clamp(m_level + steps, static_cast<int>(None), static_cast<int>(Heavy)));
}

void CBleedingButton::SetHintLevel(int level)
{
    level = ClampLevel(level);
    if (level == m_hintLevel)
        return;
    m_hintLevel = level;
    UpdateDescription();
    update();
}

int CBleedingButton::SplitColumn(int level)
{
    static constexpr int kColumns[] = {0, 64, 104, kSourceWidth};
    return kColumns[ClampLevel(level)];
}

void CBleedingButton::PaintBar(
    QPainter& painter, const QRect& rect, int level, int hintLevel, bool pressed, bool lightTheme)
{
    const ImageCache& cache = TheImageCache();
    const QImage bright = cache.Image(lightTheme ? kLightBright : kDarkBright);
    const QImage dull = cache.Image(lightTheme ? kLightDull : kDarkDull);
    const int s = SplitColumn(level);
    const int p = pressed ? 2 : 0;
    const QRect target(rect.left(), rect.top() + p, rect.width(), rect.height() - p);
    const int f = s * target.width() / kSourceWidth;

    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (s > 0)
        DrawColumns(painter, QRect(target.left(), target.top(), f, target.height()), bright, 0, s, QColor(200, 30, 60));
    if (s < kSourceWidth) {
        const QRect rest(target.left() + f, target.top(), target.width() - f, target.height());
        DrawColumns(painter, rest, dull, s, kSourceWidth, lightTheme ? QColor(170, 170, 170) : QColor(70, 70, 80));
        const int h = SplitColumn(hintLevel);
        if (h > s && !bright.isNull()) {
            const int hintRight = h * target.width() / kSourceWidth;
            painter.setOpacity(kHintOpacity);
            DrawColumns(painter, QRect(target.left() + f, target.top(), hintRight - f, target.height()), bright, s, h,
                        QColor());
            painter.setOpacity(1.0);
        }
    }
    painter.restore();
}

QSize CBleedingButton::sizeHint() const
{
    return QSize(kSourceWidth, 74);
}

void CBleedingButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintBar(painter, rect(), m_level, m_hintLevel, isDown(), SelectedTheme().IsLight());
    // Only a keyboard user needs to see where the focus is; the bar itself carries no frame.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void CBleedingButton::UpdateDescription()
{
    QString name = QStringLiteral("Bleeding: %1").arg(LevelName(m_level));
    if (m_hintLevel > m_level) {
        const QString predicted = QStringLiteral("Predicted: %1").arg(LevelName(m_hintLevel));
        name += QStringLiteral(" (%1)").arg(predicted);
        setToolTip(predicted);
    } else {
        setToolTip(QStringLiteral("Click a drop to choose the level, the same drop again for None"));
    }
    setAccessibleName(name);
    if (m_nameLabel)
        m_nameLabel->setText(LevelName(m_level));
}
