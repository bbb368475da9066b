#include "ui/screens/CCalPainter.h"

#include "model/CivilDays.h"
#include "resources/ResourceIds.h"
#include "ui/screens/MonthItem.h"
#include "ui/screens/MonthPanel.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/toolkit/CBlackDialog.h"

#include <QKeyEvent>

#include <algorithm>

namespace {
// The window of months: the first page never lies before January 1971 or after December 2100.
constexpr int kFirstMonthIndex = 1971 * 12;
constexpr int kLastMonthIndex = 2100 * 12 + 11;

int MonthIndex(int month, int year)
{
    return year * 12 + (month - 1);
}

// Division rounding toward minus infinity, for rows above the strip's first one.
int FloorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}
} // namespace

CCalPainter::CCalPainter(QWidget* parent) : CFingerScroller(parent)
{
    setAccessibleName(QStringLiteral("Calendar"));
    SetIntroSlide(false);
    // The strip has no ends to show a position between.
    SetScrollIndicatorEnabled(false);
    // A calendar left open across midnight, or a machine that slept, must not keep its ring on
    // yesterday; one timer at midnight would fire hours late after a suspend.
    m_dateCheckTimer.setInterval(kDateCheckMilliseconds);
    connect(&m_dateCheckTimer, &QTimer::timeout, this, &CCalPainter::CheckDate);
    m_dateCheckTimer.start();
}

CCalPainter::~CCalPainter() = default;

void CCalPainter::CreatePanel()
{
    // The panel lives in a column as wide as the pages, centred in the view, so that moving
    // it never moves the plain sides of a wide window, which on a large screen would cost
    // most of a frame for every step.
    if (!m_column) {
        m_column = new QWidget(this);
        m_column->setObjectName(QStringLiteral("PageColumn"));
        m_column->setFocusPolicy(Qt::NoFocus);
        PlaceColumn();
        m_column->show();
    }
    auto* panel = new MonthPanel(this);
    panel->setParent(m_column);
    SetPanel(panel);
}

void CCalPainter::PlaceColumn()
{
    const int columnWidth = Columns() * PageWidth();
    if (m_column)
        m_column->setGeometry((width() - columnWidth) / 2, 0, columnWidth, height());
}

MonthPanel* CCalPainter::Months() const
{
    return static_cast<MonthPanel*>(Panel());
}

MonthItem* CCalPainter::Page(int index) const
{
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return static_cast<MonthItem*>(Items()[static_cast<size_t>(index)].get());
}

int CCalPainter::PageHeight() const
{
    return Panel() ? Panel()->RowHeight() : 0;
}

int CCalPainter::PageCountFor(int clientHeight) const
{
    const int h =
        std::max(1, m_layout.pageSize.height() > 0 ? m_layout.pageSize.height() : TheMonthRenderer().PageHeight());
    const int rows = std::max(0, clientHeight) / h + 3;
    return Columns() == 1 ? rows * 2 : rows * Columns();
}

int CCalPainter::PageWidth() const
{
    return m_layout.pageSize.width();
}

QSize CCalPainter::PageSize() const
{
    return m_layout.pageSize;
}

void CCalPainter::Populate()
{
    ClearItems();
    MonthPanel* panel = Months();
    if (!panel)
        return;
    m_layout = TheMonthRenderer().LayoutFor(size());
    panel->SetRowHeight(std::max(1, m_layout.pageSize.height()));
    const int count = PageCountFor(height());
    for (int i = 0; i < count; ++i)
        AddItem(std::make_unique<MonthItem>());
    PlaceColumn();
    panel->SetStripWidth(Columns() * PageWidth());
    const CalDate today = Today();
    TheMonthRenderer().SetMarkedDate(today);
    m_cursor = today;
    ScrollToMonth(today.month, today.year);
}

