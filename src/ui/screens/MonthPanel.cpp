#include "ui/screens/MonthPanel.h"

#include "ui/screens/CCalPainter.h"
#include "ui/screens/MonthItem.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/toolkit/ColorTheme.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

MonthPanel::MonthPanel(CCalPainter* owner) : CScrollPanel(owner), m_painter(owner)
{
    SetRowHeight(TheMonthRenderer().PageHeight());
    setMouseTracking(false);
}

MonthPanel::~MonthPanel()
{
    TheMonthRenderer().ReleaseBackground();
}

void MonthPanel::Render()
{
    // The strip is never composed into one picture: at a large window and a high pixel density
    // it would take hundreds of megabytes and most of a frame to copy for every month shifted.
}

void MonthPanel::SetStripWidth(int width)
{
    const int rows = m_painter->ItemCount() / std::max(1, m_painter->Columns());
    const long long stripHeight = static_cast<long long>(RowHeight()) * rows;
    resize(std::max(0, width), static_cast<int>(std::min<long long>(stripHeight, QWIDGETSIZE_MAX)));
    update();
}

void MonthPanel::UpdatePages()
{
    update(QRect(PageLeft() - 2, 0, m_painter->Columns() * m_painter->PageWidth() + 4, height()));
}

int MonthPanel::PageLeft() const
{
    return std::max(0, (width() - m_painter->Columns() * m_painter->PageWidth()) / 2);
}

QPoint MonthPanel::PageOrigin(int index) const
{
    const int columns = std::max(1, m_painter->Columns());
    return QPoint(PageLeft() + (index % columns) * m_painter->PageWidth(), (index / columns) * RowHeight());
}

const MonthItem* MonthPanel::PageAt(QPoint point, int* index) const
{
    const int h = RowHeight();
    const int w = m_painter->PageWidth();
    const int columns = std::max(1, m_painter->Columns());
    const int x = point.x() - PageLeft();
    if (h <= 0 || w <= 0 || point.y() < 0 || x < 0 || x >= columns * w)
        return nullptr;
    const int i = (point.y() / h) * columns + x / w;
    const MonthItem* page = m_painter->Page(i);
    if (page && index)
        *index = i;
    return page;
}

bool MonthPanel::DayAt(QPoint point, CalDate& day, QRect* cell) const
{
    int index = 0;
    const MonthItem* page = PageAt(point, &index);
    if (!page)
        return false;
    const QPoint local = point - PageOrigin(index);
    // From the last day to the first, as cells of neighbouring rows may overlap.
    for (int k = static_cast<int>(page->cells.size()) - 1; k >= 0; --k) {
        const QRect& rect = page->cells[static_cast<size_t>(k)];
        if (rect.contains(local)) {
            day = CalDate{static_cast<int16_t>(page->month), static_cast<int16_t>(k + 1),
                          static_cast<int16_t>(page->year)};
            if (cell)
                *cell = rect.translated(PageOrigin(index));
            return true;
        }
    }
    return false;
}

QRect MonthPanel::CellRect(const CalDate& day) const
{
    const int index = (day.year - m_painter->FirstYear()) * 12 + (day.month - m_painter->FirstMonth());
    const MonthItem* page = m_painter->Page(index);
    if (!page || page->month != day.month || page->year != day.year || day.day < 1 ||
        day.day > static_cast<int>(page->cells.size()))
        return QRect();
    return page->cells[static_cast<size_t>(day.day - 1)].translated(PageOrigin(index));
}

void MonthPanel::OnTap(int x, int y)
{
    CalDate day{0, 0, 0};
    if (DayAt(QPoint(x, y), day))
        m_painter->DayTapped(day);
}

void MonthPanel::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const QColor background = SelectedTheme().Color(1);
    const int h = RowHeight();
    const int left = PageLeft();
    const int pageWidth = m_painter->PageWidth();
    const int columns = std::max(1, m_painter->Columns());
    const int rowWidth = columns * pageWidth;
    // The sides of a centred grid.
    if (left > 0)
        painter.fillRect(QRect(0, area.top(), left, area.height()).intersected(area), background);
    if (left + rowWidth < width())
        painter.fillRect(QRect(left + rowWidth, area.top(), width() - left - rowWidth, area.height()).intersected(area),
                         background);
    if (h <= 0) {
        painter.fillRect(area, background);
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const int first = std::max(0, area.top() / h);
    const int last = (area.top() + area.height() - 1) / h;
    for (int row = first; row <= last; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int k = row * columns + column;
            const QRect band(left + column * pageWidth, row * h, pageWidth, h);
            const QRect target = band.intersected(area);
            if (target.isEmpty())
                continue;
            const MonthItem* page = m_painter->Page(k);
            if (!page || page->page.isNull()) {
                painter.fillRect(target, background);
                continue;
            }
            const qreal ratio = page->page.devicePixelRatio();
            const QRectF source((target.left() - band.left()) * ratio, (target.top() - band.top()) * ratio,
                                target.width() * ratio, target.height() * ratio);
            painter.drawImage(QRectF(target), page->page, source);
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (m_painter->IsCursorVisible()) {
        const QRect cell = CellRect(m_painter->CursorDate());
        if (!cell.isEmpty() && cell.intersects(area.adjusted(-2, -2, 2, 2))) {
            painter.setPen(QPen(SelectedTheme().Color(2), 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(cell.adjusted(-1, -1, 0, 0));
            painter.drawRect(cell.adjusted(-2, -2, 1, 1));
        }
    }
}

bool MonthPanel::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        CalDate day{0, 0, 0};
        QRect cell;
        if (DayAt(help->pos(), day, &cell)) {
            QToolTip::showText(help->globalPos(), TheMonthRenderer().DescribeDay(day), this, cell);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return CScrollPanel::event(event);
}
