#include "PageTestSupport.h"
#include "PixelContrast.h"

#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "settings/AppSettings.h"
#include "ui/screens/CCalPainter.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/MonthItem.h"
#include "ui/screens/MonthPanel.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/ImageCache.h"

#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QWheelEvent>

#include <optional>

namespace {
// Pixels of `rect` drawn in the yellow of the marked day on a dark page, allowing for the
// smoothing of the digits' edges.
int CountMarked(const QImage& image, const QRect& rect)
{
    return CountPixels(image, rect,
                       [](const QColor& c) { return c.red() > 150 && c.green() > 150 && c.blue() + 80 < c.green(); });
}

int MonthIndex(int month, int year)
{
    return year * 12 + month - 1;
}

// The part of a cell its brackets and note corner frame: the number's middle, as wide as the
// cell is high and a little more.
QRect MarkBox(const QRect& cell)
{
    const int side = std::min(cell.width(), cell.height());
    const int width = std::min(cell.width(), static_cast<int>(side * 1.4));
    return QRect(cell.left() + (cell.width() - width) / 2, cell.top(), width, cell.height());
}

// The strip position of the view's top edge in pixels from January of year 0: it moves by
// exactly what was scrolled when the strip shifts without a jump.
long long ViewPosition(const CCalPainter& painter)
{
    return static_cast<long long>(MonthIndex(painter.FirstMonth(), painter.FirstYear())) * painter.PageHeight() -
           painter.Offset();
}

// The pages follow each other month by month from the first month.
bool PagesAreConsecutive(const CCalPainter& painter)
{
    for (int k = 0; k < painter.ItemCount(); ++k) {
        const MonthItem* page = painter.Page(k);
        if (!page || MonthIndex(page->month, page->year) != MonthIndex(painter.FirstMonth(), painter.FirstYear()) + k)
            return false;
    }
    return true;
}

} // namespace

class CalendarTest : public PageTest
{
protected:
    // Recorded: 20 (Heavy) and 23 November 2026 (Heavy), 24 November (Medium, with a note);
    // 21 and 22 are filled in; the next period is predicted from 18 December; 4 December is
    // the ovulation day (84 %). Today is 6 December 2026.
    void RecordNovember()
    {
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords({Day(Date(2026, 11, 20), Heavy), Day(Date(2026, 11, 23), Heavy),
                                                       Day(Date(2026, 11, 24), Medium, QStringLiteral("Headache"))}));
    }

    // Runs `body` while the calendar runs as a page over the host, then ends it with "Back".
    int RunCalendar(CCalendarDlg& calendar, const std::function<void(CCalPainter&)>& body)
    {
        return Run(calendar, [&calendar, body] {
            body(*calendar.Painter());
            if (calendar.isVisible())
                calendar.OnCommand(kCmdCalendarBack);
        });
    }

    // The cell of `day` in the painter's coordinates.
    static QRect CellOf(CCalPainter& painter, const CalDate& day)
    {
        const MonthPanel* panel = painter.Months();
        return panel->CellRect(day).translated(panel->mapTo(&painter, QPoint(0, 0)));
    }
};

