#pragma once

#include "model/CalDate.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/toolkit/CFingerScroller.h"

#include <QSize>
#include <QTimer>

class MonthPanel;
struct MonthItem;

/// The calendar's endless strip of month pages. The pages are rendered once and moved; as
/// the strip scrolls, a page that leaves one end is rendered again for the month that comes
/// into view at the other, so the strip runs from January 1971 to the pages after December
/// 2100 without ever holding more pages than the view needs. A tapped day, or Enter on the
/// day cursor, posts the day command to the calendar dialog.
///
/// A wide view shows rows of several pages side by side, larger than their natural size (see
/// MonthRenderer::LayoutFor); the strip then moves by a row at a time. With one column, a row
/// is one month. Today's ring follows the clock: the painter looks every minute, and when the
/// window comes back to the front, whether the day has changed, and then draws the pages again.
///
/// Keys: the arrows move the day cursor (a day, a week), Enter opens its day, Page Up and
/// Page Down scroll by one page, Home goes to today's month. Wheel and touchpad scroll.
class CCalPainter : public CFingerScroller
{
    Q_OBJECT

public:
    explicit CCalPainter(QWidget* parent = nullptr);
    ~CCalPainter() override;

    void CreatePanel() override;
    /// Sizes the page column and the panel to the pages' width; then more pages when the view grew taller, and every
    /// page rendered again when the page size changed, keeping the view where it is.
    void LayoutPanel() override;
    /// Keeps the strip endless: shifts months while less than a page lies above the view or
    /// the last page's top has come into view, correcting the offset so the view stands still.
    void OnScrolled(int delta, int oldOffset, int newOffset) override;
    /// Makes the pages for the view's height, marks today and shows today's month.
    void Populate() override;

    /// How often the painter looks whether the day has changed.
    static constexpr int kDateCheckMilliseconds = 60000;

    /// Shows the row of `month` of `year` as the third row, its top a sixteenth of a page below
    /// the view's top. The first month stays within January 1971 to December 2100.
    void ScrollToMonth(int month, int year);
    /// Makes `month` of `year` the first page and renders every page; without `force`, only
    /// when that is not already the first month.
    void RenderPages(int month, int year, bool force);
    /// Moves the window of months one row (one month in a single column) earlier; false at
    /// January 1971.
    bool ShiftMonthBack();
    /// Moves the window of months one row later; false at December 2100.
    bool ShiftMonthForward();

    /// When today is no longer the day the pages were drawn for: today's ring and the fading
    /// of the days ahead move on, and so does the mark if it stood on the old today.
    void CheckDate();
    QTimer& DateCheckTimer()
    {
        return m_dateCheckTimer;
    }

    int FirstMonth() const
    {
        return m_firstMonth;
    }
    int FirstYear() const
    {
        return m_firstYear;
    }
    /// The day last tapped (or chosen with Enter).
    CalDate SelectedDate() const
    {
        return m_selectedDate;
    }
    MonthPanel* Months() const;
    /// Page `index`, top to bottom; null outside the strip.
    MonthItem* Page(int index) const;
    /// Height of every page (the panel's row height).
    int PageHeight() const;
    /// Pages needed for a view `clientHeight` tall: (height / page height + 3) x 2 in one
    /// column; with more columns, rows of pages for the height and three rows more.
    int PageCountFor(int clientHeight) const;
    /// Width of the pages for the current view.
    int PageWidth() const;
    /// Size of every page for the current view.
    QSize PageSize() const;
    /// Pages side by side in a row.
    int Columns() const
    {
        return m_layout.columns;
    }
    /// The arrangement of the pages for the current view.
    const PageLayout& Layout() const
    {
        return m_layout;
    }

    /// The day cursor of the keys; shown once a key moved it, or when set visible.
    CalDate CursorDate() const
    {
        return m_cursor;
    }
    bool IsCursorVisible() const
    {
        return m_cursorVisible;
    }
    void SetCursorDate(const CalDate& date, bool visible);

    /// A day was tapped: it becomes the selected date and the cursor, and the calendar
    /// dialog (the parent) is posted the day command.
    void DayTapped(const CalDate& day);

    /// The days of the months in view, each read out as "Tuesday, December 8, 2026: period
    /// expected, chance of conception 3 %"; the day cursor is the focused one.
    std::vector<AccessibleItem> AccessibleItems() const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void RenderPage(MonthItem& item);
    void ShowRow(int monthIndex, int rowTop);
    bool ApplyLayout();
    void KeepStripEndless(int offset);
    void MoveCursor(int days);
    void BringCursorIntoView();
    void PlaceColumn();

    QWidget* m_column = nullptr;
    PageLayout m_layout;
    // The month at the view's top when the arrangement last changed.
    int m_layoutAnchor = 0;
    int m_firstMonth = 1;
    int m_firstYear = 1971;
    QSize m_lastPageSize;
    CalDate m_selectedDate{0, 0, 0};
    CalDate m_cursor{0, 0, 0};
    bool m_cursorVisible = false;
    // Set while the painter corrects the offset itself, so that correction is no new scroll.
    bool m_adjusting = false;
    // Set while a long jump shifts more months than there are pages: they are rendered once.
    bool m_deferRender = false;
    // The day the pages were drawn for, and the timer that looks whether it is still today.
    CalDate m_renderedToday{0, 0, 0};
    QTimer m_dateCheckTimer;
};
