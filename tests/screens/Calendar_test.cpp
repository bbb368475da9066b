#include "TestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MessageRecorder.h"
#include "resources/ResourceIds.h"
#include "settings/AppSettings.h"
#include "ui/screens/CCalPainter.h"
#include "ui/screens/CCalendarDlg.h"
#include "ui/screens/MonthItem.h"
#include "ui/screens/MonthPanel.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/toolkit/ImageCache.h"

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <functional>
#include <optional>

namespace {
QImage Grab(QWidget* widget)
{
    QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (image.devicePixelRatio() != 1.0)
        image = image.scaled(widget->size());
    return image;
}

bool Near(QColor actual, QColor expected, int tolerance = 2)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// Pixels of `rect` within 2 of `colour`.
int CountNear(const QImage& image, const QRect& rect, QColor colour)
{
    int count = 0;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += Near(image.pixelColor(x, y), colour) ? 1 : 0;
    }
    return count;
}

// Pixels of `rect` drawn in the yellow (dark themes) or purple (light themes) of the marked
// day, allowing for the smoothing of the digits' edges.
int CountMarked(const QImage& image, const QRect& rect, bool light)
{
    int count = 0;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += light ? (c.green() + 60 < c.red() && c.green() + 60 < c.blue())
                           : (c.red() > 150 && c.green() > 150 && c.blue() + 80 < c.green());
        }
    }
    return count;
}

int MonthIndex(int month, int year)
{
    return year * 12 + month - 1;
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

// A calendar that records the commands it is given.
class RecordingCalendar : public CCalendarDlg
{
public:
    using CCalendarDlg::CCalendarDlg;
    void OnCommand(int id) override
    {
        commands.push_back(id);
        if (id == kCmdDayTapped)
            tapped.push_back(Painter()->SelectedDate());
        CCalendarDlg::OnCommand(id);
    }
    std::vector<int> commands;
    std::vector<CalDate> tapped;
};
} // namespace

class CalendarTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSizeF(9.0);
        QApplication::setFont(font);
        TheImageCache().SetFontFamily(QStringLiteral("DejaVu Sans"));
        TheImageCache().ClearImages();
        TheImageCache().LoadImages(ImageCache::StartupImageNames());
        TheAppSettings().selectedTheme = 0;
        m_host = std::make_unique<QWidget>();
        m_host->resize(480, 640);
        m_host->show();
    }

    void TearDown() override
    {
        m_host.reset();
        TheAppSettings().selectedTheme = 0;
        VeluminaTest::TearDown();
    }

    // Recorded: 20 (Heavy) and 23 November 2026 (Heavy), 24 November (Medium, with a note);
    // 21 and 22 are filled in; the next period is predicted from 18 December; 4 December is
    // the ovulation day (84 %). Today is 6 December 2026.
    void RecordNovember()
    {
        ASSERT_TRUE(TheCycleDatabase().ReplaceRecords({Day(Date(2026, 11, 20), Heavy), Day(Date(2026, 11, 23), Heavy),
                                                       Day(Date(2026, 11, 24), Medium, QStringLiteral("Headache"))}));
    }

    // Runs `body` while the calendar runs as a page over the host, then ends it with "Back".
    int RunCalendar(CCalendarDlg& calendar, const std::function<void()>& body)
    {
        QTimer::singleShot(0, &calendar, [&calendar, body] {
            body();
            if (calendar.isVisible())
                calendar.OnCommand(kCmdCalendarBack);
        });
        return calendar.RunAsPage(m_host.get());
    }

    // The cell of `day` in the painter's coordinates, from the page geometry alone.
    QRect ExpectedCell(const CCalPainter& painter, const CalDate& day, int firstDayOfWeek) const
    {
        const ImageCache& cache = TheImageCache();
        const int l1 = cache.CaptionHeight();
        const int l2 = cache.DescriptionHeight();
        const int h = (l1 + 6 * l2) * 2;
        const int pageWidth = std::min(painter.width(), 2 * h);
        const int left = (painter.width() - pageWidth) / 2;
        const int m = pageWidth / 14;
        const int c = (pageWidth - 2 * m) / 7;
        const int firstRow = l1 / 2 + (3 * l1) / 2 + (3 * l2) / 2;
        const int column0 = (QDate(day.year, day.month, 1).dayOfWeek() - 1 - firstDayOfWeek + 7) % 7;
        const int position = column0 + day.day - 1;
        const int page = MonthIndex(day.month, day.year) - MonthIndex(painter.FirstMonth(), painter.FirstYear());
        return QRect(left + m + (position % 7) * c,
                     painter.Offset() + page * h + firstRow + (position / 7) * ((3 * l2) / 2), c, l1);
    }

    std::unique_ptr<QWidget> m_host;
};