TEST_F(CalendarTest, PageShowsTheMarksInBothWeekLayouts)
{
    RecordNovember();
    // The names come from the locale: the month title's nominative (not the genitive of a
    // date), the weekday letters, also where the locale numbers its weekdays.
    struct Layout
    {
        QLocale locale;
        int firstDayOfWeek;
        QString november;
        QString letters;
    };
    const std::vector<Layout> layouts = {
        {QLocale(QLocale::English, QLocale::UnitedStates), 6, QStringLiteral("November, 2026"),
         QStringLiteral("MTWTFSS")},
        {QLocale(QLocale::German, QLocale::Germany), 0, QStringLiteral("November, 2026"), QStringLiteral("MDMDFSS")},
        {QLocale(QLocale::Polish, QLocale::Poland), 0, QStringLiteral("listopad, 2026"), QString()},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.locale.name().toStdString());
        QLocale::setDefault(layout.locale);
        CCalendarDlg calendar;
        RunCalendar(calendar, [&](CCalPainter& painter) {
            EXPECT_EQ(TheMonthRenderer().FirstDayOfWeek(), layout.firstDayOfWeek);
            EXPECT_EQ(MonthRenderer::MonthTitle(11, 2026), layout.november);
            QString letters;
            for (int d = 0; d < 7; ++d)
                letters += TheMonthRenderer().DayLetter(d);
            EXPECT_TRUE(layout.letters.isEmpty() || letters == layout.letters) << letters.toStdString();
            painter.ScrollToMonth(12, 2026);
            // The third page is December; November above it lies in view from below its title.
            painter.ScrollBy(painter.PageHeight() / 2);
            const QImage image = GrabPixels(&painter);
            const auto cell = [&](int month, int day) { return CellOf(painter, Date(2026, month, day)); };
            // A week that starts on Sunday has Sunday 6 December left of the Monday after it.
            EXPECT_EQ(cell(12, 6).left() < cell(12, 7).left(), layout.firstDayOfWeek == 6);
            const MonthRenderer::PageColours colours = MonthRenderer::ColoursFor(ColorTheme::BuiltIn(0));
            // Recorded heavy bleeding in the past: the pure bleeding colour, and brackets around
            // the number in a red that stands out from the dark page.
            const QRect recorded = cell(11, 20);
            const QRect recordedBox = MarkBox(recorded);
            EXPECT_GT(CountNear(image, recorded, QColor(222, 18, 18)), 40);
            EXPECT_EQ(image.pixelColor(recordedBox.topLeft()), colours.bleedingFrame);
            EXPECT_GT(colours.bleedingFrame.red(), colours.bleedingFrame.green() + 10);
            // Filled in (Medium, a = 128), without brackets.
            const QRect filled = cell(11, 21);
            EXPECT_GT(CountNear(image, filled, QColor(120, 18, 20)), 40);
            EXPECT_NE(image.pixelColor(MarkBox(filled).topLeft()), colours.bleedingFrame);
            // The note's folded corner below the number's left end.
            const QRect noted = MarkBox(cell(11, 24));
            const int q = noted.height() / 4 + 1;
            const int below = noted.top() + noted.height();
            EXPECT_EQ(image.pixelColor(noted.left(), below - 1), colours.noteFold);
            EXPECT_EQ(image.pixelColor(noted.left() + q + 2, below), colours.noteEdge);
            // Predicted bleeding 12 days ahead fades (a = 245); the ovulation day is fertile.
            EXPECT_GT(CountNear(image, cell(12, 18), QColor(213, 18, 18)), 40);
            EXPECT_GT(CountNear(image, cell(12, 4), QColor(18, 137, 20)), 40);
            EXPECT_EQ(CountNear(image, cell(12, 10), QColor(18, 137, 20)), 0);
            // Today (a Sunday, 36 %): the faint fertile disc, its ring and the marked colour.
            const QRect today = cell(12, 6);
            EXPECT_GT(CountNear(image, today, QColor(18, 78, 21)), 20);
            EXPECT_GT(CountNear(image, today, QColor(255, 255, 255)), 20);
            EXPECT_GT(CountMarked(image, today), 5);
            EXPECT_EQ(CountNear(image, cell(12, 7), QColor(255, 255, 255)), 0);
            // Saturday's and Sunday's numbers are in the weekend colour, Monday's are not.
            for (const auto& [day, weekend] : {std::pair{12, true}, {13, true}, {14, false}})
                EXPECT_EQ(CountNear(image, cell(12, day), colours.weekend, 8) > 5, weekend) << day;
        });
    }
}

