#include "StorageTestSupport.h"

#include "settings/CalendarSettings.h"
#include "storage/ICalendarWriter.h"
#include "storage/LiveCalendarFile.h"

#include <libical/ical.h>

#include <QDate>
#include <QFile>
#include <QRegularExpression>

#include <map>

namespace {
struct ParsedEvent
{
    QString uid;
    QString summary;
    QString description;
    QDate first;
    QDate last; ///< the day before DTEND
};

QDate DateOf(const icaltimetype& time)
{
    return time.is_date ? QDate(time.year, time.month, time.day) : QDate();
}

QString Text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

// Parses an iCalendar text with libical; a component it cannot read is a test failure.
std::vector<ParsedEvent> Parse(const QByteArray& bytes)
{
    std::vector<ParsedEvent> events;
    icalcomponent* calendar = icalparser_parse_string(bytes.constData());
    EXPECT_NE(calendar, nullptr);
    if (!calendar)
        return events;
    EXPECT_EQ(icalcomponent_isa(calendar), ICAL_VCALENDAR_COMPONENT);
    EXPECT_EQ(icalcomponent_count_errors(calendar), 0) << bytes.toStdString();
    EXPECT_NE(icalcomponent_get_first_property(calendar, ICAL_PRODID_PROPERTY), nullptr);
    for (icalcomponent* event = icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT); event;
         event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
        events.push_back({Text(icalcomponent_get_uid(event)), Text(icalcomponent_get_summary(event)),
                          Text(icalcomponent_get_description(event)), DateOf(icalcomponent_get_dtstart(event)),
                          DateOf(icalcomponent_get_dtend(event)).addDays(-1)});
    }
    icalcomponent_free(calendar);
    return events;
}

// "uid: summary first..last" of every event, for comparisons that read like the calendar.
std::map<QString, QString> ByUid(const std::vector<ParsedEvent>& events)
{
    std::map<QString, QString> result;
    for (const ParsedEvent& event : events) {
        result[event.uid] =
            QStringLiteral("%1 %2..%3")
                .arg(event.summary, event.first.toString(Qt::ISODate), event.last.toString(Qt::ISODate));
    }
    return result;
}

class ICalendarTest : public VeluminaTest
{
protected:
    QByteArray Export(const CalendarSettings& settings)
    {
        const QString path = TempPath(QStringLiteral("export.ics"));
        int count = -1;
        QString error;
        EXPECT_TRUE(ICalendarWriter(TheCycleDatabase()).Write(path, settings, count, error)) << error.toStdString();
        const QByteArray bytes = FileBytes(path);
        EXPECT_EQ(static_cast<size_t>(count), Parse(bytes).size());
        return bytes;
    }

    static CalendarSettings Months(int months, bool includeRecorded = false)
    {
        CalendarSettings settings;
        settings.months = months;
        settings.includeRecorded = includeRecorded;
        return settings;
    }
};

// Periods of 10 March and 4 April 2026, today 8 April: the one measured cycle is 25 days, so
// the next periods are expected on 29 April and 24 May, each ovulation 14 days before them and
// the fertile days five before to four after it.
TEST_F(ICalendarTest, WorkedExampleGivesTheCalendarScreensDatesWithStableUids)
{
    CycleDatabase& database = TheCycleDatabase();
    ASSERT_TRUE(database.ReplaceRecords(StartTwoPeriodExample()));
    const QByteArray bytes = Export(Months(2));
    const std::vector<ParsedEvent> events = Parse(bytes);
    // The predicted period lasts as long as the day map has it.
    auto periodEnd = [&](const CalDate& start) {
        return ToQDate(start).addDays(database.BleedingDaysFrom(start) - 1).toString(Qt::ISODate);
    };
    const std::map<QString, QString> expected = {
        {QStringLiteral("velumina-cycle-2-fertile"), QStringLiteral("Fertile days 2026-04-10..2026-04-19")},
        {QStringLiteral("velumina-cycle-2-ovulation"), QStringLiteral("Ovulation expected 2026-04-15..2026-04-15")},
        {QStringLiteral("velumina-cycle-3-period"),
         QStringLiteral("Period expected 2026-04-29..") + periodEnd(Date(2026, 4, 29))},
        {QStringLiteral("velumina-cycle-3-fertile"), QStringLiteral("Fertile days 2026-05-05..2026-05-14")},
        {QStringLiteral("velumina-cycle-3-ovulation"), QStringLiteral("Ovulation expected 2026-05-10..2026-05-10")},
        {QStringLiteral("velumina-cycle-4-period"),
         QStringLiteral("Period expected 2026-05-24..") + periodEnd(Date(2026, 5, 24))},
        // Begin before the two months end, so they are written whole.
        {QStringLiteral("velumina-cycle-4-fertile"), QStringLiteral("Fertile days 2026-05-30..2026-06-08")},
        {QStringLiteral("velumina-cycle-4-ovulation"), QStringLiteral("Ovulation expected 2026-06-04..2026-06-04")},
    };
    EXPECT_EQ(ByUid(events), expected);
    for (const ParsedEvent& event : events)
        EXPECT_FALSE(event.description.isEmpty()) << event.uid.toStdString();
    EXPECT_TRUE(bytes.startsWith("BEGIN:VCALENDAR\r\n"));
    EXPECT_EQ(bytes.count("\n"), bytes.count("\r\n"));

    // A second export names the same events alike.
    EXPECT_EQ(ByUid(Parse(Export(Months(2)))), expected);

    // Her period comes four days after the predicted 29 April: that cycle keeps its UID as a
    // recorded period, the one after it keeps its UID and moves, the earlier ones stay.
    const std::map<QString, QString> before = ByUid(Parse(Export(Months(2, true))));
    SetToday(2026, 5, 7);
    std::vector<DayRecord> records = database.Records();
    for (int day = 3; day <= 7; ++day)
        records.push_back(Day(Date(2026, 5, day), Heavy));
    ASSERT_TRUE(database.ReplaceRecords(records));
    const std::map<QString, QString> after = ByUid(Parse(Export(Months(2, true))));
    EXPECT_EQ(after.at(QStringLiteral("velumina-cycle-2-period")),
              before.at(QStringLiteral("velumina-cycle-2-period")));
    EXPECT_EQ(after.at(QStringLiteral("velumina-cycle-3-period")), QStringLiteral("Period 2026-05-03..2026-05-07"));
    EXPECT_NE(after.at(QStringLiteral("velumina-cycle-4-period")),
              before.at(QStringLiteral("velumina-cycle-4-period")));
}

