#pragma once

#include "model/CalDate.h"
#include "ui/toolkit/CScrollPanel.h"

class CCalPainter;
struct MonthItem;

/// The calendar's strip of month pages, in rows of one or more pages side by side. Its row
/// height is the page height; painting copies the rendered page pictures that lie in the
/// exposed area (centred, the sides in the background colour) and the day cursor; a tap or a
/// tooltip finds the day under the point.
class MonthPanel : public CScrollPanel
{
    Q_OBJECT

public:
    explicit MonthPanel(CCalPainter* owner);
    /// Also drops the pages' shared background picture.
    ~MonthPanel() override;

    /// Posts the tapped day to the calendar.
    void OnTap(int x, int y) override;
    /// Nothing to compose: pages are copied straight to the screen when painted.
    void Render() override;

    /// Schedules a repaint of the pages' column only: the sides never change when the
    /// strip shifts, and repainting them would cost a whole frame on a large screen.
    void UpdatePages();

    /// Sizes the panel to `width` and the strip's rows of pages, leaving it where it is.
    void SetStripWidth(int width);

    /// Left edge of the pages' first column in the panel.
    int PageLeft() const;
    /// The page under the panel point, and its index; null when there is none.
    const MonthItem* PageAt(QPoint point, int* index = nullptr) const;
    /// The top left corner of page `index` in the panel.
    QPoint PageOrigin(int index) const;
    /// The day under the panel point; false when the point lies on no day.
    bool DayAt(QPoint point, CalDate& day, QRect* cell = nullptr) const;
    /// The cell of `day` in panel coordinates; empty when its page is not in the strip.
    QRect CellRect(const CalDate& day) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    CCalPainter* m_painter;
};
