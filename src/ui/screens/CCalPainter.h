#pragma once

#include "model/CalDate.h"
#include "ui/toolkit/CFingerScroller.h"

#include <QSize>

class MonthPanel;
struct MonthItem;

/// The calendar's endless strip of month pages. The pages are rendered once and moved; as
/// the strip scrolls, a page that leaves one end is rendered again for the month that comes
/// into view at the other, so the strip runs from January 1971 to the pages after December
/// 2100 without ever holding more pages than the view needs. A tapped day, or Enter on the
/// day cursor, posts the day command to the calendar dialog.
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

    /// Shows `month` of `year` as the third page, its top a sixteenth of a page below the
    /// view's top. The first month stays within January 1971 to December 2100.
    void ScrollToMonth(int month, int year);
    /// Makes `month` of `year` the first page and renders every page; without `force`, only
    /// when that is not already the first month.
    void RenderPages(int month, int year, bool force);
    /// Moves the window of months one month earlier; false at January 1971.
    bool ShiftMonthBack();
    /// Moves the window of months one month later; false at December 2100.
    bool ShiftMonthForward();

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
    /// Pages needed for a view `clientHeight` tall: (height / page height + 3) x 2.
    int PageCountFor(int clientHeight) const;
    /// Width of the pages for the current view.
    int PageWidth() const;

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

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void RenderPage(MonthItem& item);
    void KeepStripEndless(int offset);
    void MoveCursor(int days);
    void BringCursorIntoView();
    QSize PageSize() const;
    void PlaceColumn();

    QWidget* m_column = nullptr;
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
};
