#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/screens/COvulationDlg.h"
#include "ui/screens/CStatisticsDlg.h"
#include "ui/screens/FertilityDates.h"
#include "ui/screens/MonthRenderer.h"
#include "ui/screens/SummaryRows.h"

#include <QLabel>
#include <QRegularExpression>
#include <QTreeWidget>

// Every screen that names a date of her cycle says the same as the others. Each state below is
// one situation of her data; the checks read only what the screens show. A new situation is
// one more row in kStates.

namespace {
struct Period
{
    CalDate start;
    int days = 4;
    std::vector<int> forgotten = {}; ///< days of the period (0 = its first) she did not record
};

struct State
{
    const char* name;
    std::vector<Period> periods;
    CalDate today;
    int lutealPhase = 14;
    std::vector<CalDate> notes = {}; ///< days with a note and no bleeding
};

std::vector<Period> EveryDays(const CalDate& first, int cycleDays, int count)
{
    std::vector<Period> periods;
    for (int i = 0; i < count; ++i)
        periods.push_back({OffsetDate(first, i * cycleDays)});
    return periods;
}

std::vector<Period> Plus(std::vector<Period> periods, const Period& period)
{
    periods.push_back(period);
    return periods;
}

// Periods of four days from 10 September, 8 October and 5 November 2026: the next one is due
// on 3 December.
const std::vector<Period> kAutumn = EveryDays(Date(2026, 9, 10), 28, 3);

const State kStates[] = {
    {"Regular", kAutumn, Date(2026, 11, 20)},
    {"EarlyPeriod", Plus(kAutumn, {Date(2026, 11, 28)}), Date(2026, 12, 1)},
    {"FourDaysLate", kAutumn, Date(2026, 12, 7)},
    {"DueToday", kAutumn, Date(2026, 12, 3)},
    {"ThirteenDaysLate", kAutumn, Date(2026, 12, 16)},
    {"LongCyclesEightDaysLate", EveryDays(Date(2026, 8, 1), 35, 4), Date(2026, 12, 27)},
    {"LutealPhase10", kAutumn, Date(2026, 11, 15), 10},
    {"NoteMidCycle", kAutumn, Date(2026, 11, 25), 14, {Date(2026, 11, 20)}},
    {"ForgottenDayInAPeriod", Plus(EveryDays(Date(2026, 9, 10), 28, 2), {Date(2026, 11, 5), 4, {2}}),
     Date(2026, 11, 20)},
};

void Store(const State& state)
{
    std::vector<DayRecord> records;
    for (const Period& period : state.periods) {
        for (int i = 0; i < period.days; ++i) {
            if (std::find(period.forgotten.begin(), period.forgotten.end(), i) == period.forgotten.end())
                records.push_back(Day(OffsetDate(period.start, i), Medium));
        }
    }
    for (const CalDate& day : state.notes)
        records.push_back(Day(day, None, QStringLiteral("headache")));
    SetToday(state.today.year, state.today.month, state.today.day);
    TheCycleDatabase().SetLutealPhaseLen(state.lutealPhase);
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
}

// Names the state in the test's name.
void PrintTo(const State& state, std::ostream* out)
{
    *out << state.name;
}

QString Show(const CalDate& date)
{
    return IsValidDate(date) ? ToQDate(date).toString(Qt::ISODate) : QStringLiteral("none");
}

// The date within a year after `from` (or before it, for a negative `step`) that the
// screens write as `text`; an invalid date when there is none.
CalDate ShownDate(const QString& text, const CalDate& from, int step = 1)
{
    CalDate day = from;
    for (int i = 0; i < 400 && IsValidDate(day); ++i, day = OffsetDate(day, step)) {
        if (FormatDateNearToday(day, from) == text || FormatMonthDay(day) == text)
            return day;
    }
    return CalDate{0, 0, 0};
}

// What the calendar's tooltip of `day` tells.
struct CalendarDay
{
    bool bleeding = false;
    bool expected = false;
    int chance = 0;
};

CalendarDay ReadCalendar(const CalDate& day)
{
    static const QRegularExpression bleeding(QStringLiteral("Bleeding: (Slight|Medium|Heavy), (\\w+)"));
    static const QRegularExpression chance(QStringLiteral("Chance of conception: (\\d+) %"));
    const QString tip = TheMonthRenderer().DescribeDay(day);
    CalendarDay shown;
    if (const QRegularExpressionMatch match = bleeding.match(tip); match.hasMatch()) {
        shown.bleeding = true;
        shown.expected = match.captured(2) == QStringLiteral("expected");
    }
    if (const QRegularExpressionMatch match = chance.match(tip); match.hasMatch())
        shown.chance = match.captured(1).toInt();
    return shown;
}

// How far the checks look for a date: longer than any cycle.
constexpr int kReach = 120;

bool StartsARun(const CalDate& day)
{
    return ReadCalendar(day).bleeding && !ReadCalendar(OffsetDate(day, -1)).bleeding;
}

class ScreensAgreeTest : public PageTest, public ::testing::WithParamInterface<State>
{
};

TEST_P(ScreensAgreeTest, DatesAgreeOnEveryScreen)
{
    Store(GetParam());
    const CalDate today = GetParam().today;
    const std::vector<SummaryRow> rows = BuildSummaryRows(TheCycleDatabase());
    ASSERT_EQ(rows.size(), 9u);

    // The summary's next cycle is the calendar's first predicted start after today.
    CalDate summaryNext{0, 0, 0};
    if (rows[3].caption.endsWith(QStringLiteral("Late")) || rows[3].caption.endsWith(QStringLiteral("Due Today")))
        summaryNext = OffsetDate(today, 1); // a due or late period is expected from tomorrow
    else
        summaryNext = ShownDate(rows[3].description.section(QStringLiteral(" on "), 1), today);
    CalDate calendarNext = OffsetDate(today, 1);
    for (int i = 0; i < kReach && !(StartsARun(calendarNext) && ReadCalendar(calendarNext).expected); ++i)
        calendarNext = OffsetDate(calendarNext, 1);
    EXPECT_EQ(Show(summaryNext), Show(calendarNext))
        << "summary's next cycle (" << rows[3].description.toStdString() << ") and the calendar's";

    // The summary's next ovulation is the ovulation screen's.
    CalDate summaryOvulation{0, 0, 0};
    if (rows[2].description == QStringLiteral("Should be today"))
        summaryOvulation = today;
    else if (rows[2].description == QStringLiteral("Should be tomorrow"))
        summaryOvulation = OffsetDate(today, 1);
    else
        summaryOvulation = ShownDate(rows[2].description.section(QStringLiteral(", at "), 1), today);
    QString screenText;
    {
        LookAt<COvulationDlg>([&](COvulationDlg& screen) { screenText = screen.NextText(); });
    }
    EXPECT_EQ(Show(summaryOvulation), Show(ShownDate(screenText, today)))
        << "summary's ovulation (" << rows[2].description.toStdString() << "), ovulation screen's ("
        << screenText.toStdString() << ")";

    // ... and the calendar's day of the highest chance in its cycle.
    CalDate cycleStart = summaryOvulation;
    for (int i = 0; i < kReach && IsValidDate(cycleStart) && !StartsARun(cycleStart); ++i)
        cycleStart = OffsetDate(cycleStart, -1);
    CalDate highest{0, 0, 0};
    int best = -1;
    CalDate day = cycleStart;
    for (int i = 0; i < kReach && IsValidDate(day) && (i == 0 || !StartsARun(day)); ++i, day = OffsetDate(day, 1)) {
        if (ReadCalendar(day).chance > best) {
            best = ReadCalendar(day).chance;
            highest = day;
        }
    }
    EXPECT_EQ(Show(summaryOvulation), Show(highest)) << "ovulation and the calendar's highest chance";

    // The statistics rest on as many cycles as the history lists as measured.
    int basedOn = -1;
    {
        LookAt<CStatisticsDlg>([&](CStatisticsDlg& statistics) {
            const QString text = statistics.BasisLine()->text();
            static const QRegularExpression count(QStringLiteral("^Based on (\\d+) cycles?\\b"));
            const QRegularExpressionMatch match = count.match(text);
            basedOn = match.hasMatch() ? match.captured(1).toInt() : 0;
        });
    }
    int measured = 0;
    {
        LookAt<CHistoryDialog>([&](CHistoryDialog& history) {
            QTreeWidget* list = history.List();
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                const QFont font = list->topLevelItem(i)->font(0);
                measured += (!font.italic() && !font.bold()) ? 1 : 0;
            }
        });
    }
    EXPECT_EQ(basedOn, measured) << "cycles the statistics rest on, and the history's measured ones";
}

INSTANTIATE_TEST_SUITE_P(States,
                         ScreensAgreeTest,
                         ::testing::ValuesIn(kStates),
                         [](const ::testing::TestParamInfo<State>& param) { return std::string(param.param.name); });
} // namespace
