#include "ui/toolkit/CScrollPanel.h"

#include "ui/toolkit/CFingerScroller.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"
#include "ui/toolkit/PanelItem.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

CScrollPanel::CScrollPanel(CFingerScroller* owner) : QWidget(owner), m_owner(owner), m_rowHeight(DefaultRowHeight())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    m_highlightTimer.setSingleShot(true);
    m_highlightTimer.setInterval(kHighlightMilliseconds);
    connect(&m_highlightTimer, &QTimer::timeout, this, &CScrollPanel::OnHighlightTimer);
}

CScrollPanel::~CScrollPanel() = default;

int CScrollPanel::DefaultRowHeight()
{
    const ImageCache& cache = TheImageCache();
    const int m = cache.Margin();
    return std::max(m + cache.DescriptionHeight() + cache.CaptionHeight(), cache.IconSize()) + 2 * m;
}

void CScrollPanel::SetRowHeight(int rowHeight)
{
    m_rowHeight = std::max(0, rowHeight);
}

void CScrollPanel::OnTap(int, int y)
{
    const int count = m_owner->ItemCount();
    if (count == 0 || m_rowHeight <= 0 || y < 0)
        return;
    const int row = y / m_rowHeight;
    if (row < count)
        m_owner->ActivateItem(row);
}

QImage CScrollPanel::CreateBackBuffer(const QWidget* widget, QSize size)
{
    const qreal ratio = widget ? widget->devicePixelRatioF() : 1.0;
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    if (widget) {
        image.setDotsPerMeterX(qRound(widget->logicalDpiX() / 0.0254));
        image.setDotsPerMeterY(qRound(widget->logicalDpiY() / 0.0254));
    }
    return image;
}

void CScrollPanel::Draw3dRect(QPainter& painter, int x, int y, int w, int h, const QColor& c1, const QColor& c2)
{
    painter.fillRect(x, y, w - 1, 1, c1);
    painter.fillRect(x, y, 1, h - 1, c1);
    painter.fillRect(x + w - 1, y, 1, h, c2);
    painter.fillRect(x, y + h - 1, w, 1, c2);
}

void CScrollPanel::Render()
{
    const int width = this->width();
    const int height = this->height();
    if (width <= 0 || height <= 0)
        return;
    QImage buffer = CreateBackBuffer(this, size());
    const ColorTheme& theme = SelectedTheme();
    const ImageCache& cache = TheImageCache();
    const int m = cache.Margin();
    const int s = cache.IconSize();
    const int h = m_rowHeight;
    const auto& items = m_owner->Items();

    QPainter painter(&buffer);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (h <= 0 || static_cast<long long>(items.size()) * h < height)
        painter.fillRect(rect(), theme.Color(1));
    const QFontMetrics captionMetrics(cache.CaptionFont(), &buffer);
    const QFontMetrics descriptionMetrics(cache.DescriptionFont(), &buffer);
    const QColor frameTopLeft = theme.Color(8);
    const QColor frameBottomRight = theme.Color(9);
    // The theme's text colours where they read on its gradients, otherwise the least change
    // of them that does.
    const QColor caption = ReadableColor(theme.Color(2), {theme.Color(4), theme.Color(5)});
    const QColor description = ReadableColor(theme.Color(3), {theme.Color(4), theme.Color(5)});
    const QColor highlightedText = ReadableColor(theme.Color(12), {theme.Color(6), theme.Color(7)});
    for (int i = 0; h > 0 && i < static_cast<int>(items.size()); ++i) {
        const int t = i * h;
        if (t >= height)
            break;
        const PanelItem& item = *items[i];
        const bool highlighted = m_highlightVisible && i == m_selected;

        QLinearGradient gradient(0, t, 0, t + h);
        gradient.setColorAt(0.0, theme.Color(highlighted ? 6 : 4));
        gradient.setColorAt(1.0, theme.Color(highlighted ? 7 : 5));
        painter.fillRect(QRect(0, t, width, h), gradient);

        Draw3dRect(painter, s + 2 * m - 1, t, 2, h, frameTopLeft, frameBottomRight);
        Draw3dRect(painter, 0, t, width, h, frameTopLeft, frameBottomRight);

        QRect text(QPoint(3 * m + s, t + m), QPoint(width - m - 1, t + h - m - 1));
        const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
        painter.setFont(cache.CaptionFont());
        painter.setPen(highlighted ? highlightedText : caption);
        painter.drawText(text, flags, captionMetrics.elidedText(item.caption, Qt::ElideRight, text.width()));

        text.setTop(text.top() + cache.CaptionHeight() + m);
        painter.setFont(cache.DescriptionFont());
        painter.setPen(highlighted ? highlightedText : description);
        painter.drawText(text, flags, descriptionMetrics.elidedText(item.description, Qt::ElideRight, text.width()));

        if (item.iconIndex >= 0) {
            const QImage icon = cache.Image(item.iconIndex);
            if (!icon.isNull()) {
                const QRect source = QRect(0, 0, 96, 96).intersected(icon.rect());
                painter.drawImage(QRect(m, t + (h - s) / 2, s, s), icon, source);
            }
        }
    }
    painter.end();
    m_backBuffer = std::move(buffer);
}