TEST_F(CalendarTest, EveryNumberAndMarkReadsInEveryTheme)
{
    // Recorded Heavy, Medium with a note, Slight, a day stored without bleeding but with a
    // note; filled-in days on a weekend; predicted bleeding; fertile days of every band; today
    // (a Sunday) and, in a second round, the marked day on a fertile disc.
    RecordNovember();
    ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 11, 25), Slight)));
    ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 11, 27), None, QStringLiteral("ok"))));
    const QFontMetrics metrics(TheImageCache().DescriptionFont());
    for (int index = 0; index < ColorTheme::kThemeCount; ++index) {
        TheAppSettings().selectedTheme = index;
        const ColorTheme& theme = TheImageCache().Theme(index);
        for (const bool markOnDisc : {false, true}) {
            SCOPED_TRACE(theme.name.toStdString() + (markOnDisc ? ", marked day on a disc" : ""));
            CCalendarDlg calendar;
            RunCalendar(calendar, [&](CCalPainter& painter) {
                if (markOnDisc) {
                    TheMonthRenderer().SetMarkedDate(Date(2026, 12, 4));
                    painter.RenderPages(painter.FirstMonth(), painter.FirstYear(), true);
                }
                // November and December in view.
                painter.ScrollBy(painter.PageHeight());
                const QImage image = GrabPixels(&painter);
                for (int month : {11, 12}) {
                    const QRect first = CellOf(painter, Date(2026, month, 1));
                    const QColor titlePage = image.pixelColor(first.left() - 2, first.top() - 2 * first.height());
                    const QRect heading(first.left(), first.top() - first.height(), 7 * first.width(), first.height());
                    EXPECT_GE(HighestContrast(image, heading, titlePage), kTextContrast) << "weekday letters";
                    for (int d = 1; d <= DaysInMonth(2026, month); ++d) {
                        const CalDate date = Date(2026, month, d);
                        SCOPED_TRACE(QStringLiteral("%1.%2").arg(d).arg(month).toStdString());
                        const QRect cell = CellOf(painter, date);
                        const QColor page = image.pixelColor(cell.left() + 2, cell.center().y());
                        const DayRecord record = TheCycleDatabase().GetDay(date);
                        const bool disc = LevelOf(record) > 0 || TheCycleDatabase().ChanceForDate(date) > 25;
                        // The number: its strokes against what lies under them, just above them.
                        const int width = metrics.horizontalAdvance(QString::number(d));
                        const int baseline = cell.top() + (cell.height() - metrics.height()) / 2 + metrics.ascent();
                        const QRect digits(cell.left() + (cell.width() - width) / 2 + 1,
                                           baseline - metrics.capHeight() + 1, width - 2, metrics.capHeight() - 2);
                        const QPoint centre = cell.center();
                        const QColor under = image.pixelColor(centre.x(), digits.top() - 3);
                        EXPECT_GE(HighestContrast(image, digits, under), kTextContrast) << "day number";
                        // Marks stand out from the page: a disc's edge (unfaded up to tomorrow),
                        // brackets, a note's corner, today's ring.
                        const int side = std::min(cell.width(), cell.height());
                        if (disc && !IsAfter(date, Date(2026, 12, 7))) {
                            const int edge = centre.x() - (side - 2) / 2;
                            EXPECT_GE(HighestContrast(image, QRect(edge, centre.y() - 1, 2, 3), page), kMarkContrast)
                                << "disc";
                        }
                        const QRect box = MarkBox(cell);
                        if ((record.flags & kNoRecordFlag) == 0) {
                            EXPECT_GE(ContrastRatio(image.pixelColor(box.topLeft()), page), kMarkContrast)
                                << "brackets";
                            EXPECT_GE(ContrastRatio(image.pixelColor(box.right(), box.bottom()), page), kMarkContrast);
                        }
                        if (record.flags & kHasNoteFlag) {
                            const int q = cell.height() / 4 + 1;
                            const int bottom = cell.top() + cell.height();
                            EXPECT_GE(ContrastRatio(image.pixelColor(box.left() + 1, bottom - 1), page), kMarkContrast)
                                << "note fold";
                            EXPECT_GE(ContrastRatio(image.pixelColor(box.left() + q + 2, bottom), page), kMarkContrast)
                                << "note edge";
                        }
                        if (IsSameDate(date, Date(2026, 12, 6))) {
                            const QRect ring(centre.x() - side / 2, centre.y() - 1, 2, 3);
                            EXPECT_GE(HighestContrast(image, ring, page), kMarkContrast) << "today's ring";
                        }
                    }
                }
            });
        }
    }
}

TEST_F(CalendarTest, TodaysRingMovesOnAfterMidnight)
{
    CCalendarDlg calendar;
    RunCalendar(calendar, [&](CCalPainter& painter) {
        const auto ringPixels = [&painter](int day) {
            return CountNear(GrabPixels(&painter), CellOf(painter, Date(2026, 12, day)), QColor(255, 255, 255));
        };
        EXPECT_EQ(ringPixels(7), 0);
        // The calendar stays open across midnight; its next look at the clock moves the ring
        // and the mark that stood on the old today.
        SetToday(2026, 12, 7);
        EXPECT_LE(painter.DateCheckTimer().interval(), 60000);
        QTimerEvent tick(painter.DateCheckTimer().timerId());
        QCoreApplication::sendEvent(&painter.DateCheckTimer(), &tick);
        QCoreApplication::processEvents();
        EXPECT_EQ(ringPixels(6), 0);
        EXPECT_GT(ringPixels(7), 20);
        EXPECT_TRUE(IsSameDate(TheMonthRenderer().MarkedDate(), Date(2026, 12, 7)));
        // Coming back to the window looks too.
        SetToday(2026, 12, 8);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&painter, &activate);
        EXPECT_GT(ringPixels(8), 20);
    });
}