void CCalPainter::LayoutPanel()
{
    MonthPanel* panel = Months();
    if (!panel)
        return;
    const PageLayout wanted = TheMonthRenderer().LayoutFor(size());
    if (ItemCount() > 0 && wanted != m_layout && PageHeight() > 0) {
        // Other columns or another page size: the month at the view's top stays at the top,
        // the same share of its page above the view.
        const int h = PageHeight();
        const int viewTop = -Offset();
        const int row = FloorDiv(viewTop, h);
        const int within = viewTop - row * h;
        int topMonth = MonthIndex(m_firstMonth, m_firstYear) + row * Columns();
        // A row of several months: the month that stood at the top before the last change of
        // columns, when it is still in that row, so that widening and narrowing come back to it.
        if (m_layoutAnchor >= topMonth && m_layoutAnchor < topMonth + Columns())
            topMonth = m_layoutAnchor;
        m_layoutAnchor = topMonth;
        m_layout = wanted;
        const int newHeight = std::max(1, m_layout.pageSize.height());
        panel->SetRowHeight(newHeight);
        auto& items = MutableItems();
        const int count = PageCountFor(height());
        items.resize(static_cast<size_t>(count));
        for (auto& item : items) {
            if (!item)
                item = std::make_unique<MonthItem>();
        }
        PlaceColumn();
        panel->SetStripWidth(Columns() * PageWidth());
        ShowRow(topMonth, -(within * newHeight / h));
        return;
    }
    m_layout = wanted;
    PlaceColumn();
    panel->SetStripWidth(Columns() * PageWidth());
    panel->move(0, Offset());
    if (ItemCount() == 0)
        return;
    // A window that grew taller needs more pages, or the strip would run out below the view.
    const int needed = PageCountFor(height());
    if (needed > ItemCount()) {
        for (int i = ItemCount(); i < needed; ++i)
            AddItem(std::make_unique<MonthItem>());
        panel->SetStripWidth(Columns() * PageWidth());
        panel->move(0, Offset());
        RenderPages(m_firstMonth, m_firstYear, true);
    } else if (PageSize() != m_lastPageSize) {
        RenderPages(m_firstMonth, m_firstYear, true);
    }
    KeepStripEndless(Offset());
}

void CCalPainter::ScrollToMonth(int month, int year)
{
    // Any month number is carried into the years.
    ShowRow(MonthIndex(1, year) + (month - 1), PageHeight() / 16);
}

void CCalPainter::ShowRow(int monthIndex, int rowTop)
{
    const int columns = Columns();
    const int h = PageHeight();
    int above = h != 0 ? 2 : 0;
    int firstRow = FloorDiv(monthIndex, columns) - above;
    const int firstRowLimit = kFirstMonthIndex / columns;
    if (firstRow < firstRowLimit) {
        above = std::max(0, above - (firstRowLimit - firstRow));
        firstRow = firstRowLimit;
    }
    firstRow = std::min(firstRow, kLastMonthIndex / columns);
    // A month at the start of the range stands at the top; the list never rests pulled down.
    const int target = above > 0 ? rowTop - above * h : std::min(0, rowTop);
    m_adjusting = true;
    ScrollBy(target - Offset());
    m_adjusting = false;
    const int index = firstRow * columns;
    RenderPages(index % 12 + 1, index / 12, true);
    KeepStripEndless(Offset());
}

void CCalPainter::RenderPages(int month, int year, bool force)
{
    MonthPanel* panel = Months();
    if (!panel)
        return;
    if (!force && month == m_firstMonth && year == m_firstYear)
        return;
    m_firstMonth = month;
    m_firstYear = year;
    int index = MonthIndex(month, year);
    for (int k = 0; k < ItemCount(); ++k, ++index) {
        MonthItem* page = Page(k);
        page->month = index % 12 + 1;
        page->year = index / 12;
        RenderPage(*page);
    }
    m_lastPageSize = PageSize();
    m_renderedToday = Today();
    panel->Refresh();
}

void CCalPainter::RenderPage(MonthItem& item)
{
    TheMonthRenderer().RenderPage(item, PageSize(), Panel(), m_layout.zoom);
}

