#include "ui/toolkit/CFingerScroller.h"

#include "platform/MessageBox.h"
#include "platform/gui/DialogControls.h"
#include "resources/ResourceIds.h"
#include "ui/toolkit/CScrollPanel.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {
// Bringing a row into view by keys accelerates the glide step by step; no list needs more
// steps than this, and a pathological size must not hang the interface.
constexpr int kMaxKeyScrollSteps = 1000;

// The scroll indicator: its width at rest and while the list moves, its shortest length and
// its distance from the edges, in pixels.
constexpr int kIndicatorRestWidth = 3;
constexpr int kIndicatorMovingWidth = 6;
constexpr int kIndicatorMinLength = 24;
constexpr int kIndicatorInset = 2;

// The bar itself: a rounded stripe in a colour that stands out from the rows.
class ScrollIndicator : public QWidget
{
public:
    explicit ScrollIndicator(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const ColorTheme& theme = SelectedTheme();
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ReadableColor(theme.Color(2), {theme.Color(4), theme.Color(5)}, kMarkContrast));
        const qreal radius = width() / 2.0;
        painter.drawRoundedRect(QRectF(rect()), radius, radius);
    }
};
} // namespace

CFingerScroller::CFingerScroller(QWidget* parent) : QWidget(parent)
{
    DrawnItemsAccessible::Install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &CFingerScroller::OnTimerTick);
}

CFingerScroller::~CFingerScroller()
{
    m_timer.stop();
    delete m_panel;
    m_panel = nullptr;
    m_items.clear();
}

