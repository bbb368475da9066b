#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

class CFingerScroller;
class QPainter;

/// The content of a CFingerScroller: as wide as the scroller and as tall as all its rows,
/// moved up and down by it. The rows are rendered once into a back buffer, which painting
/// only copies; the panel shows a 5-second highlight on the selected row, maps a tap to a
/// row and passes pointer input and the keyboard focus on to its scroller.
class CScrollPanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHighlightMilliseconds = 5000;

    /// A panel of `owner`, as its child; not shown yet. The row height comes from the
    /// ImageCache metrics.
    explicit CScrollPanel(CFingerScroller* owner);
    ~CScrollPanel() override;

    /// Finds the row under (x, y), panel coordinates, and has the owner activate it.
    virtual void OnTap(int x, int y);

    /// Renders every row into a new back buffer of the panel's size, in the theme selected
    /// now. Nothing when the panel has no area.
    virtual void Render();

    /// Moves the panel to (0, 0), sizes it to width x (row height x row count), renders.
    void SetPanelWidth(int width);

    /// Renders again and schedules a repaint.
    void Refresh();

    /// Highlights row `index` for 5 seconds (restarting the time) and re-renders.
    int SetSelection(int index);

    /// Row i in panel coordinates.
    QRect GetItemRect(int i) const;

    int Selected() const
    {
        return m_selected;
    }
    bool HighlightVisible() const
    {
        return m_highlightVisible;
    }
    int RowHeight() const
    {
        return m_rowHeight;
    }
    void SetRowHeight(int rowHeight);
    const QImage& BackBuffer() const
    {
        return m_backBuffer;
    }
    /// The timer that ends the highlight (single shot, 5000 ms).
    QTimer& HighlightTimer()
    {
        return m_highlightTimer;
    }
    CFingerScroller* Owner() const
    {
        return m_owner;
    }

    /// The base row height: max(margin + description + caption height, icon size) + 2 margins.
    static int DefaultRowHeight();

    /// An empty back buffer for `widget` of `size` logical pixels: premultiplied ARGB at
    /// the widget's device pixel ratio and logical resolution, so text and images stay sharp
    /// on high-density screens.
    static QImage CreateBackBuffer(const QWidget* widget, QSize size);

    /// A 1-pixel frame just inside (x, y, w, h): top and left edges in c1, bottom and right
    /// edges in c2.
    static void Draw3dRect(QPainter& painter, int x, int y, int w, int h, const QColor& c1, const QColor& c2);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    /// Replaces the back buffer (for panels that render their own way).
    void SetBackBuffer(QImage image);

private:
    void OnHighlightTimer();

    CFingerScroller* m_owner;
    int m_selected = -1;
    bool m_highlightVisible = false;
    QImage m_backBuffer;
    int m_rowHeight;
    QTimer m_highlightTimer;
};