bool CCalPainter::ShiftMonthBack()
{
    const int columns = Columns();
    if (ItemCount() < columns || MonthIndex(m_firstMonth, m_firstYear) - columns < kFirstMonthIndex)
        return false;
    const int index = MonthIndex(m_firstMonth, m_firstYear) - columns;
    m_firstMonth = index % 12 + 1;
    m_firstYear = index / 12;
    // The last row of pages is reused as the new first one.
    auto& items = MutableItems();
    std::rotate(items.rbegin(), items.rbegin() + columns, items.rend());
    for (int k = 0; k < columns; ++k) {
        MonthItem* page = Page(k);
        page->month = (index + k) % 12 + 1;
        page->year = (index + k) / 12;
        if (!m_deferRender)
            RenderPage(*page);
    }
    if (!m_deferRender)
        Months()->UpdatePages();
    return true;
}

bool CCalPainter::ShiftMonthForward()
{
    const int columns = Columns();
    if (ItemCount() < columns || MonthIndex(m_firstMonth, m_firstYear) / columns >= kLastMonthIndex / columns)
        return false;
    const int index = MonthIndex(m_firstMonth, m_firstYear) + columns;
    m_firstMonth = index % 12 + 1;
    m_firstYear = index / 12;
    // The first row of pages is reused as the new last one.
    auto& items = MutableItems();
    std::rotate(items.begin(), items.begin() + columns, items.end());
    for (int k = ItemCount() - columns; k < ItemCount(); ++k) {
        const int month = index + k;
        MonthItem* page = Page(k);
        page->month = month % 12 + 1;
        page->year = month / 12;
        if (!m_deferRender)
            RenderPage(*page);
    }
    if (!m_deferRender)
        Months()->UpdatePages();
    return true;
}

void CCalPainter::OnScrolled(int, int, int newOffset)
{
    if (!m_adjusting)
        KeepStripEndless(newOffset);
}

void CCalPainter::KeepStripEndless(int offset)
{
    const int h = PageHeight();
    const int n = ItemCount() / Columns();
    if (h <= 0 || n == 0)
        return;
    const int clientHeight = height();
    int corrected = offset;
    // A jump across more months than there are pages renders the pages once at its end.
    int needed = 0;
    if (corrected > -h)
        needed = (corrected + h + h - 1) / h;
    else if (n * h - h + corrected < clientHeight)
        needed = (clientHeight - (n * h - h + corrected) + h - 1) / h;
    m_deferRender = needed >= n;
    bool shifted = false;
    if (corrected > -h) {
        while (corrected > -h && ShiftMonthBack()) {
            corrected -= h;
            shifted = true;
        }
    } else {
        while (n * h - h + corrected < clientHeight && ShiftMonthForward()) {
            corrected += h;
            shifted = true;
        }
    }
    if (m_deferRender) {
        m_deferRender = false;
        if (shifted)
            RenderPages(m_firstMonth, m_firstYear, true);
    }
    if (corrected != offset) {
        m_adjusting = true;
        ScrollBy(corrected - offset);
        m_adjusting = false;
    }
}

void CCalPainter::CheckDate()
{
    const CalDate today = Today();
    if (ItemCount() == 0 || !IsValidDate(m_renderedToday) || IsSameDate(today, m_renderedToday))
        return;
    MonthRenderer& renderer = TheMonthRenderer();
    if (IsSameDate(renderer.MarkedDate(), m_renderedToday))
        renderer.SetMarkedDate(today);
    RenderPages(m_firstMonth, m_firstYear, true);
}

bool CCalPainter::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        CheckDate();
    return CFingerScroller::event(event);
}

void CCalPainter::SetCursorDate(const CalDate& date, bool visible)
{
    if (IsValidDate(date))
        m_cursor = date;
    m_cursorVisible = visible;
    if (Panel())
        Panel()->update();
    DrawnItemsAccessible::NotifyFocusMoved(this);
}

