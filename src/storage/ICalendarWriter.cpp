#include "storage/ICalendarWriter.h"

#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "model/CycleLimits.h"
#include "model/OvulationDates.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"

#include <algorithm>

namespace {
// The day map is read this far beyond the last month, so that the last cycle in it has its
// next start (which places its ovulation).
constexpr int kLookBeyond = 45;
// RFC 5545: content lines are at most 75 octets, the line break not counted.
constexpr int kMaxLineOctets = 75;

using Kind = CalendarEvent::Kind;

struct Run
{
    int first;
    int last;
    bool recorded;
};

struct Cycle
{
    int number;
    std::vector<Run> runs;
};

CalDate DateOf(int dayNumber)
{
    return DateOfDayNumber(dayNumber);
}

QString Title(Kind kind, bool discreet, const CalDate& lateSince)
{
    if (discreet) {
        // Titles that say nothing to somebody who looks over her shoulder; the export dialog
        // tells her which number is which.
        return QStringLiteral("V%1").arg(static_cast<int>(kind) + 1);
    }
    switch (kind) {
    case Kind::ExpectedPeriod:
        return QStringLiteral("Period expected");
    case Kind::FertileDays:
        return QStringLiteral("Fertile days");
    case Kind::Ovulation:
        return QStringLiteral("Ovulation expected");
    case Kind::LatePeriod:
        return QStringLiteral("Period late since %1").arg(FormatMonthDay(lateSince));
    case Kind::RecordedPeriod:
        break;
    }
    return QStringLiteral("Period");
}

QString Description(Kind kind, CycleDatabase& database, const CalDate& lateSince)
{
    switch (kind) {
    case Kind::ExpectedPeriod:
        return QStringLiteral("Predicted by Velumina; your average cycle is %1 days.")
            .arg(database.AverageCycleLength());
    case Kind::FertileDays:
        return QStringLiteral("Days with a chance of conception, highest on the expected ovulation day.");
    case Kind::Ovulation:
        return QStringLiteral("Assumed %1 days (your luteal phase) before the next cycle starts.")
            .arg(database.LutealPhaseLen());
    case Kind::LatePeriod:
        return QStringLiteral("Expected on %1, not recorded yet; Velumina now expects it from tomorrow.")
            .arg(FormatMonthDay(lateSince));
    case Kind::RecordedPeriod:
        break;
    }
    return QStringLiteral("Recorded in Velumina.");
}

// TEXT values: backslash, semicolon and comma escaped, every line break as \n; other control
// characters are not allowed in a content line and are left out.
QString EscapeText(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u';' || c == u',') {
            out += u'\\';
            out += c;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QStringLiteral("\\n");
        } else if (c == u'\t' || (c.unicode() >= 0x20 && c.unicode() != 0x7F)) {
            out += c;
        }
    }
    return out;
}

