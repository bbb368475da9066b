#include "ui/screens/COvuChartWnd.h"

#include "model/CycleDatabase.h"
#include "model/OvulationDates.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QToolTip>

#include <algorithm>
#include <cstdint>

namespace {
constexpr int kFrameWidth = 2;
constexpr int kAxisWidth = 2;
constexpr int kGridSteps = 5; // 100 % down to 20 %, each a fifth of the plot
constexpr int kDayLabelEvery = 5;

// The chart's geometry for one client size and font; every division truncates.
struct ChartLayout
{
    int width = 0;
    int height = 0;
    int cx = 0; // width of the digit "8"
    int cy = 0; // height of the digit "8"
    int lm = 0; // left margin
    int tm = 0; // top margin
    int pw = 0; // plot width
    int ph = 0; // plot height
    int days = 0;

    bool HasPlot() const
    {
        return pw >= 1 && ph >= 1 && days >= 1;
    }
    // x of the left edge of column i; column i spans ColumnLeft(i) to ColumnLeft(i + 1).
    int ColumnLeft(int i) const
    {
        return lm + static_cast<int>(static_cast<int64_t>(i) * pw / days);
    }
    int Bottom() const
    {
        return tm + ph; // the x axis
    }
};

ChartLayout LayoutFor(QSize size, const QFontMetrics& metrics, int days)
{
    ChartLayout layout;
    layout.width = size.width();
    layout.height = size.height();
    layout.cx = metrics.horizontalAdvance(QLatin1Char('8'));
    layout.cy = metrics.height();
    layout.lm = 6 * layout.cx;
    layout.tm = 2 * layout.cy;
    layout.pw = layout.width - 7 * layout.cx;
    layout.ph = layout.height - 4 * layout.cy;
    layout.days = days;
    return layout;
}

// A rectangle from its left-top to its right-bottom pixel, both included.
QRect Span(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void PaintFrame(QPainter& painter, const ChartLayout& layout)
{
    const QRect all(0, 0, layout.width, layout.height);
    painter.fillRect(all, Qt::white);
    const int w = std::min(kFrameWidth, std::min(layout.width, layout.height));
    painter.fillRect(QRect(0, 0, layout.width, w), Qt::black);
    painter.fillRect(QRect(0, layout.height - w, layout.width, w), Qt::black);
    painter.fillRect(QRect(0, 0, w, layout.height), Qt::black);
    painter.fillRect(QRect(layout.width - w, 0, w, layout.height), Qt::black);
}

void PaintToday(QPainter& painter, const ChartLayout& layout, int today)
{
    if (today < 0 || today >= layout.days)
        return;
    const int x0 = static_cast<int>(static_cast<int64_t>(today) * layout.pw / layout.days);
    const int x1 = static_cast<int>(static_cast<int64_t>(today + 1) * layout.pw / layout.days);
    painter.fillRect(Span(layout.lm + x0, layout.tm, layout.lm + x1, layout.Bottom() - 1), COvuChartWnd::kTodayColour);

    const QString text = QStringLiteral("Today");
    const QFontMetrics metrics = painter.fontMetrics();
    const int tw = metrics.horizontalAdvance(text);
    const int th = metrics.height();
    // Centred over the column, but never beyond either end of the plot.
    int centre = (2 * layout.lm + x0 + x1) / 2;
    if (centre + tw / 2 > layout.lm + layout.pw)
        centre = layout.lm + layout.pw - tw / 2;
    if (centre - tw / 2 < layout.lm)
        centre = layout.lm + tw / 2;
    painter.drawText(Span(centre - tw / 2, 0, centre + tw - 1, layout.tm - th / 4 - 1),
                     Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, text);
}

void PaintAxes(QPainter& painter, const ChartLayout& layout)
{
    const int half = kAxisWidth / 2;
    painter.fillRect(Span(layout.lm - half, layout.tm - 2, layout.lm - half + kAxisWidth - 1, layout.Bottom() + 1),
                     Qt::black);
    painter.fillRect(
        Span(layout.lm - 1, layout.Bottom() - half, layout.lm + layout.pw + 1, layout.Bottom() - half + kAxisWidth - 1),
        Qt::black);
}

void PaintScale(QPainter& painter, const ChartLayout& layout)
{
    for (int k = 0; k < kGridSteps; ++k) {
        const int percent = 100 - 20 * k;
        const int y = layout.tm + (k * 20 * layout.ph) / 100;
        if (layout.pw > 1)
            painter.fillRect(Span(layout.lm + 1, y, layout.lm + layout.pw - 1, y), COvuChartWnd::kGridColour);
        painter.drawText(Span(0, y - 2 * layout.cy, layout.lm - (2 * layout.cx) / 3 - 1, y + 2 * layout.cy - 1),
                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, QStringLiteral("%1%").arg(percent));
    }
}

void PaintDays(QPainter& painter, const ChartLayout& layout)
{
    for (int i = 0; i < layout.days; ++i) {
        const int left = layout.ColumnLeft(i);
        const int right = layout.ColumnLeft(i + 1);
        if (i == 0 || (i + 1) % kDayLabelEvery == 0) {
            painter.drawText(
                Span(left - 2 * layout.cx, layout.Bottom() + 2, right + 2 * layout.cx - 1, layout.height - 1),
                Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, QString::number(i + 1));
        }
        if (layout.ph > 1)
            painter.fillRect(Span(right, layout.tm, right, layout.Bottom() - 2), COvuChartWnd::kGridColour);
    }
}

void PaintBars(QPainter& painter, const ChartLayout& layout, CycleDatabase& database)
{
    for (int i = 0; i < layout.days; ++i) {
        const int chance = database.ChanceForCycleDay(i);
        if (chance <= 0)
            continue;
        const int barHeight = static_cast<int>(static_cast<int64_t>(chance) * layout.ph / 100);
        if (barHeight < 1)
            continue;
        const QRect bar =
            Span(layout.ColumnLeft(i), layout.Bottom() - barHeight, layout.ColumnLeft(i + 1), layout.Bottom() - 1);
        if (bar.width() <= 2 || bar.height() <= 2) {
            painter.fillRect(bar, Qt::black);
            continue;
        }
        // The outline as four edges: every pixel is written once, which counts on a big screen.
        painter.fillRect(bar.adjusted(1, 1, -1, -1), COvuChartWnd::kBarColour);
        painter.fillRect(Span(bar.left(), bar.top(), bar.right(), bar.top()), Qt::black);
        painter.fillRect(Span(bar.left(), bar.bottom(), bar.right(), bar.bottom()), Qt::black);
        painter.fillRect(Span(bar.left(), bar.top() + 1, bar.left(), bar.bottom() - 1), Qt::black);
        painter.fillRect(Span(bar.right(), bar.top() + 1, bar.right(), bar.bottom() - 1), Qt::black);
    }
}
} // namespace

COvuChartWnd::COvuChartWnd(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // Installed before the name is set: setting it may already build the accessible interface.
    DrawnItemsAccessible::Install();
    setAccessibleName(QStringLiteral("Chance of conception by day of the cycle"));
}

std::vector<AccessibleItem> COvuChartWnd::AccessibleItems() const
{
    std::vector<AccessibleItem> items;
    for (int index = 0;; ++index) {
        const QRect column = ColumnRect(index);
        if (column.isEmpty())
            break;
        items.push_back({ColumnTip(index), QString(), column, index == m_keyboardColumn});
    }
    return items;
}

COvuChartWnd::~COvuChartWnd() = default;

void COvuChartWnd::PaintChart(QPainter& painter, QSize size)
{
    CycleDatabase& database = TheCycleDatabase();
    const ChartLayout layout = LayoutFor(size, painter.fontMetrics(), database.AverageCycleLength());
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintFrame(painter, layout);
    // Too small for its margins: the frame alone.
    if (!layout.HasPlot())
        return;
    // The text is black on the white plot in every theme.
    painter.setPen(Qt::black);
    PaintToday(painter, layout, database.DayOfCycle());
    PaintAxes(painter, layout);
    PaintScale(painter, layout);
    PaintDays(painter, layout);
    PaintBars(painter, layout, database);
}

QRect COvuChartWnd::PlotRect() const
{
    const ChartLayout layout = LayoutFor(size(), fontMetrics(), TheCycleDatabase().AverageCycleLength());
    if (!layout.HasPlot())
        return QRect();
    return QRect(layout.lm, layout.tm, layout.pw, layout.ph);
}

QRect COvuChartWnd::ColumnRect(int index) const
{
    const ChartLayout layout = LayoutFor(size(), fontMetrics(), TheCycleDatabase().AverageCycleLength());
    if (!layout.HasPlot() || index < 0 || index >= layout.days)
        return QRect();
    return Span(layout.ColumnLeft(index), layout.tm, layout.ColumnLeft(index + 1), layout.Bottom() - 1);
}

int COvuChartWnd::ColumnAt(int x) const
{
    const ChartLayout layout = LayoutFor(size(), fontMetrics(), TheCycleDatabase().AverageCycleLength());
    if (!layout.HasPlot() || x < layout.lm || x >= layout.lm + layout.pw)
        return -1;
    const int index = static_cast<int>(static_cast<int64_t>(x - layout.lm) * layout.days / layout.pw);
    // The columns' edges are rounded down; step to the column that really holds x.
    int column = std::min(index, layout.days - 1);
    while (column > 0 && x < layout.ColumnLeft(column))
        --column;
    while (column + 1 < layout.days && x >= layout.ColumnLeft(column + 1))
        ++column;
    return column;
}

QString COvuChartWnd::ColumnTip(int index)
{
    CycleDatabase& database = TheCycleDatabase();
    const int chance = database.ChanceForCycleDay(index);
    OvulationDates dates;
    if (!FindOvulations(database, Today(), dates))
        return QStringLiteral("Day %1: %2 %").arg(index + 1).arg(chance);
    // The columns are the days of the current cycle: each names its date, and the day the
    // other screens give as this cycle's ovulation says so.
    const CalDate day = OffsetDate(dates.cycleStart, index);
    const QString tip = QStringLiteral("Day %1, %2: %3 %").arg(index + 1).arg(FormatMonthDay(day)).arg(chance);
    return IsSameDate(day, dates.cycleOvulation) ? tip + QStringLiteral(", expected ovulation") : tip;
}

void COvuChartWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintChart(painter, size());
    const QRect column = ColumnRect(m_keyboardColumn);
    if (hasFocus() && !column.isEmpty()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(column.adjusted(0, 0, -1, -1));
    }
}