TEST_F(CalendarTest, PageShowsTheMarksInBothWeekLayouts)
{
    RecordNovember();
    struct Layout
    {
        QLocale locale;
        int firstDayOfWeek;
        QString december;
    };
    const std::vector<Layout> layouts = {
        {QLocale(QLocale::English, QLocale::UnitedStates), 6, QStringLiteral("December, 2026")},
        {QLocale(QLocale::German, QLocale::Germany), 0, QStringLiteral("Dezember, 2026")},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.locale.name().toStdString());
        QLocale::setDefault(layout.locale);
        CCalendarDlg calendar;
        RunCalendar(calendar, [&] {
            CCalPainter& painter = *calendar.Painter();
            EXPECT_EQ(TheMonthRenderer().FirstDayOfWeek(), layout.firstDayOfWeek);
            EXPECT_EQ(MonthRenderer::MonthTitle(12, 2026), layout.december);
            painter.ScrollToMonth(12, 2026);
            // The third page is December; November above it lies in view from below its title.
            painter.ScrollBy(painter.PageHeight() / 2);
            const QImage image = Grab(&painter);
            const auto cell = [&](int month, int day) {
                const CalDate date = Date(2026, month, day);
                const QRect expected = ExpectedCell(painter, date, layout.firstDayOfWeek);
                const MonthPanel* panel = painter.Months();
                EXPECT_EQ(panel->CellRect(date).translated(panel->mapTo(&painter, QPoint(0, 0))), expected);
                return expected;
            };
            // Recorded heavy bleeding in the past: the pure bleeding colour, and brackets.
            const QRect recorded = cell(11, 20);
            EXPECT_GT(CountNear(image, recorded, QColor(222, 18, 18)), 40);
            EXPECT_EQ(image.pixelColor(recorded.topLeft()), QColor(50, 16, 16));
            EXPECT_EQ(image.pixelColor(recorded.right(), recorded.bottom()), QColor(50, 16, 16));
            // Filled in (Medium, a = 128), without brackets.
            const QRect filled = cell(11, 21);
            EXPECT_GT(CountNear(image, filled, QColor(120, 18, 20)), 40);
            EXPECT_NE(image.pixelColor(filled.topLeft()), QColor(50, 16, 16));
            // The note's folded corner below the cell's left end.
            const QRect noted = cell(11, 24);
            const int q = noted.height() / 4 + 1;
            const int below = noted.top() + noted.height();
            EXPECT_EQ(image.pixelColor(noted.left() + 1, below), QColor(192, 192, 192));
            EXPECT_EQ(image.pixelColor(noted.left() + q + 2, below), QColor(128, 128, 128));
            // Predicted bleeding 12 days ahead fades (a = 245); the ovulation day is fertile.
            EXPECT_GT(CountNear(image, cell(12, 18), QColor(213, 18, 18)), 40);
            EXPECT_GT(CountNear(image, cell(12, 4), QColor(18, 137, 20)), 40);
            EXPECT_EQ(CountNear(image, cell(12, 10), QColor(18, 137, 20)), 0);
            // Today (a Sunday, 36 %): the faint fertile disc, its ring and the marked colour.
            const QRect today = cell(12, 6);
            EXPECT_GT(CountNear(image, today, QColor(18, 78, 21)), 20);
            EXPECT_GT(CountNear(image, today, QColor(255, 255, 255)), 20);
            EXPECT_GT(CountMarked(image, today, false), 5);
            EXPECT_EQ(CountNear(image, cell(12, 7), QColor(255, 255, 255)), 0);
        });
    }
}

