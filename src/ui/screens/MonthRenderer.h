#pragma once

#include "model/CalDate.h"
#include "ui/toolkit/ColorTheme.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <vector>

class QPainter;
class QWidget;
struct MonthItem;

/// How a view arranges its month pages: `columns` pages side by side, each `pageSize` large
/// and drawn at `zoom` times its natural size, so that a wide window shows more months and
/// larger cells instead of a narrow strip.
struct PageLayout
{
    int columns = 1;
    double zoom = 1.0;
    QSize pageSize;

    bool operator==(const PageLayout&) const = default;
};

/// Draws the month pages of the calendar: the title, the weekday letters and a cell per day
/// with its marks (bleeding and fertile discs, stored-record brackets, the note corner, today's
/// ring and the marked day). One process-wide object (TheMonthRenderer); the pages share one
/// gradient background made once per page size.
///
/// Every text is drawn in a colour that reads on what lies under it (at least 4.5:1), and every
/// mark in one that stands out from the page (at least 3:1): the theme's colour where it does,
/// otherwise the least change of it that does. The themes' page gradients stay as they are.
class MonthRenderer
{
public:
    // Colours of the marks before they are made readable on the theme's page.
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
    /// The arrangement of the pages in a view of `view` size: as many columns (1, 2, 3, 4 or
    /// 6, so that rows start with the quarters of a year) as leave each page at least one and
    /// a half times its natural width, pages enlarged by quarter steps up to twice their
    /// natural size while a whole page fits the view's height, and at most two and a half
    /// times as wide as they are high.
    PageLayout LayoutFor(QSize view);

    /// The day drawn in the marked colour; an invalid date marks none.
    void SetMarkedDate(const CalDate& date);
    CalDate MarkedDate() const;

    /// Renders the page of `item` (its month and year) at `size` for `widget`'s pixel
    /// density, drawn at `zoom` times its natural size, and fills its cell rectangles (in the
    /// page's pixels).
    void RenderPage(MonthItem& item, QSize size, const QWidget* widget, double zoom = 1.0);

    /// The title, the headings and the day cells of one month inside `page`.
    void DrawMonthGrid(QPainter& painter, const QRect& page, int month, int year, std::vector<QRect>& cells);

    /// Draws the marks of `day` in `cell` and leaves the day number's colour as the painter's
    /// pen: grey on weekends, the marked colour on the marked day, each readable on the page
    /// or on the day's disc.
    virtual void DecorateCell(QPainter& painter, const QRect& cell, const CalDate& day);

    /// The colours a page of `theme` draws with, each readable on that theme's page gradient.
    struct PageColours
    {
        QColor title;         ///< month title and weekday letters
        QColor weekday;       ///< day numbers
        QColor weekend;       ///< Saturday and Sunday numbers
        QColor marked;        ///< the marked day's number
        QColor todayRing;     ///< today's ring
        QColor bleedingRim;   ///< edge of a bleeding disc
        QColor fertileRim;    ///< edge of a fertile disc
        QColor bleedingFrame; ///< brackets of a stored day with a bleeding disc
        QColor fertileFrame;  ///< brackets of a stored day with a fertile disc
        QColor plainFrame;    ///< brackets of another stored day
        QColor noteEdge;      ///< the note corner's edge
        QColor noteFold;      ///< the note corner's fold
    };
    static PageColours ColoursFor(const ColorTheme& theme);

    /// The fill of a disc of weight `a` (0 to 256) toward `target` on `theme`.
    static QColor DiscColour(const ColorTheme& theme, QRgb target, int a);

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
    /// The same on one line for a screen reader, without the marks' pictures: "Tuesday,
    /// December 8, 2026: period expected, chance of conception 3 %".
    QString AccessibleDay(const CalDate& day);

protected:
    /// The number's colour of `day` on the page, before any decoration.
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
    /// How a bleeding day came about: "recorded", "expected" or "filled in".
    static QString BleedingOrigin(const CellState& state, const CalDate& day);
    /// The start of a day's note, as a tooltip shows it.
    static QString NotePreview(const CellState& state);
    const QImage& Background(QSize size, qreal ratio);
    const PageColours& Colours() const;

    std::array<QString, 7> m_dayLetters;
    int m_firstDayOfWeek = 0;
    int m_pageHeight = 0;
    int m_markedDay = 0;
    int m_markedMonth = 0;
    int m_markedYear = 0;
    QImage m_background;
    CalDate m_today{0, 0, 0};
    // The colours of the theme they were worked out for.
    mutable PageColours m_colours;
    mutable ColorTheme m_coloursTheme;
    mutable bool m_coloursValid = false;
};

/// The process-wide month renderer.
MonthRenderer& TheMonthRenderer();