void COvuChartWnd::keyPressEvent(QKeyEvent* event)
{
    // The column at the plot's right edge; -1 without a plot, which no move accepts.
    const int last = ColumnAt(PlotRect().right());
    switch (event->key()) {
    case Qt::Key_Left:
        MoveKeyboardColumn(std::max(m_keyboardColumn - 1, 0));
        break;
    case Qt::Key_Right:
        MoveKeyboardColumn(std::min(m_keyboardColumn + 1, last));
        break;
    case Qt::Key_Home:
        MoveKeyboardColumn(0);
        break;
    case Qt::Key_End:
        MoveKeyboardColumn(last);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void COvuChartWnd::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // The first visit starts on today's column, as the chart's shading does.
    if (m_keyboardColumn < 0) {
        const int today = TheCycleDatabase().DayOfCycle();
        m_keyboardColumn = ColumnRect(today).isEmpty() ? 0 : today;
    }
    MoveKeyboardColumn(m_keyboardColumn);
}

void COvuChartWnd::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    QToolTip::hideText();
    update();
}

void COvuChartWnd::MoveKeyboardColumn(int column)
{
    const QRect rect = ColumnRect(column);
    if (rect.isEmpty())
        return;
    m_keyboardColumn = column;
    update();
    QToolTip::showText(mapToGlobal(rect.topRight()), ColumnTip(column), this, rect);
    DrawnItemsAccessible::NotifyFocusMoved(this);
}

bool COvuChartWnd::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int column = ColumnAt(help->pos().x());
        if (column < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), ColumnTip(column), this, ColumnRect(column));
        }
        return true;
    }
    return QWidget::event(event);
}
