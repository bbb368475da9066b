#pragma once

#include "ui/toolkit/DrawnItemsAccessible.h"

#include <QColor>
#include <QRect>
#include <QWidget>

class QPainter;

/// The conception chart: one column per day of an average cycle, a bar over each day with a
/// chance of conceiving, today's column shaded, a percent scale on the left and the cycle
/// days below. It reads the cycle database on every paint and stores nothing. Its colours
/// are fixed (black on white), whatever the theme. Hovering a column shows its day and
/// chance as a tooltip; with the keyboard focus the arrow keys, Home and End move a dashed
/// frame from column to column, show the same text and tell a screen reader.
class COvuChartWnd : public QWidget, public AccessibleItemSource
{
    Q_OBJECT

public:
    static inline const QColor kBarColour{141, 168, 225};
    static inline const QColor kTodayColour{255, 255, 192};
    static inline const QColor kGridColour{192, 192, 192};

    explicit COvuChartWnd(QWidget* parent = nullptr);
    ~COvuChartWnd() override;

    /// Paints the whole chart for a client area of `size` with the painter's font.
    static void PaintChart(QPainter& painter, QSize size);

    /// Where the plot lies in the window; its margins follow the width and height of the digit
    /// "8" in the window's font. Empty when the window is too small for the margins.
    QRect PlotRect() const;
    /// The plot area of column `index` (cycle day index + 1); empty when there is no such column.
    QRect ColumnRect(int index) const;
    /// The column under x, or -1.
    int ColumnAt(int x) const;
    /// The tooltip of column `index`: "Day 15, December 20: 84 %, expected ovulation" for the
    /// current cycle's days, "Day 15: 84 %" without a current cycle.
    static QString ColumnTip(int index);
    /// Each column for a screen reader, named as its tooltip; the keyboard's column is focused.
    std::vector<AccessibleItem> AccessibleItems() const override;
    /// The column the keyboard is on, or -1 before the chart first had the focus.
    int KeyboardColumn() const
    {
        return m_keyboardColumn;
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void MoveKeyboardColumn(int column);

    int m_keyboardColumn = -1;
};
