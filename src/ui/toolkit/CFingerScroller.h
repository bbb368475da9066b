#pragma once

#include "ui/toolkit/DrawnItemsAccessible.h"
#include "ui/toolkit/PanelItem.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

class CScrollPanel;

/// A viewport showing a vertical list of rows that the user scrolls by dragging and flicking,
/// with inertia, a decelerating glide and a springy return at both ends. The rows are
/// painted by the panel (a taller child that is moved up and down); the scroller owns the
/// rows, the scrolling state and the 50 ms animation timer. Mouse wheel and touchpad scroll
/// it too.
///
/// Subclasses fill the rows in Populate and react to a chosen row in ActivateItem. Call
/// Create once the scroller has its size (showing it does so too).
class CFingerScroller : public QWidget, public AccessibleItemSource
{
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 50;
    static constexpr double kFlingFactor = 20.0;
    static constexpr double kMaxFlingSpeed = 1000.0;
    static constexpr double kDecay = 0.85;
    static constexpr double kSpringFactor = 0.7;
    static constexpr float kKeyImpulse = 50.0f;
    static constexpr int kTapSlop = 100;
    static constexpr double kStopGlidingStep = 1.0;
    static constexpr double kStopTimerStep = 0.1;

    explicit CFingerScroller(QWidget* parent = nullptr);
    ~CFingerScroller() override;

    /// Makes the panel, lays it out, shows it and fills the rows (ResetScroller). False, with
    /// an error message, when no panel could be made. Does nothing when already done.
    bool Create();
    bool IsCreated() const
    {
        return m_created;
    }

    // --- operations subclasses may replace -------------------------------------------------
    /// Makes the panel (a CScrollPanel by default) and stores it with SetPanel.
    virtual void CreatePanel();
    /// Sizes the panel to the scroller's width and all rows, then puts it at the offset.
    virtual void LayoutPanel();
    /// Called by ScrollBy after the offset changed.
    virtual void OnScrolled(int delta, int oldOffset, int newOffset);
    /// Fills the rows.
    virtual void Populate();
    /// Deletes every row.
    virtual void ClearItems();
    /// A row was tapped or chosen with Enter: highlights it.
    virtual void ActivateItem(int index);
    /// Asked by the panel before every paint; true makes it rebuild the rows first.
    virtual bool NeedsRebuild();
    /// The rows for a screen reader: the caption as name, the description as value, the
    /// keyboard's row focused.
    std::vector<AccessibleItem> AccessibleItems() const override;

    // --- scrolling ------------------------------------------------------------------------
    /// Moves the list by `delta` pixels (positive: towards its top).
    void ScrollBy(int delta);
    void StartTimer();
    void StopTimer();
    bool IsTimerRunning() const
    {
        return m_timer.isActive();
    }
    /// Populate, then the panel renders again.
    void Rebuild();
    /// Back to the top, new rows, and the slide-in from two heights below when introSlide.
    void ResetScroller();

    /// The three steps of a gesture, in global (screen) coordinates.
    void OnPress(int screenX, int screenY);
    void OnDrag(int screenX, int screenY);
    void OnRelease(int screenX, int screenY);

    /// A wheel or touchpad step: a touchpad's pixels as they are, wheel notches (120) as
    /// the desktop's number of lines of description height. Never past the resting range.
    void ScrollByWheel(QPoint pixelDelta, QPoint angleDelta);

    /// One tick of the glide and the spring.
    void Animate();
    /// What the animation timer runs every 50 ms.
    void OnTimerTick();

    // --- state ----------------------------------------------------------------------------
    const std::vector<std::unique_ptr<PanelItem>>& Items() const
    {
        return m_items;
    }
    int ItemCount() const
    {
        return static_cast<int>(m_items.size());
    }
    CScrollPanel* Panel() const
    {
        return m_panel;
    }
    int Offset() const
    {
        return m_offset;
    }
    float Velocity() const
    {
        return m_velocity;
    }
    void SetVelocity(float velocity)
    {
        m_velocity = velocity;
    }
    bool IsCaptured() const
    {
        return m_captured;
    }
    bool IntroSlide() const
    {
        return m_introSlide;
    }
    void SetIntroSlide(bool introSlide)
    {
        m_introSlide = introSlide;
    }
    /// True when the list stands where no spring pulls it: top at 0 for a list that fits,
    /// otherwise top at or above 0 and bottom at or below the viewport's bottom.
    bool IsInRestingRange() const;

    // --- scroll indicator -----------------------------------------------------------------
    /// A list taller than its view shows a thin bar at its right edge, where the view lies in
    /// the list and how much of it shows; wider while the list moves. On by default; a list
    /// without ends (the calendar) turns it off.
    void SetScrollIndicatorEnabled(bool enabled);
    bool IsScrollIndicatorEnabled() const
    {
        return m_indicatorEnabled;
    }
    /// The bar as it stands, in the scroller's coordinates; empty while it is hidden.
    QRect ScrollIndicatorRect() const;

protected:
    std::vector<std::unique_ptr<PanelItem>>& MutableItems()
    {
        return m_items;
    }
    void AddItem(std::unique_ptr<PanelItem> item);
    void SetPanel(CScrollPanel* panel);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void BringRowIntoView(int row);
    void UpdateScrollIndicator();

    std::vector<std::unique_ptr<PanelItem>> m_items;
    bool m_introSlide = true;
    CScrollPanel* m_panel = nullptr;
    int m_offset = 0;
    bool m_scrolled = false;
    int m_lastDelta = 0;
    float m_velocity = 0.0f;
    int m_pressX = 0;
    int m_pressY = 0;
    int m_lastY = 0;
    bool m_captured = false;
    QTimer m_timer;
    bool m_movedThisTick = false;
    bool m_created = false;
    int m_wheelRemainder = 0;
    bool m_indicatorEnabled = true;
    QWidget* m_indicator = nullptr;
};
