#include "ui/screens/SummaryRows.h"

#include "model/CycleDatabase.h"
#include "model/OvulationDates.h"
#include "resources/ResourceIds.h"

#include <iterator>

namespace {
std::vector<SummaryRow> NoDataRows()
{
    const QString noData = QStringLiteral("No data");
    return {{QStringLiteral("Today"), noData, 0},     {QStringLiteral("Conception Possibility"), noData, 1},
            {QStringLiteral("Ovulation"), noData, 2}, {QStringLiteral("Next Cycle"), noData, 3},
            {QStringLiteral("Calendar"), noData, 4},  {QStringLiteral("History"), noData, 2},
            {QStringLiteral("Statistics"), noData, 0}};
}

SummaryRow OvulationRow(CycleDatabase& database, const DayRecord& today)
{
    if (today.flags & kOvulationFlag)
        return {QStringLiteral("Ovulation"), QStringLiteral("Very high chance for conception"), 2};
    OvulationDates dates;
    if (!FindOvulations(database, today.date, dates))
        return {QStringLiteral("Next Ovulation"), QStringLiteral("No data"), 2};
    const CalDate& ovulation = dates.next;
    const int days = DaysBetween(ovulation, today.date);
    if (days == 0)
        return {QStringLiteral("Ovulation"), QStringLiteral("Should be today"), 2};
    if (days == 1)
        return {QStringLiteral("Next Ovulation"), QStringLiteral("Should be tomorrow"), 2};
    return {QStringLiteral("Next Ovulation"),
            QStringLiteral("In %1 days, at %2").arg(days).arg(FormatMonthDay(ovulation)), 2};
}

QString DaysSuffix(int days)
{
    return days == 1 ? QString() : QStringLiteral("s");
}

SummaryRow NextCycleRow(CycleDatabase& database, const DayRecord& today)
{
    CalDate next = today.date;
    if (!database.FindNextPeriodStart(next))
        return {QStringLiteral("Next Cycle"), QStringLiteral("No data"), 3};
    const QString startsOn = QStringLiteral("Next cycle starts on %1");
    if (LevelOf(today) != None)
        return {QStringLiteral("Menstruation"), startsOn.arg(FormatMonthDay(next)), 3};
    // A period due today or earlier and not recorded is predicted from tomorrow (as the calendar
    // shows it); she is told that it is due or how late it is, and when it was due.
    const int late = database.LateDays();
    if (late == 0)
        return {QStringLiteral("Next Cycle: Due Today"),
                QStringLiteral("Expected on %1").arg(FormatMonthDay(today.date)), 3};
    if (late > 0) {
        return {QStringLiteral("Next Cycle: %1 Day%2 Late").arg(late).arg(DaysSuffix(late)),
                QStringLiteral("Expected on %1").arg(FormatMonthDay(OffsetDate(today.date, -late))), 3};
    }
    const int days = DaysBetween(next, today.date);
    const QString caption = days > 0 ? QStringLiteral("Next Cycle: in %1 Day%2").arg(days).arg(DaysSuffix(days))
                                     : QStringLiteral("Next Cycle: Today");
    return {caption, startsOn.arg(FormatMonthDay(next)), 3};
}
} // namespace

std::vector<SummaryRow> BuildSummaryRows(CycleDatabase& database)
{
    std::vector<SummaryRow> rows;
    const CalDate todayDate = Today();
    CalDate cycleStart = todayDate;
    if (!database.FindPeriodStart(cycleStart)) {
        rows = NoDataRows();
    } else {
        const DayRecord today = database.GetDay(todayDate);
        const int cycleDay = database.DayOfCycle();
        const int level = LevelOf(today);
        rows.push_back({cycleDay >= 0 ? QStringLiteral("Today: Day %1").arg(cycleDay + 1) : QStringLiteral("Today"),
                        level != None ? QStringLiteral("%1 bleeding").arg(LevelName(level))
                                      : QStringLiteral("Not in menstruation"),
                        0});
        const int chance = database.ChanceToday();
        rows.push_back({QStringLiteral("Conception Possibility"),
                        chance <= 5 ? QStringLiteral("Very low chance to conceive today")
                                    : QStringLiteral("%1% chance to conceive today").arg(chance),
                        1});
        rows.push_back(OvulationRow(database, today));
        rows.push_back(NextCycleRow(database, today));
        rows.push_back({QStringLiteral("Calendar"), QStringLiteral("Cycle and ovulation days"), 4});
        rows.push_back(
            {QStringLiteral("History"), QStringLiteral("Last cycle started on %1").arg(FormatMonthDay(cycleStart)), 2});
        rows.push_back({QStringLiteral("Statistics"),
                        QStringLiteral("Average cycle duration: %1 days").arg(database.AverageCycleLength()), 0});
    }
    rows.push_back({QStringLiteral("Calculator"), QStringLiteral("Due date & conception"), 1});
    rows.push_back({QStringLiteral("Settings"), QString(), 2});
    database.SetChanged(false);
    return rows;
}

int SummaryRowCommand(int index)
{
    static constexpr int kCommands[] = {kCmdToday,   kCmdConception, kCmdOvulations,  0,           kCmdCalendar,
                                        kCmdHistory, kCmdStatistics, kCmdDueDateCalc, kCmdSettings};
    if (index < 0 || index >= static_cast<int>(std::size(kCommands)))
        return 0;
    return kCommands[index];
}