TEST_F(ICalendarTest, DiscreetTitlesSayNothingAndTextIsEscapedAndFolded)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(StartTwoPeriodExample()));
    CalendarSettings discreet = Months(24, true);
    discreet.discreet = true;
    const QByteArray bytes = Export(discreet);
    for (const ParsedEvent& event : Parse(bytes)) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^V[1-5]$")).match(event.summary).hasMatch())
            << event.summary.toStdString();
        EXPECT_TRUE(event.description.isEmpty());
    }
    EXPECT_FALSE(bytes.contains("X-WR-CALNAME")) << "no calendar name";

    // Text that needs every escape, and lines long enough to fold inside multi-byte letters.
    CalendarEvent event;
    event.first = event.last = Date(2026, 5, 1);
    event.uid = QStringLiteral("uid-") + QString(80, u'x');
    event.summary = QStringLiteral("a, b; c\\d\nnext\r\nline");
    event.description = QString(30, u'x') + QString(40, QChar(0x00FC)) + QStringLiteral("\U0001F319 end");
    const QByteArray text = ICalendarWriter::Format({event}, QDateTime::currentDateTimeUtc(), false);
    const std::vector<ParsedEvent> parsed = Parse(text);
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0].uid, event.uid);
    EXPECT_EQ(parsed[0].summary, QStringLiteral("a, b; c\\d\nnext\nline"));
    EXPECT_EQ(parsed[0].description, event.description);
    EXPECT_TRUE(text.contains("SUMMARY:a\\, b\\; c\\\\d\\nnext\\nline\r\n"));
    for (const QByteArray& line : text.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.toStdString(); // 75 octets and the CR
        // No piece begins inside a UTF-8 sequence.
        EXPECT_FALSE(line.size() > 1 && (static_cast<unsigned char>(line[1]) & 0xC0) == 0x80) << line.toStdString();
    }
}

// Switching it on and off from the settings screen is in SettingsDlg_test.cpp.
TEST_F(ICalendarTest, LiveFileIsReadableByHerOnlyAndALatePeriodIsExpectedFromTomorrow)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(StartTwoPeriodExample()));
    const QString path = LiveCalendarFile::Path();
    CalendarSettings settings;
    settings.keepFile = true;
    ASSERT_TRUE(settings.Save());
    LiveCalendarFile::Start();
    EXPECT_EQ(FileMode(path), 0600);

    // A new day with a late period changes the file: the period is expected from tomorrow under
    // the same cycle.
    SetToday(2026, 5, 3); // expected on 29 April, not recorded
    EXPECT_TRUE(LiveCalendarFile::FollowNewDay());
    const std::map<QString, QString> events = ByUid(Parse(FileBytes(path)));
    EXPECT_EQ(events.at(QStringLiteral("velumina-cycle-3-late")),
              QStringLiteral("Period late since April 29 2026-04-29..2026-05-03"));
    EXPECT_TRUE(events.at(QStringLiteral("velumina-cycle-3-period"))
                    .startsWith(QStringLiteral("Period expected 2026-05-04..")));
    LiveCalendarFile::Stop();
}
} // namespace