bool CFingerScroller::Create()
{
    if (m_created)
        return true;
    CreatePanel();
    if (!m_panel) {
        ShowMessage(QStringLiteral("Failed to create Panel!"), MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    m_created = true;
    m_panel->setObjectName(QStringLiteral("Panel"));
    SetControlId(m_panel, kIdScrollPanel);
    LayoutPanel();
    m_panel->show();
    ResetScroller();
    return true;
}

void CFingerScroller::CreatePanel()
{
    SetPanel(new CScrollPanel(this));
}

void CFingerScroller::SetPanel(CScrollPanel* panel)
{
    if (m_panel != panel)
        delete m_panel;
    m_panel = panel;
}

void CFingerScroller::AddItem(std::unique_ptr<PanelItem> item)
{
    m_items.push_back(std::move(item));
}

void CFingerScroller::LayoutPanel()
{
    if (!m_panel)
        return;
    m_panel->SetPanelWidth(width());
    m_panel->move(0, m_offset);
    UpdateScrollIndicator();
}

void CFingerScroller::OnScrolled(int, int, int)
{
}

void CFingerScroller::Populate()
{
}

void CFingerScroller::ClearItems()
{
    m_items.clear();
}

void CFingerScroller::ActivateItem(int index)
{
    if (m_panel)
        m_panel->SetSelection(index);
}

bool CFingerScroller::NeedsRebuild()
{
    return false;
}

void CFingerScroller::ScrollBy(int delta)
{
    if (delta == 0)
        return;
    const int oldOffset = m_offset;
    m_offset += delta;
    m_scrolled = true;
    OnScrolled(delta, oldOffset, m_offset);
    // Moving the panel repaints only what it uncovers; the rows themselves are not drawn.
    if (m_panel)
        m_panel->move(0, m_offset);
    UpdateScrollIndicator();
}

void CFingerScroller::StartTimer()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void CFingerScroller::StopTimer()
{
    m_timer.stop();
    UpdateScrollIndicator();
}

void CFingerScroller::SetScrollIndicatorEnabled(bool enabled)
{
    m_indicatorEnabled = enabled;
    UpdateScrollIndicator();
}

QRect CFingerScroller::ScrollIndicatorRect() const
{
    return m_indicator && !m_indicator->isHidden() ? m_indicator->geometry() : QRect();
}

void CFingerScroller::UpdateScrollIndicator()
{
    const int view = height();
    const int content = m_panel ? m_panel->height() : 0;
    if (!m_indicatorEnabled || !m_panel || content <= view || view <= 0) {
        if (m_indicator)
            m_indicator->hide();
        return;
    }
    if (!m_indicator)
        m_indicator = new ScrollIndicator(this);
    const bool moving = m_captured || m_timer.isActive();
    const int barWidth = moving ? kIndicatorMovingWidth : kIndicatorRestWidth;
    const int track = view - 2 * kIndicatorInset;
    const int length = std::clamp(static_cast<int>(static_cast<long long>(track) * view / content),
                                  std::min(kIndicatorMinLength, track), track);
    const double share = std::clamp(static_cast<double>(-m_offset) / (content - view), 0.0, 1.0);
    const int top = kIndicatorInset + static_cast<int>(std::lround(share * (track - length)));
    m_indicator->setGeometry(width() - barWidth - kIndicatorInset, top, barWidth, length);
    m_indicator->show();
    m_indicator->raise();
}

void CFingerScroller::Rebuild()
{
    Populate();
    if (!m_panel)
        return;
    if (m_panel->height() != m_panel->RowHeight() * ItemCount())
        LayoutPanel();
    else
        m_panel->Refresh();
    UpdateScrollIndicator();
}

void CFingerScroller::ResetScroller()
{
    m_offset = 0;
    if (m_panel)
        m_panel->move(0, 0);
    Populate();
    if (m_panel && (m_panel->height() != m_panel->RowHeight() * ItemCount() || m_panel->width() != width()))
        LayoutPanel();
    if (m_introSlide) {
        ScrollBy(2 * height());
        m_captured = false;
        StartTimer();
        Animate();
    }
}

void CFingerScroller::OnPress(int screenX, int screenY)
{
    StartTimer();
    UpdateScrollIndicator();
    m_pressX = screenX;
    m_pressY = screenY;
    m_lastY = screenY;
    m_captured = true;
    m_scrolled = false;
}

void CFingerScroller::OnDrag(int, int screenY)
{
    if (!m_captured || m_movedThisTick)
        return;
    m_movedThisTick = true;
    m_lastDelta = screenY - m_lastY;
    ScrollBy(m_lastDelta);
    m_lastY = screenY;
}

void CFingerScroller::OnRelease(int screenX, int screenY)
{
    // A release without its press (the one after a double click) is no gesture.
    if (!m_captured)
        return;
    if (m_movedThisTick) {
        m_velocity = static_cast<float>(std::clamp(m_lastDelta * kFlingFactor, -kMaxFlingSpeed, kMaxFlingSpeed));
        m_lastDelta = 0;
        Animate();
    }
    if (!m_scrolled && std::abs(screenX - m_pressX) < kTapSlop && std::abs(screenY - m_pressY) < kTapSlop) {
        // A tap stops the glide where the list stands; if that is past an end, the spring
        // still brings it back.
        m_velocity = 0.0f;
        if (IsInRestingRange())
            StopTimer();
        if (m_panel) {
            const QPoint point = m_panel->mapFromGlobal(QPoint(m_pressX, m_pressY));
            m_lastY = screenY;
            m_captured = false;
            m_panel->OnTap(point.x(), point.y());
            return;
        }
    }
    m_lastY = screenY;
    m_captured = false;
}

bool CFingerScroller::IsInRestingRange() const
{
    if (!m_panel)
        return true;
    const int top = m_panel->y();
    const int bottom = top + m_panel->height();
    const int clientHeight = height();
    if (m_panel->height() <= clientHeight)
        return top == 0;
    return top <= 0 && bottom >= clientHeight;
}

void CFingerScroller::Animate()
{
    if (m_captured)
        return;
    // The speed is kept in single precision; the arithmetic of a tick is done in double.
    m_velocity = static_cast<float>(m_velocity * kDecay);
    double step = kTickMilliseconds * 0.001 * m_velocity;
    if (std::fabs(step) <= kStopGlidingStep)
        m_velocity = 0.0f;
    if (m_panel) {
        const int top = m_panel->y();
        const int bottom = top + m_panel->height();
        const int clientHeight = height();
        const int panelHeight = m_panel->height();
        if (top > 0) {
            step -= std::max(1, static_cast<int>(top * kSpringFactor));
        } else if (top < 0 && panelHeight <= clientHeight) {
            step += std::max(1, static_cast<int>(-top * kSpringFactor));
        } else if (top < 0 && bottom < clientHeight) {
            step += std::max(1, static_cast<int>((clientHeight - bottom) * kSpringFactor));
        }
    }
    if (std::fabs(step) <= kStopTimerStep)
        StopTimer();
    else
        ScrollBy(static_cast<int>(step));
}

void CFingerScroller::OnTimerTick()
{
    m_movedThisTick = false;
    Animate();
}

void CFingerScroller::BringRowIntoView(int row)
{
    const QRect item = m_panel->GetItemRect(row);
    for (int i = 0; i < kMaxKeyScrollSteps && m_offset + item.top() < 0; ++i) {
        m_velocity += kKeyImpulse;
        Animate();
    }
    for (int i = 0; i < kMaxKeyScrollSteps && m_offset + item.bottom() + 1 > height(); ++i) {
        m_velocity -= kKeyImpulse;
        Animate();
    }
    // The row is in view: the list stays there instead of gliding on with the speed that
    // brought it, and a last step past an end springs back.
    m_velocity = 0.0f;
    if (!IsInRestingRange())
        StartTimer();
}

void CFingerScroller::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), SelectedTheme().Color(1));
}