TEST_F(CalendarTest, NamesComeFromTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
    // The nominative month name of the title, not the genitive of a date.
    EXPECT_EQ(MonthRenderer::MonthTitle(11, 2026), QStringLiteral("listopad, 2026"));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TheMonthRenderer().Prepare();
    QStringList letters;
    for (int d = 0; d < 7; ++d)
        letters << TheMonthRenderer().DayLetter(d);
    EXPECT_EQ(letters.join(QString()), QStringLiteral("MDMDFSS"));
    EXPECT_EQ(TheMonthRenderer().FirstDayOfWeek(), 0);
    // A locale that numbers its weekdays still gets letters.
    QLocale::setDefault(QLocale::c());
    TheMonthRenderer().Prepare();
    letters.clear();
    for (int d = 0; d < 7; ++d)
        letters << TheMonthRenderer().DayLetter(d);
    EXPECT_EQ(letters.join(QString()), QStringLiteral("MTWTFSS"));
}

TEST_F(CalendarTest, LightThemesMarkTheDayInPurple)
{
    for (int theme : {0, 4}) {
        SCOPED_TRACE(theme);
        TheAppSettings().selectedTheme = theme;
        CCalendarDlg calendar;
        RunCalendar(calendar, [&] {
            CCalPainter& painter = *calendar.Painter();
            const QImage image = Grab(&painter);
            const QRect today = ExpectedCell(painter, Date(2026, 12, 6), 6);
            const bool light = theme == 4;
            EXPECT_EQ(CountMarked(image, today, true) > 5, light);
            EXPECT_EQ(CountMarked(image, today, false) > 5, !light);
        });
    }
}

TEST_F(CalendarTest, TapOpensTheEditorOnTheDayAndEveryRunRendersAgain)
{
    RecordNovember();
    RecordingCalendar calendar;
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
    RunCalendar(calendar, [&] {
        CCalPainter& painter = *calendar.Painter();
        const QRect cell = ExpectedCell(painter, Date(2026, 12, 9), 6);
        MonthPanel* panel = painter.Months();
        const QPoint centre = panel->mapFrom(&painter, cell.center());
        QTest::mousePress(panel, Qt::LeftButton, Qt::NoModifier, centre);
        QTest::mouseRelease(panel, Qt::LeftButton, Qt::NoModifier, centre);
        QCoreApplication::processEvents();
        ASSERT_EQ(calendar.tapped.size(), 1u);
        EXPECT_TRUE(IsSameDate(calendar.tapped[0], Date(2026, 12, 9)));
        ASSERT_EQ(presets.size(), 1u);
        EXPECT_TRUE(IsSameDate(presets[0], Date(2026, 12, 9)));
        // Back in the editor: the view and the mark stay, but the new day shows.
        EXPECT_EQ(painter.FirstMonth(), 10);
        EXPECT_TRUE(IsSameDate(TheMonthRenderer().MarkedDate(), Date(2026, 12, 6)));
        const QImage afterBack = Grab(&painter);
        EXPECT_GT(CountNear(afterBack, ExpectedCell(painter, Date(2026, 12, 2), 6), QColor(222, 18, 18)), 40);

        // Save on another month: it is marked and shown as the third page.
        answer = QDialog::Accepted;
        chosen = Date(2027, 3, 15);
        painter.DayTapped(Date(2026, 12, 9));
        QCoreApplication::processEvents();
        EXPECT_TRUE(IsSameDate(TheMonthRenderer().MarkedDate(), Date(2027, 3, 15)));
        EXPECT_EQ(painter.FirstMonth(), 1);
        EXPECT_EQ(painter.FirstYear(), 2027);
        EXPECT_EQ(painter.Offset(), painter.PageHeight() / 16 - 2 * painter.PageHeight());
        const QImage image = Grab(&painter);
        EXPECT_GT(CountMarked(image, ExpectedCell(painter, Date(2027, 3, 15), 6), false), 5);
        // Today keeps its ring when another day of its month is marked.
        chosen = Date(2026, 12, 15);
        painter.DayTapped(Date(2026, 12, 9));
        QCoreApplication::processEvents();
        const QImage december = Grab(&painter);
        const QRect today = ExpectedCell(painter, Date(2026, 12, 6), 6);
        EXPECT_GT(CountNear(december, today, QColor(255, 255, 255)), 20);
        EXPECT_EQ(CountMarked(december, today, false), 0);
        EXPECT_GT(CountMarked(december, ExpectedCell(painter, Date(2026, 12, 15), 6), false), 5);

        // A tap beside every cell does nothing.
        calendar.tapped.clear();
        panel->OnTap(1, 1);
        QCoreApplication::processEvents();
        EXPECT_TRUE(calendar.tapped.empty());
    });
}

