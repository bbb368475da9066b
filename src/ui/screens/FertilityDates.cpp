#include "ui/screens/FertilityDates.h"

QString FormatDateNearToday(const CalDate& date, const CalDate& today)
{
    const QString monthDay = FormatMonthDay(date);
    if (!IsValidDate(date) || date.year == today.year)
        return monthDay;
    return QStringLiteral("%1, %2").arg(monthDay).arg(date.year);
}