void CFingerScroller::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_created)
        LayoutPanel();
}

void CFingerScroller::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_created)
        Create();
}

void CFingerScroller::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    OnPress(global.x(), global.y());
}

void CFingerScroller::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint global = event->globalPosition().toPoint();
    OnDrag(global.x(), global.y());
}

void CFingerScroller::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint global = event->globalPosition().toPoint();
    OnRelease(global.x(), global.y());
}

void CFingerScroller::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void CFingerScroller::keyPressEvent(QKeyEvent* event)
{
    if (m_captured || !m_panel) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int count = ItemCount();
    const int selected = m_panel->Selected();
    int next = selected;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected >= 0 && selected < count && m_panel->HighlightVisible())
            ActivateItem(selected);
        return;
    case Qt::Key_Up:
        if (next > 0)
            --next;
        break;
    case Qt::Key_Down:
        if (next < count - 1)
            ++next;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (next == selected)
        return;
    m_panel->SetSelection(next);
    DrawnItemsAccessible::NotifyFocusMoved(this);
    if (next < 0 || next >= count)
        return;
    BringRowIntoView(next);
}

std::vector<AccessibleItem> CFingerScroller::AccessibleItems() const
{
    std::vector<AccessibleItem> items;
    if (!m_panel)
        return items;
    const int selected = m_panel->Selected();
    for (int i = 0; i < ItemCount(); ++i) {
        const PanelItem& row = *m_items[static_cast<size_t>(i)];
        items.push_back(
            {row.caption, row.description, m_panel->GetItemRect(i).translated(m_panel->pos()), i == selected});
    }
    return items;
}

void CFingerScroller::wheelEvent(QWheelEvent* event)
{
    event->accept();
    ScrollByWheel(event->pixelDelta(), event->angleDelta());
}

void CFingerScroller::ScrollByWheel(QPoint pixelDelta, QPoint angleDelta)
{
    if (m_captured || !m_panel)
        return;
    int delta = 0;
    if (!pixelDelta.isNull()) {
        delta = pixelDelta.y();
    } else {
        // Finer wheels send parts of a notch; they add up.
        m_wheelRemainder += angleDelta.y() * QApplication::wheelScrollLines() * TheImageCache().DescriptionHeight();
        delta = m_wheelRemainder / 120;
        m_wheelRemainder %= 120;
    }
    if (delta == 0)
        return;
    // The wheel stops a glide and moves the list directly, never past its resting range;
    // if it already stood outside (springing back), the timer finishes the way home.
    m_velocity = 0.0f;
    const int lowest = std::min(0, height() - m_panel->height());
    const int target = std::clamp(m_offset + delta, std::min(lowest, m_offset), std::max(0, m_offset));
    ScrollBy(target - m_offset);
    StartTimer();
}