// Appends one content line, folded into pieces of at most 75 octets (a continuation line's
// leading space included) and never inside a UTF-8 sequence, each ending in CR LF.
void AppendLine(QByteArray& out, const QByteArray& line)
{
    qsizetype pos = 0;
    bool first = true;
    do {
        const qsizetype room = first ? kMaxLineOctets : kMaxLineOctets - 1;
        qsizetype end = std::min(line.size(), pos + room);
        // A UTF-8 continuation byte (10xxxxxx) must stay with the bytes before it.
        while (end < line.size() && end > pos + 1 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
            --end;
        if (!first)
            out += ' ';
        out += QByteArrayView(line).sliced(pos, end - pos);
        out += "\r\n";
        pos = end;
        first = false;
    } while (pos < line.size());
}

void AppendProperty(QByteArray& out, const char* name, const QString& value)
{
    AppendLine(out, QByteArray(name) + ':' + value.toUtf8());
}

QString DateValue(const CalDate& date)
{
    return QStringLiteral("%1%2%3")
        .arg(date.year, 4, 10, QLatin1Char('0'))
        .arg(date.month, 2, 10, QLatin1Char('0'))
        .arg(date.day, 2, 10, QLatin1Char('0'));
}

// The first bleeding record's day, where derivation starts too; INT_MIN when there is none.
int FirstBleedingDay(const CycleDatabase& database)
{
    for (const DayRecord& record : database.Records()) {
        if (LevelOf(record) != None && IsConvertible(record.date))
            return DayNumberOf(record.date);
    }
    return INT_MIN;
}

// The days of her bleeding records, sorted.
std::vector<int> RecordedBleedingDays(const CycleDatabase& database)
{
    std::vector<int> days;
    for (const DayRecord& record : database.Records()) {
        const CalDate& date = record.date;
        if (LevelOf(record) != None && IsConvertible(date) && date.day <= DaysInMonth(date.year, date.month))
            days.push_back(DayNumberOf(date));
    }
    std::sort(days.begin(), days.end());
    return days;
}

// The bleeding runs of the day map from `from` to `until` (inclusive), grouped into cycles
// numbered from 1.
std::vector<Cycle> ReadCycles(const CycleDatabase& database, int from, int until)
{
    const std::vector<int> recorded = RecordedBleedingDays(database);
    std::vector<Cycle> cycles;
    const DayStatusMap& map = database.Map();
    CalDate date = DateOf(from);
    bool inRun = false;
    Run run{0, 0, false};
    auto closeRun = [&]() {
        if (!cycles.empty() && run.first - cycles.back().runs.front().first < kShortestCycle)
            cycles.back().runs.push_back(run);
        else
            cycles.push_back(Cycle{static_cast<int>(cycles.size()) + 1, {run}});
        inRun = false;
    };
    for (int day = from; day <= until; ++day, CivilNextDay(date)) {
        if (map.IsBleeding(date)) {
            if (!inRun)
                run = Run{day, day, false};
            inRun = true;
            run.last = day;
            run.recorded = run.recorded || std::binary_search(recorded.begin(), recorded.end(), day);
        } else if (inRun) {
            closeRun();
        }
    }
    if (inRun)
        closeRun();
    return cycles;
}
} // namespace

const QString ICalendarWriter::kProductId = QStringLiteral("-//Quorlen Software//Velumina 1.0//EN");

ICalendarWriter::ICalendarWriter(CycleDatabase& database) : m_database(database)
{
}

