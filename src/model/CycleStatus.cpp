#include "model/CycleStatus.h"

#include "model/CivilDays.h"

namespace {
// A bleeding run is never followed further than this.
constexpr int kLongestRun = 40;
} // namespace

bool HasRecordedBleeding(const CycleDatabase& database, const CalDate& start)
{
    CalDate last = start;
    for (int day = 1; day < kLongestRun && IsConvertible(last); ++day) {
        CalDate next = last;
        CivilNextDay(next);
        if (!database.IsBleedingDay(next))
            break;
        last = next;
    }
    const std::vector<DayRecord>& records = database.Records();
    const int before = database.FindIndex(start);
    size_t i = before < 0 ? 0 : static_cast<size_t>(before);
    if (before >= 0 && !IsSameDate(records[i].date, start))
        ++i;
    for (; i < records.size() && !IsAfter(records[i].date, last); ++i) {
        if (LevelOf(records[i]) != None)
            return true;
    }
    return false;
}

std::vector<CycleStatus> CycleStatuses(const CycleDatabase& database, const std::vector<CycleRecord>& cycles)
{
    std::vector<CycleStatus> statuses;
    statuses.reserve(cycles.size());
    for (size_t i = 0; i < cycles.size(); ++i) {
        if (i + 1 == cycles.size())
            statuses.push_back(CycleStatus::Current);
        else
            statuses.push_back(HasRecordedBleeding(database, cycles[i].firstDay) ? CycleStatus::Recorded
                                                                                 : CycleStatus::Predicted);
    }
    return statuses;
}

QString CycleStatusName(CycleStatus status)
{
    switch (status) {
    case CycleStatus::Predicted:
        return QStringLiteral("predicted");
    case CycleStatus::Current:
        return QStringLiteral("current");
    case CycleStatus::Recorded:
        break;
    }
    return QStringLiteral("recorded");
}
