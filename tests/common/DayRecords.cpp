#include "DayRecords.h"

DayRecord Day(const CalDate& date, int level, const QString& note)
{
    DayRecord record;
    record.date = date;
    SetLevel(record, level);
    SetNote(record, note);
    return record;
}