TEST_F(CalendarTest, TapOpensTheEditorOnTheDayAndEveryRunRendersAgain)
{
    RecordNovember();
    CCalendarDlg calendar;
    std::vector<CalDate> presets;
    int answer = QDialog::Rejected;
    CalDate chosen{0, 0, 0};
    calendar.SetDayEditor([&](QWidget*, const CalDate& preset, CalDate& date) {
        presets.push_back(preset);
        // The editor stores a day in every run, whatever it ends with.
        EXPECT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 12, 2), Heavy)));
        date = chosen;
        return answer;
    });
    RunCalendar(calendar, [&](CCalPainter& painter) {
        MonthPanel* panel = painter.Months();
        const QPoint centre = panel->mapFrom(&painter, CellOf(painter, Date(2026, 12, 9)).center());
        QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, centre);
        QCoreApplication::processEvents();
        ASSERT_EQ(presets.size(), 1u);
        EXPECT_TRUE(IsSameDate(presets[0], Date(2026, 12, 9)));
        // Back in the editor: the view and the mark stay, but the new day shows.
        EXPECT_EQ(painter.FirstMonth(), 10);
        EXPECT_TRUE(IsSameDate(TheMonthRenderer().MarkedDate(), Date(2026, 12, 6)));
        EXPECT_GT(CountNear(GrabPixels(&painter), CellOf(painter, Date(2026, 12, 2)), QColor(222, 18, 18)), 40);

        // Save on another month: it is marked and shown as the third page.
        answer = QDialog::Accepted;
        chosen = Date(2027, 3, 15);
        painter.DayTapped(Date(2026, 12, 9));
        QCoreApplication::processEvents();
        EXPECT_EQ(painter.FirstMonth(), 1);
        EXPECT_EQ(painter.Offset(), painter.PageHeight() / 16 - 2 * painter.PageHeight());
        EXPECT_GT(CountMarked(GrabPixels(&painter), CellOf(painter, Date(2027, 3, 15))), 5);
        // Today keeps its ring when another day of its month is marked (one without a disc, on
        // which the marked colour could change to stay readable).
        chosen = Date(2026, 12, 10);
        while (LevelOf(TheCycleDatabase().GetDay(chosen)) != None || TheCycleDatabase().ChanceForDate(chosen) > 25)
            NextDay(chosen);
        painter.DayTapped(Date(2026, 12, 9));
        QCoreApplication::processEvents();
        const QImage december = GrabPixels(&painter);
        const QRect today = CellOf(painter, Date(2026, 12, 6));
        EXPECT_GT(CountNear(december, today, QColor(255, 255, 255)), 20);
        EXPECT_EQ(CountMarked(december, today), 0);
        EXPECT_GT(CountMarked(december, CellOf(painter, chosen)), 5);
    });
}