std::vector<AccessibleItem> CCalPainter::AccessibleItems() const
{
    std::vector<AccessibleItem> items;
    const MonthPanel* months = Months();
    if (!months)
        return items;
    const QRect view = rect();
    for (int index = 0; MonthItem* page = Page(index); ++index) {
        for (int number = 1; number <= static_cast<int>(page->cells.size()); ++number) {
            CalDate day{};
            day.month = static_cast<int16_t>(page->month);
            day.day = static_cast<int16_t>(number);
            day.year = static_cast<int16_t>(page->year);
            const QRect cell = months->CellRect(day);
            if (cell.isEmpty())
                continue;
            const QRect shown(months->mapTo(this, cell.topLeft()), cell.size());
            if (!shown.intersects(view))
                continue;
            items.push_back({TheMonthRenderer().AccessibleDay(day), QString(), shown, IsSameDate(day, m_cursor)});
        }
    }
    return items;
}

void CCalPainter::DayTapped(const CalDate& day)
{
    m_selectedDate = day;
    if (IsValidDate(day))
        m_cursor = day;
    if (auto* dialog = qobject_cast<CBlackDialog*>(parentWidget()))
        dialog->PostCommand(kCmdDayTapped);
}

void CCalPainter::MoveCursor(int days)
{
    if (!IsValidDate(m_cursor))
        m_cursor = Today();
    if (m_cursorVisible) {
        const CalDate next = CivilOffsetDate(m_cursor, days);
        // The cursor stays on days that can be stored.
        if (IsValidDate(next))
            m_cursor = next;
    }
    m_cursorVisible = true;
    BringCursorIntoView();
    if (Panel())
        Panel()->update();
}

void CCalPainter::BringCursorIntoView()
{
    MonthPanel* panel = Months();
    if (!panel)
        return;
    QRect cell = panel->CellRect(m_cursor);
    if (cell.isEmpty()) {
        ScrollToMonth(m_cursor.month, m_cursor.year);
        cell = panel->CellRect(m_cursor);
        if (cell.isEmpty())
            return;
    }
    SetVelocity(0.0f);
    const int h = PageHeight();
    // The cursor's whole page when it fits, otherwise its cell and a row around it.
    QRect wanted = cell.adjusted(0, -cell.height(), 0, cell.height());
    if (h <= height()) {
        const int top = (cell.top() / h) * h;
        wanted = QRect(cell.left(), top, cell.width(), h);
    }
    const int viewTop = -Offset();
    const int viewBottom = viewTop + height();
    if (wanted.top() < viewTop)
        ScrollBy(viewTop - wanted.top());
    else if (wanted.top() + wanted.height() > viewBottom)
        ScrollBy(viewBottom - (wanted.top() + wanted.height()));
    if (!IsInRestingRange())
        StartTimer();
}

void CCalPainter::keyPressEvent(QKeyEvent* event)
{
    if (IsCaptured() || !Panel()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int h = PageHeight();
    switch (event->key()) {
    case Qt::Key_Left:
        MoveCursor(-1);
        break;
    case Qt::Key_Right:
        MoveCursor(1);
        break;
    case Qt::Key_Up:
        MoveCursor(-7);
        break;
    case Qt::Key_Down:
        MoveCursor(7);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!IsValidDate(m_cursor))
            m_cursor = Today();
        m_cursorVisible = true;
        Panel()->update();
        DayTapped(m_cursor);
        break;
    case Qt::Key_PageUp:
        ScrollByWheel(QPoint(0, h), QPoint());
        break;
    case Qt::Key_PageDown:
        ScrollByWheel(QPoint(0, -h), QPoint());
        break;
    case Qt::Key_Home: {
        const CalDate today = Today();
        SetVelocity(0.0f);
        ScrollToMonth(today.month, today.year);
        SetCursorDate(today, m_cursorVisible);
        break;
    }
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