TEST_F(CalendarTest, GoToDateLandsOnTheChosenMonthAndBackCancels)
{
    CCalendarDlg calendar;
    std::optional<CalDate> preset;
    calendar.SetDayEditor([&](QWidget* host, const CalDate& given, CalDate& date) {
        EXPECT_EQ(host, m_host.get());
        preset = given;
        date = Date(2031, 8, 20);
        return static_cast<int>(QDialog::Accepted);
    });
    const int result = RunCalendar(calendar, [&] {
        CCalPainter& painter = *calendar.Painter();
        calendar.OnCommand(kCmdGoToDate);
        ASSERT_TRUE(preset.has_value());
        EXPECT_FALSE(IsValidDate(*preset));
        const MonthItem* third = painter.Page(2);
        EXPECT_EQ(third->month, 8);
        EXPECT_EQ(third->year, 2031);
        EXPECT_EQ(painter.Offset() + 2 * painter.PageHeight(), painter.PageHeight() / 16);
        EXPECT_TRUE(IsSameDate(TheMonthRenderer().MarkedDate(), Date(2031, 8, 20)));
        // Esc does what "Back" does.
        QTest::keyClick(&painter, Qt::Key_Escape);
        EXPECT_FALSE(calendar.isVisible());
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(CalendarTest, ScrollToMonthKeepsTheFirstMonthInRange)
{
    CCalendarDlg calendar;
    RunCalendar(calendar, [&] {
        CCalPainter& painter = *calendar.Painter();
        const int h = painter.PageHeight();
        painter.ScrollToMonth(1, 1971);
        EXPECT_EQ(painter.FirstMonth(), 1);
        EXPECT_EQ(painter.FirstYear(), 1971);
        EXPECT_EQ(painter.Offset(), 0);
        EXPECT_FALSE(painter.ShiftMonthBack());
        painter.ScrollToMonth(2, 1971);
        EXPECT_EQ(painter.FirstYear(), 1971);
        EXPECT_EQ(painter.Offset(), h / 16 - h);
        painter.ScrollToMonth(6, 2150);
        EXPECT_EQ(painter.FirstMonth(), 12);
        EXPECT_EQ(painter.FirstYear(), 2100);
        EXPECT_FALSE(painter.ShiftMonthForward());
        EXPECT_TRUE(PagesAreConsecutive(painter));
        painter.ScrollToMonth(14, 2030); // carried into February 2031
        EXPECT_EQ(painter.Page(2)->month, 2);
        EXPECT_EQ(painter.Page(2)->year, 2031);
    });
}

TEST_F(CalendarTest, PagesFollowTheWindowSize)
{
    CCalendarDlg calendar;
    RunCalendar(calendar, [&] {
        CCalPainter& painter = *calendar.Painter();
        // Filled for the page's size, not for the template's.
        EXPECT_EQ(painter.size(), QSize(480, calendar.ClientSize().height()));
        EXPECT_EQ(painter.ItemCount(), painter.PageCountFor(painter.height()));
        const long long before = ViewPosition(painter);
        m_host->resize(1280, 2400);
        QCoreApplication::processEvents();
        EXPECT_EQ(painter.height(), calendar.ClientSize().height());
        EXPECT_EQ(painter.ItemCount(), painter.PageCountFor(painter.height()));
        EXPECT_EQ(ViewPosition(painter), before);
        EXPECT_TRUE(PagesAreConsecutive(painter));
        // The strip covers the view, and the wide grid keeps its shape, centred.
        EXPECT_GE(painter.Offset() + painter.ItemCount() * painter.PageHeight(), painter.height());
        EXPECT_EQ(painter.PageWidth(), 2 * painter.PageHeight());
        EXPECT_EQ(painter.Page(0)->page.width(), 2 * painter.PageHeight());
        EXPECT_EQ(painter.Months()->mapTo(&painter, QPoint(0, 0)).x(), (1280 - painter.PageWidth()) / 2);
        const QImage image = Grab(&painter);
        EXPECT_EQ(image.pixelColor(5, painter.height() / 2), QColor(18, 19, 22));
    });
}

TEST_F(CalendarTest, ScrollingFarKeepsTheViewSteadyAcrossTheLimits)
{
    CCalendarDlg calendar;
    RunCalendar(calendar, [&] {
        CCalPainter& painter = *calendar.Painter();
        const int pages = painter.ItemCount();
        const int h = painter.PageHeight();
        // One step across three pages shifts three months at once.
        long long position = ViewPosition(painter);
        painter.ScrollBy(3 * h);
        EXPECT_EQ(ViewPosition(painter), position - 3 * h);
        EXPECT_EQ(painter.FirstMonth(), 7);
        const std::vector<int> steps = {37, 5000, 411, 23 * 193};
        int jumps = 0;
        for (int i = 0; i < 4000 && !(painter.FirstMonth() == 1 && painter.FirstYear() == 1971); ++i) {
            position = ViewPosition(painter);
            const int step = steps[static_cast<size_t>(i) % steps.size()];
            painter.ScrollBy(step);
            jumps += ViewPosition(painter) != position - step ? 1 : 0;
        }
        EXPECT_EQ(jumps, 0);
        EXPECT_EQ(painter.FirstYear(), 1971);
        EXPECT_GT(painter.Offset(), -h);
        for (int i = 0; i < 4000 && !(painter.FirstMonth() == 12 && painter.FirstYear() == 2100); ++i) {
            position = ViewPosition(painter);
            const int step = steps[static_cast<size_t>(i) % steps.size()];
            painter.ScrollBy(-step);
            jumps += ViewPosition(painter) != position + step ? 1 : 0;
        }
        EXPECT_EQ(jumps, 0);
        EXPECT_EQ(painter.FirstYear(), 2100);
        EXPECT_EQ(painter.ItemCount(), pages);
        EXPECT_TRUE(PagesAreConsecutive(painter));
        for (int k = 0; k < painter.ItemCount(); ++k)
            EXPECT_EQ(painter.Page(k)->page.deviceIndependentSize().toSize(), QSize(painter.PageWidth(), h));
        // The spring brings the strip back from past its end.
        for (int i = 0; i < 200 && painter.IsTimerRunning(); ++i)
            painter.OnTimerTick();
        painter.StartTimer();
        for (int i = 0; i < 200 && painter.IsTimerRunning(); ++i)
            painter.OnTimerTick();
        EXPECT_TRUE(painter.IsInRestingRange());
    });
}

TEST_F(CalendarTest, KeysWheelAndTooltipsServeTheDays)
{
    RecordNovember();
    RecordingCalendar calendar;
    std::vector<CalDate> presets;
    calendar.SetDayEditor([&](QWidget*, const CalDate& preset, CalDate&) {
        presets.push_back(preset);
        return static_cast<int>(QDialog::Rejected);
    });
    RunCalendar(calendar, [&] {
        CCalPainter& painter = *calendar.Painter();
        const int h = painter.PageHeight();
        // The first arrow shows the cursor on today, the next ones move it by days and weeks.
        QTest::keyClick(&painter, Qt::Key_Right);
        EXPECT_TRUE(painter.IsCursorVisible());
        EXPECT_TRUE(IsSameDate(painter.CursorDate(), Date(2026, 12, 6)));
        QTest::keyClick(&painter, Qt::Key_Right);
        QTest::keyClick(&painter, Qt::Key_Down);
        QTest::keyClick(&painter, Qt::Key_Down);
        QTest::keyClick(&painter, Qt::Key_Down);
        EXPECT_TRUE(IsSameDate(painter.CursorDate(), Date(2026, 12, 28)));
        QTest::keyClick(&painter, Qt::Key_Down);
        EXPECT_TRUE(IsSameDate(painter.CursorDate(), Date(2027, 1, 4)));
        // Its page came into view whole.
        const QRect cell = painter.Months()->CellRect(Date(2027, 1, 4));
        EXPECT_GE(painter.Offset() + (cell.top() / h) * h, 0);
        EXPECT_LE(painter.Offset() + (cell.top() / h + 1) * h, painter.height());
        QTest::keyClick(&painter, Qt::Key_Return);
        QCoreApplication::processEvents();
        ASSERT_EQ(presets.size(), 1u);
        EXPECT_TRUE(IsSameDate(presets[0], Date(2027, 1, 4)));
        EXPECT_TRUE(calendar.isVisible());

        long long position = ViewPosition(painter);
        QTest::keyClick(&painter, Qt::Key_PageDown);
        EXPECT_EQ(ViewPosition(painter), position + h);
        QTest::keyClick(&painter, Qt::Key_PageUp);
        QTest::keyClick(&painter, Qt::Key_PageUp);
        EXPECT_EQ(ViewPosition(painter), position - h);
        position = ViewPosition(painter);
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
        EXPECT_EQ(painter.FirstMonth(), 10);
        EXPECT_EQ(painter.FirstYear(), 2026);

        const QString tip = TheMonthRenderer().DescribeDay(Date(2026, 11, 24));
        EXPECT_TRUE(tip.contains(QStringLiteral("Medium, recorded"))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("Note (folded corner): Headache"))) << tip.toStdString();
        EXPECT_TRUE(TheMonthRenderer().DescribeDay(Date(2026, 12, 19)).contains(QStringLiteral("expected")));
        EXPECT_TRUE(TheMonthRenderer().DescribeDay(Date(2026, 11, 21)).contains(QStringLiteral("filled in")));
        EXPECT_TRUE(TheMonthRenderer().DescribeDay(Date(2026, 12, 4)).contains(QStringLiteral("84 % (green disc)")));
    });
}

TEST_F(CalendarTest, ALatePeriodsDaysSayWhenItWasDue)
{
    std::vector<DayRecord> records;
    for (int day = 16; day <= 20; ++day)
        records.push_back(Day(Date(2026, 11, day), Heavy));
    SetToday(2026, 12, 18); // expected on 14 December
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
    for (int day : {19, 20, 21}) {
        const QString tip = TheMonthRenderer().DescribeDay(Date(2026, 12, day));
        EXPECT_TRUE(tip.contains(QStringLiteral("expected (red disc)"))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QStringLiteral("Late: expected on December 14"))) << tip.toStdString();
    }
    EXPECT_FALSE(TheMonthRenderer().DescribeDay(Date(2026, 12, 14)).contains(QStringLiteral("Bleeding")));
    EXPECT_FALSE(TheMonthRenderer().DescribeDay(Date(2027, 1, 16)).contains(QStringLiteral("Late")))
        << "the period after it is not late";
}
