#include "app/StatusLine.h"

#include "model/CycleDatabase.h"

QString TodayStatusLine()
{
    CycleDatabase& database = TheCycleDatabase();
    const CalDate today = Today();
    QString line = QStringLiteral("Velumina, %1: ").arg(FormatShortDate(today));
    const int cycleDay = database.DayOfCycle();
    if (cycleDay < 0) {
        line += QStringLiteral("no data");
        return line;
    }
    line += QStringLiteral("cycle day %1").arg(cycleDay + 1);
    CalDate next = today;
    if (database.FindNextPeriodStart(next))
        line += QStringLiteral(", next cycle starts on %1").arg(FormatMonthDay(next));
    return line;
}
