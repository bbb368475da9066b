#pragma once

#include "model/CalDate.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <vector>

class QPainter;
class QWidget;
struct MonthItem;

/// Draws the month pages of the calendar: the title, the weekday letters and a cell per day
/// with its marks (bleeding and fertile discs, stored-record brackets, the note corner, today's
/// ring and the marked day). One process-wide object (TheMonthRenderer); the pages share one
/// gradient background made once per page size.
class MonthRenderer
{
public:
    // Fixed colours of the marks.
    static constexpr QRgb kWeekendText = 0x808080;
    static constexpr QRgb kMarkedTextDark = 0xFFFF00;
    static constexpr QRgb kMarkedTextLight = 0x960096;
    static constexpr QRgb kBleedingTarget = 0xDE1212;
    static constexpr QRgb kFertileTarget = 0x12FF12;
    static constexpr QRgb kBleedingFrame = 0x321010;
    static constexpr QRgb kFertileFrame = 0x103210;
    static constexpr QRgb kPlainFrame = 0x404040;
    static constexpr QRgb kNoteDark = 0x808080;
    static constexpr QRgb kNoteLight = 0xC0C0C0;

    MonthRenderer();
    virtual ~MonthRenderer();
    MonthRenderer(const MonthRenderer&) = delete;
    MonthRenderer& operator=(const MonthRenderer&) = delete;

    /// Reads the weekday letters and the first day of the week from the default locale and
    /// the page height from the image cache's line heights. Run when a calendar opens.
    void Prepare();

    /// The heading letter of `weekday`, 0 = Monday to 6 = Sunday.
    const QString& DayLetter(int weekday) const;
    /// Column of the first heading: 0 = Monday to 6 = Sunday.
    int FirstDayOfWeek() const
    {
        return m_firstDayOfWeek;
    }
    /// Height of every month page: (L1 + 6 x L2) x 2 with L1, L2 the caption and
    /// description heights. Computed on first use.
    int PageHeight();
    /// Width of a page for a view `clientWidth` wide: on a wide view the grid keeps a
    /// sensible shape, at most twice the page height, and is centred.
    int PageWidth(int clientWidth);

    /// The day drawn in the marked colour; an invalid date marks none.
    void SetMarkedDate(const CalDate& date);
    CalDate MarkedDate() const;

    /// Renders the page of `item` (its month and year) at `size` for `widget`'s pixel
    /// density, and fills its cell rectangles.
    void RenderPage(MonthItem& item, QSize size, const QWidget* widget);

    /// The title, the headings and the day cells of one month inside `page`.
    void DrawMonthGrid(QPainter& painter, const QRect& page, int month, int year, std::vector<QRect>& cells);

    /// Draws the marks of `day` in `cell` and leaves the day number's colour as the painter's
    /// pen: grey on weekends, the marked colour on the marked day.
    virtual void DecorateCell(QPainter& painter, const QRect& cell, const CalDate& day);

    /// Drops the shared page background (a panel is destroyed); the next page makes it again.
    void ReleaseBackground();
    bool HasBackground() const
    {
        return !m_background.isNull();
    }

    /// The title of a page: the month's nominative name and the year, "December, 2026".
    static QString MonthTitle(int month, int year);

    /// What a day's cell shows, in words: the date, bleeding, the chance, the marks, the note.
    QString DescribeDay(const CalDate& day);

protected:
    /// The number's colour of `day` before any decoration.
    QColor BaseTextColor(const CalDate& day) const;

private:
    // What the cell of a day shows, from the database.
    struct CellState
    {
        int level = 0;
        int chance = -1;
        bool stored = false;
        bool hasNote = false;
        int storedLevel = 0;
        QString note;
        int fade = 0;
        int daysAhead = 0;
    };
    CellState LookUp(const CalDate& day);
    const QImage& Background(QSize size, qreal ratio);

    std::array<QString, 7> m_dayLetters;
    int m_firstDayOfWeek = 0;
    int m_pageHeight = 0;
    int m_markedDay = 0;
    int m_markedMonth = 0;
    int m_markedYear = 0;
    QImage m_background;
    CalDate m_today{0, 0, 0};
};

/// The process-wide month renderer.
MonthRenderer& TheMonthRenderer();
