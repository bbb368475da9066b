#pragma once

#include "model/CalDate.h"
#include "settings/CalendarSettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

class CycleDatabase;

/// One all-day event of the calendar file, from `first` to `last` (both included).
struct CalendarEvent
{
    enum class Kind {
        ExpectedPeriod,
        FertileDays,
        Ovulation,
        LatePeriod,
        RecordedPeriod,
    };

    Kind kind = Kind::ExpectedPeriod;
    CalDate first{0, 0, 0};
    CalDate last{0, 0, 0};
    QString uid;
    QString summary;
    QString description; ///< empty: none is written
};

/// Writes her predictions as an iCalendar file (RFC 5545) that desktop calendars import or
/// subscribe to: all-day events for the predicted periods, fertile days and ovulations of the
/// next months, the expected start while a period is late, and, when asked for, the periods
/// she recorded. Everything is read from the cycle database's derived day map and its
/// queries, so the file shows the days the calendar screen shows.
///
/// Event identity: the cycles are numbered in the order of their starts in the day map,
/// counted from her first recorded bleeding day (bleeding runs that begin fewer than 20 days
/// after a cycle's start belong to that cycle, as the model counts no shorter cycle). An
/// event's UID is that number and its kind, so
/// - a change of a later cycle leaves the UIDs of the earlier ones alone, and
/// - when the current cycle moves (she records her period a few days after the predicted
///   day), the predicted cycles after it keep their numbers and UIDs and only change their
///   dates: a calendar that imports the file again moves the events instead of adding new
///   ones. A predicted period that she then records keeps its UID as a recorded period.
/// Numbers shift only when the past changes the count of cycles before them (she adds or
/// removes a whole period in her history); then the events are updated in place.
class ICalendarWriter
{
public:
    /// The file's product identifier.
    static const QString kProductId;

    explicit ICalendarWriter(CycleDatabase& database);

    /// The events from `today` to `settings.months` months ahead, in date order; recorded
    /// periods (all of them) only with `settings.includeRecorded`.
    std::vector<CalendarEvent> CollectEvents(const CalendarSettings& settings, const CalDate& today);

    /// The calendar text: UTF-8, lines ending in CR LF and folded at 75 octets, text escaped.
    /// `stamp` is the DTSTAMP of every event.
    static QByteArray Format(const std::vector<CalendarEvent>& events, const QDateTime& stamp, bool discreet);

    /// Collects the events of today and writes them to `path` through WriteFileAtomically
    /// (readable by her only). False with `error` set when the file could not be written.
    bool Write(const QString& path, const CalendarSettings& settings, int& eventCount, QString& error);

private:
    CycleDatabase& m_database;
};