std::vector<CalendarEvent> ICalendarWriter::CollectEvents(const CalendarSettings& settings, const CalDate& today)
{
    std::vector<CalendarEvent> events;
    const int firstBleeding = FirstBleedingDay(m_database);
    if (firstBleeding == INT_MIN || !IsConvertible(today))
        return events;
    const int months = std::clamp(settings.months, CalendarSettings::kMinMonths, CalendarSettings::kMaxMonths);
    const int todayDay = DayNumberOf(today);
    const int horizon = DayNumberOf(ToCalDate(ToQDate(today).addMonths(months))); // first day after
    const int mapFirst = DayNumberOf(CalDate{1, 1, kMapFirstYear});
    const int mapLast = DayNumberOf(CalDate{12, 31, kMapLastYear});
    const int from = std::max(firstBleeding, mapFirst);
    const int until = std::min(horizon + kLookBeyond, mapLast);
    if (from > until)
        return events;
    const std::vector<Cycle> cycles = ReadCycles(m_database, from, until);

    const int lateDays = m_database.LateDays();
    const CalDate lateSince = CivilOffsetDate(today, -std::max(lateDays, 0));
    auto add = [&](Kind kind, int first, int last, const QString& uid) {
        CalendarEvent event;
        event.kind = kind;
        event.first = DateOf(first);
        event.last = DateOf(last);
        event.uid = uid;
        event.summary = Title(kind, settings.discreet, lateSince);
        if (!settings.discreet)
            event.description = Description(kind, m_database, lateSince);
        events.push_back(std::move(event));
    };
    auto ahead = [&](int first, int last) { return last >= todayDay && first < horizon; };

    for (size_t i = 0; i < cycles.size(); ++i) {
        const Cycle& cycle = cycles[i];
        const QString uidStem = QStringLiteral("velumina-cycle-%1-").arg(cycle.number);
        for (size_t k = 0; k < cycle.runs.size(); ++k) {
            const Run& run = cycle.runs[k];
            const QString uid =
                uidStem + QStringLiteral("period") + (k == 0 ? QString() : QStringLiteral("-%1").arg(k + 1));
            if (run.recorded) {
                if (settings.includeRecorded && run.first < horizon)
                    add(Kind::RecordedPeriod, run.first, run.last, uid);
            } else if (ahead(run.first, run.last)) {
                add(Kind::ExpectedPeriod, run.first, run.last, uid);
            }
        }
        const int start = cycle.runs.front().first;
        if (lateDays >= 0 && start == todayDay + 1)
            add(Kind::LatePeriod, DayNumberOf(lateSince), todayDay, uidStem + QStringLiteral("late"));
        if (i + 1 == cycles.size())
            break;
        const int next = cycles[i + 1].runs.front().first;
        if (next <= todayDay)
            continue;
        const int ovulation = DayNumberOf(OvulationBefore(m_database, DateOf(next)));
        if (ovulation >= start && ahead(ovulation, ovulation))
            add(Kind::Ovulation, ovulation, ovulation, uidStem + QStringLiteral("ovulation"));
        // The fertile days are those the calendar screen shows with a chance of conception.
        int fertileFirst = INT_MIN;
        int fertileLast = INT_MIN;
        CalDate date = DateOf(start);
        for (int day = start; day < next; ++day, CivilNextDay(date)) {
            if (m_database.GetDay(date).chance > 0) {
                if (fertileFirst == INT_MIN)
                    fertileFirst = day;
                fertileLast = day;
            } else if (fertileFirst != INT_MIN) {
                break;
            }
        }
        if (fertileFirst != INT_MIN && ahead(fertileFirst, fertileLast))
            add(Kind::FertileDays, fertileFirst, fertileLast, uidStem + QStringLiteral("fertile"));
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const CalendarEvent& a, const CalendarEvent& b) { return IsBefore(a.first, b.first); });
    return events;
}

QByteArray ICalendarWriter::Format(const std::vector<CalendarEvent>& events, const QDateTime& stamp, bool discreet)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(events.size()) * 300 + 200);
    const QString stampValue = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    AppendLine(out, "BEGIN:VCALENDAR");
    AppendLine(out, "VERSION:2.0");
    AppendProperty(out, "PRODID", kProductId);
    AppendLine(out, "CALSCALE:GREGORIAN");
    AppendLine(out, "METHOD:PUBLISH");
    if (!discreet)
        AppendLine(out, "X-WR-CALNAME:Velumina");
    for (const CalendarEvent& event : events) {
        AppendLine(out, "BEGIN:VEVENT");
        AppendProperty(out, "UID", event.uid);
        AppendProperty(out, "DTSTAMP", stampValue);
        AppendProperty(out, "DTSTART;VALUE=DATE", DateValue(event.first));
        AppendProperty(out, "DTEND;VALUE=DATE", DateValue(CivilOffsetDate(event.last, 1)));
        AppendProperty(out, "SUMMARY", EscapeText(event.summary));
        if (!event.description.isEmpty())
            AppendProperty(out, "DESCRIPTION", EscapeText(event.description));
        // She is not busy on these days, and a shared calendar shows them to nobody else.
        AppendLine(out, "TRANSP:TRANSPARENT");
        AppendLine(out, "CLASS:PRIVATE");
        AppendLine(out, "END:VEVENT");
    }
    AppendLine(out, "END:VCALENDAR");
    return out;
}

bool ICalendarWriter::Write(const QString& path, const CalendarSettings& settings, int& eventCount, QString& error)
{
    const std::vector<CalendarEvent> events = CollectEvents(settings, Today());
    const QDateTime stamp = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(CurrentTime()), Qt::UTC);
    if (!WriteFileAtomically(path, Format(events, stamp, settings.discreet), error))
        return false;
    eventCount = static_cast<int>(events.size());
    return true;
}