void CScrollPanel::SetBackBuffer(QImage image)
{
    m_backBuffer = std::move(image);
}

void CScrollPanel::SetPanelWidth(int width)
{
    move(0, 0);
    const long long height = static_cast<long long>(m_rowHeight) * m_owner->ItemCount();
    resize(std::max(0, width), static_cast<int>(std::min<long long>(height, QWIDGETSIZE_MAX)));
    Render();
    update();
}

void CScrollPanel::Refresh()
{
    Render();
    update();
}

int CScrollPanel::SetSelection(int index)
{
    m_highlightVisible = true;
    m_selected = index;
    Refresh();
    m_highlightTimer.start();
    return 0;
}

QRect CScrollPanel::GetItemRect(int i) const
{
    return QRect(0, m_rowHeight * i, width(), m_rowHeight);
}

void CScrollPanel::OnHighlightTimer()
{
    m_highlightTimer.stop();
    m_highlightVisible = false;
    Refresh();
}

void CScrollPanel::paintEvent(QPaintEvent* event)
{
    // A rebuild found here is done within this paint: rows, back buffer and the copy. A
    // changed row count needs a new panel size, which is queued rather than done while
    // painting.
    if (m_owner->NeedsRebuild()) {
        m_owner->Populate();
        Render();
        if (height() != m_rowHeight * m_owner->ItemCount())
            QMetaObject::invokeMethod(m_owner, &CFingerScroller::LayoutPanel, Qt::QueuedConnection);
    }
    QPainter painter(this);
    const QRect area = event->rect();
    const qreal ratio = m_backBuffer.devicePixelRatio();
    const QRect covered = area.intersected(QRect(QPoint(0, 0), m_backBuffer.deviceIndependentSize().toSize()));
    if (covered != area)
        painter.fillRect(area, SelectedTheme().Color(1));
    if (!covered.isEmpty()) {
        const QRectF source(covered.x() * ratio, covered.y() * ratio, covered.width() * ratio,
                            covered.height() * ratio);
        painter.drawImage(QRectF(covered), m_backBuffer, source);
    }
}

void CScrollPanel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    m_owner->OnPress(global.x(), global.y());
}

void CScrollPanel::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint global = event->globalPosition().toPoint();
    m_owner->OnDrag(global.x(), global.y());
}

void CScrollPanel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint global = event->globalPosition().toPoint();
    m_owner->OnRelease(global.x(), global.y());
}

void CScrollPanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click is no new press: it neither stops a glide nor taps.
    event->accept();
}

void CScrollPanel::wheelEvent(QWheelEvent* event)
{
    event->accept();
    m_owner->ScrollByWheel(event->pixelDelta(), event->angleDelta());
}

void CScrollPanel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_owner->setFocus(Qt::OtherFocusReason);
}