TEST_F(CalendarTest, GoToDateLandsOnTheChosenMonthTheFirstMonthStaysInRangeAndBackCancels)
{
    CCalendarDlg calendar;
    std::optional<CalDate> preset;
    calendar.SetDayEditor([&](QWidget*, const CalDate& given, CalDate& date) {
        preset = given;
        date = Date(2031, 8, 20);
        return static_cast<int>(QDialog::Accepted);
    });
    const int result = RunCalendar(calendar, [&](CCalPainter& painter) {
        calendar.OnCommand(kCmdGoToDate);
        ASSERT_TRUE(preset.has_value());
        EXPECT_FALSE(IsValidDate(*preset));
        EXPECT_EQ(MonthIndex(painter.Page(2)->month, painter.Page(2)->year), MonthIndex(8, 2031));
        EXPECT_EQ(painter.Offset() + 2 * painter.PageHeight(), painter.PageHeight() / 16);
        EXPECT_TRUE(IsSameDate(TheMonthRenderer().MarkedDate(), Date(2031, 8, 20)));
        // The first month kept in range.
        painter.ScrollToMonth(1, 1971);
        EXPECT_FALSE(painter.ShiftMonthBack());
        painter.ScrollToMonth(6, 2150);
        EXPECT_EQ(MonthIndex(painter.FirstMonth(), painter.FirstYear()), MonthIndex(12, 2100));
        painter.ScrollToMonth(14, 2030); // carried into February 2031
        EXPECT_EQ(MonthIndex(painter.Page(2)->month, painter.Page(2)->year), MonthIndex(2, 2031));
        // Esc does what "Back" does.
        QTest::keyClick(&painter, Qt::Key_Escape);
        EXPECT_FALSE(calendar.isVisible());
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(CalendarTest, ScrollingFarKeepsTheViewSteadyAcrossTheLimits)
{
    CCalendarDlg calendar;
    RunCalendar(calendar, [&](CCalPainter& painter) {
        const int pages = painter.ItemCount();
        long long position = ViewPosition(painter);
        const std::vector<int> steps = {37, 5000, 411, 23 * 193};
        int jumps = 0;
        for (const int direction : {1, -1}) {
            const int end = direction > 0 ? MonthIndex(1, 1971) : MonthIndex(12, 2100);
            for (int i = 0; i < 4000 && MonthIndex(painter.FirstMonth(), painter.FirstYear()) != end; ++i) {
                position = ViewPosition(painter);
                const int step = direction * steps[static_cast<size_t>(i) % steps.size()];
                painter.ScrollBy(step);
                jumps += ViewPosition(painter) != position - step ? 1 : 0;
            }
            EXPECT_EQ(MonthIndex(painter.FirstMonth(), painter.FirstYear()), end);
        }
        EXPECT_EQ(jumps, 0);
        EXPECT_EQ(painter.ItemCount(), pages);
        EXPECT_TRUE(PagesAreConsecutive(painter));
    });
}

TEST_F(CalendarTest, KeysWheelAndTooltipsServeTheDays)
{
    RecordNovember();
    CCalendarDlg calendar;
    std::vector<CalDate> presets;
    calendar.SetDayEditor([&](QWidget*, const CalDate& preset, CalDate&) {
        presets.push_back(preset);
        return static_cast<int>(QDialog::Rejected);
    });
    RunCalendar(calendar, [&](CCalPainter& painter) {
        const int h = painter.PageHeight();
        // The first arrow shows the cursor on today, the next ones move it by days and weeks.
        QTest::keyClick(&painter, Qt::Key_Right);
        EXPECT_TRUE(IsSameDate(painter.CursorDate(), Date(2026, 12, 6)));
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down})
            QTest::keyClick(&painter, key);
        EXPECT_TRUE(IsSameDate(painter.CursorDate(), Date(2027, 1, 4)));
        // Its page came into view whole.
        const QRect cell = painter.Months()->CellRect(Date(2027, 1, 4));
        EXPECT_GE(painter.Offset() + (cell.top() / h) * h, 0);
        EXPECT_LE(painter.Offset() + (cell.top() / h + 1) * h, painter.height());
        QTest::keyClick(&painter, Qt::Key_Return);
        QCoreApplication::processEvents();
        ASSERT_EQ(presets.size(), 1u);
        EXPECT_TRUE(IsSameDate(presets[0], Date(2027, 1, 4)));

        long long position = ViewPosition(painter);
        QTest::keyClick(&painter, Qt::Key_PageDown);
        EXPECT_EQ(ViewPosition(painter), position + h);
        QTest::keyClick(&painter, Qt::Key_PageUp);
        EXPECT_EQ(ViewPosition(painter), position);
        QWheelEvent touchpad(QPointF(100, 100), painter.mapToGlobal(QPointF(100, 100)), QPoint(0, -120), QPoint(0, 0),
                             Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&painter, &touchpad);
        EXPECT_EQ(ViewPosition(painter), position + 120);
        QWheelEvent wheel(QPointF(100, 100), painter.mapToGlobal(QPointF(100, 100)), QPoint(0, 0), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(painter.Months(), &wheel);
        EXPECT_LT(ViewPosition(painter), position + 120);
        for (int i = 0; i < 30; ++i)
            QTest::keyClick(&painter, Qt::Key_PageDown);
        QTest::keyClick(&painter, Qt::Key_Home);
        EXPECT_EQ(MonthIndex(painter.FirstMonth(), painter.FirstYear()), MonthIndex(10, 2026));

        const QString tip = TheMonthRenderer().DescribeDay(Date(2026, 11, 24));
        EXPECT_TRUE(tip.contains(QStringLiteral("Medium, recorded"))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("Note (folded corner): Headache"))) << tip.toStdString();

        // A day before the first the editor offers opens nothing.
        painter.DayTapped(Date(2007, 12, 31));
        QCoreApplication::processEvents();
        EXPECT_EQ(presets.size(), 1u);
    });
}

TEST_F(CalendarTest, ALatePeriodsDaysSayWhenItWasDue)
{
    SetToday(2026, 12, 18); // expected on 14 December
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(Period(Date(2026, 11, 16), 5)));
    for (int day : {19, 20, 21}) {
        const QString tip = TheMonthRenderer().DescribeDay(Date(2026, 12, day));
        EXPECT_TRUE(tip.contains(QStringLiteral("expected (red disc)"))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("Late: expected on December 14"))) << tip.toStdString();
    }
    EXPECT_FALSE(TheMonthRenderer().DescribeDay(Date(2026, 12, 14)).contains(QStringLiteral("Bleeding")));
    EXPECT_FALSE(TheMonthRenderer().DescribeDay(Date(2027, 1, 16)).contains(QStringLiteral("Late")))
        << "the period after it is not late";
}
