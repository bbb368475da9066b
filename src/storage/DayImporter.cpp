#include "storage/DayImporter.h"

#include "platform/CountText.h"
#include "storage/CsvExchange.h"
#include "storage/CsvTable.h"

#include <QDate>
#include <QDir>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>

namespace {
// A period in another program's export is never followed further than this.
constexpr int kLongestPeriod = 40;

const QString kNoDays = QStringLiteral("This file holds no days; nothing was imported.\n\n");

// Collects the days of a file: one record per date, the last entry of a date winning.
class DayCollector
{
public:
    explicit DayCollector(ImportedDays& result) : m_result(result)
    {
    }

    // Why the date cannot be stored, or nothing when it can.
    static QString DateProblem(const CalDate& date, bool exists)
    {
        if (!exists)
            return QStringLiteral("date that does not exist");
        // The years the data file holds, so that whatever was exported imports back.
        if (!IsStorableDay(date))
            return QStringLiteral("date outside %1 to %2").arg(kFirstStoredYear).arg(kLastStoredYear);
        return QString();
    }

    // Takes the entry's date cell; false (the entry counted as skipped) when it gives no day to store.
    bool TakeDate(const QString& text, CalDate& date)
    {
        bool exists = false;
        if (!DayImporter::ParseDate(text, date, exists)) {
            m_result.Skip(text.trimmed().isEmpty() ? QStringLiteral("no date") : QStringLiteral("unreadable date"));
            return false;
        }
        const QString problem = DateProblem(date, exists);
        if (!problem.isEmpty()) {
            m_result.Skip(problem);
            return false;
        }
        return true;
    }

    void Add(const CalDate& date, int level, QString note)
    {
        DayRecord record;
        record.date = date;
        SetLevel(record, level);
        note.replace(QChar(u'\0'), QChar(u' '));
        if (note.size() > kMaxNoteLength) {
            qsizetype keep = kMaxNoteLength;
            if (note[keep - 1].isHighSurrogate() && note[keep].isLowSurrogate())
                --keep;
            note.truncate(keep);
            ++m_result.report.shortened;
        }
        SetNote(record, note);
        const int key = date.year * 10000 + date.month * 100 + date.day;
        const auto found = m_index.constFind(key);
        if (found != m_index.constEnd()) {
            m_result.records[found.value()] = std::move(record);
            return;
        }
        m_index.insert(key, m_result.records.size());
        m_result.records.push_back(std::move(record));
    }

private:
    ImportedDays& m_result;
    QHash<int, size_t> m_index;
};

int Column(const QStringList& header, std::initializer_list<const char*> names)
{
    for (qsizetype i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed().toLower();
        for (const char* candidate : names) {
            if (name == QLatin1String(candidate))
                return static_cast<int>(i);
        }
    }
    return -1;
}

QString Cell(const CsvTable::Row& row, int column)
{
    return column >= 0 && column < row.fields.size() ? row.fields[column] : QString();
}

bool ReadSpreadsheet(const std::vector<CsvTable::Row>& rows,
                     const QString& fileName,
                     ImportedDays& result,
                     QString& error)
{
    result.format = QStringLiteral("a spreadsheet file");
    const QStringList& header = rows.front().fields;
    int dateColumn = Column(header, {"date", "day"});
    int levelColumn = Column(header, {"bleeding", "flow", "level", "period", "bleeding level", "menstruation"});
    int noteColumn = Column(header, {"note", "notes", "comment", "comments"});
    size_t first = 1;
    CalDate probe{0, 0, 0};
    bool exists = false;
    if (dateColumn < 0 && DayImporter::ParseDate(header.value(0), probe, exists)) {
        // No header row: date, bleeding and note in this order.
        dateColumn = 0;
        levelColumn = header.size() > 1 ? 1 : -1;
        noteColumn = header.size() > 2 ? 2 : -1;
        first = 0;
    }
    if (dateColumn < 0 || levelColumn < 0) {
        error = QStringLiteral("This file is in no form Velumina knows; nothing was imported.\n\n"
                               "Line 1 of '%1' names no %2 column. A spreadsheet file needs a header row such as "
                               "\"Date,Bleeding,Note\".")
                    .arg(fileName, dateColumn < 0 ? QStringLiteral("Date") : QStringLiteral("Bleeding"));
        return false;
    }
    DayCollector days(result);
    for (size_t i = first; i < rows.size(); ++i) {
        const CsvTable::Row& row = rows[i];
        CalDate date{0, 0, 0};
        if (!days.TakeDate(Cell(row, dateColumn), date))
            continue;
        const QString levelText = Cell(row, levelColumn).trimmed();
        int level = None;
        if (!levelText.isEmpty() && !DayImporter::ParseLevel(levelText, level)) {
            result.Skip(QStringLiteral("unknown bleeding value"));
            continue;
        }
        days.Add(date, level, Cell(row, noteColumn));
    }
    return true;
}

bool ReadDrip(const std::vector<CsvTable::Row>& rows, ImportedDays& result)
{
    result.format = QStringLiteral("a drip export");
    const QStringList& header = rows.front().fields;
    const int dateColumn = Column(header, {"date"});
    const int levelColumn = Column(header, {"bleeding.value"});
    const int excludeColumn = Column(header, {"bleeding.exclude"});
    const int noteColumn = Column(header, {"note.value"});
    DayCollector days(result);
    for (size_t i = 1; i < rows.size(); ++i) {
        const CsvTable::Row& row = rows[i];
        CalDate date{0, 0, 0};
        if (!days.TakeDate(Cell(row, dateColumn), date))
            continue;
        if (Cell(row, excludeColumn).trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            result.Skip(QStringLiteral("excluded in drip"));
            continue;
        }
        const QString value = Cell(row, levelColumn).trimmed();
        const QString note = Cell(row, noteColumn);
        if (value.isEmpty() && note.isEmpty()) {
            result.Skip(QStringLiteral("no bleeding or note"));
            continue;
        }
        // drip counts 0 spotting, 1 light, 2 medium, 3 heavy.
        static const QHash<QString, int> kLevels = {{QStringLiteral("0"), Slight},
                                                    {QStringLiteral("1"), Slight},
                                                    {QStringLiteral("2"), Medium},
                                                    {QStringLiteral("3"), Heavy}};
        int level = None;
        if (!value.isEmpty()) {
            const auto found = kLevels.constFind(value);
            if (found == kLevels.constEnd()) {
                result.Skip(QStringLiteral("unknown bleeding value"));
                continue;
            }
            level = found.value();
        }
        days.Add(date, level, note);
    }
    return true;
}

void ReadClue(const QJsonArray& entries, ImportedDays& result)
{
    result.format = QStringLiteral("a Clue export");
    DayCollector days(result);
    static const QHash<QString, int> kLevels = {{QStringLiteral("spotting"), Slight},
                                                {QStringLiteral("light"), Slight},
                                                {QStringLiteral("medium"), Medium},
                                                {QStringLiteral("heavy"), Heavy}};
    for (const QJsonValue& entry : entries) {
        if (!entry.isObject()) {
            result.Skip(QStringLiteral("entry that is not a measurement"));
            continue;
        }
        const QJsonObject measurement = entry.toObject();
        if (measurement.value(QLatin1String("type")).toString() != QLatin1String("period"))
            continue; // other measurements have no place here
        CalDate date{0, 0, 0};
        if (!days.TakeDate(measurement.value(QLatin1String("date")).toString(), date))
            continue;
        const QString option =
            measurement.value(QLatin1String("value")).toObject().value(QLatin1String("option")).toString().toLower();
        const auto found = kLevels.constFind(option);
        if (found == kLevels.constEnd()) {
            result.Skip(QStringLiteral("unknown flow value"));
            continue;
        }
        days.Add(date, found.value(), QString());
    }
}

void ReadFlo(const QJsonArray& cycles, ImportedDays& result)
{
    result.format = QStringLiteral("a Flo export");
    DayCollector days(result);
    for (const QJsonValue& entry : cycles) {
        const QJsonObject cycle = entry.toObject();
        CalDate start{0, 0, 0};
        if (!days.TakeDate(cycle.value(QLatin1String("period_start_date")).toString(), start))
            continue;
        // A period still going on has no end yet: its first day is what is known.
        CalDate end = start;
        const QString endText = cycle.value(QLatin1String("period_end_date")).toString();
        if (!endText.trimmed().isEmpty() && !days.TakeDate(endText, end))
            continue;
        const qint64 length = ToQDate(start).daysTo(ToQDate(end)) + 1;
        if (length < 1) {
            result.Skip(QStringLiteral("period that ends before it starts"));
            continue;
        }
        if (length > kLongestPeriod) {
            result.Skip(QStringLiteral("period of more than %1 days").arg(kLongestPeriod));
            continue;
        }
        for (QDate day = ToQDate(start); day <= ToQDate(end); day = day.addDays(1))
            days.Add(ToCalDate(day), Medium, QString());
    }
}

bool ReadJson(const QString& text, const QString& fileName, ImportedDays& result, QString& error)
{
    const QByteArray utf8 = text.toUtf8();
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(utf8, &parseError);
    if (document.isNull()) {
        const int line = 1 + static_cast<int>(utf8.left(parseError.offset).count('\n'));
        error = QStringLiteral("The file '%1' could not be read: line %2 is not valid JSON (%3). Nothing was "
                               "imported.")
                    .arg(fileName)
                    .arg(line)
                    .arg(parseError.errorString());
        return false;
    }
    if (document.isArray()) {
        ReadClue(document.array(), result);
        return true;
    }
    const QJsonValue cycles =
        document.object().value(QLatin1String("operationalData")).toObject().value(QLatin1String("cycles"));
    if (!cycles.isArray()) {
        error = QStringLiteral("This file is in no form Velumina knows; nothing was imported.\n\n"
                               "'%1' is JSON, but neither a Clue export (a list of measurements) nor a Flo export "
                               "(cycles under \"operationalData\").")
                    .arg(fileName);
        return false;
    }
    ReadFlo(cycles.toArray(), result);
    return true;
}

bool ReadTable(const QString& text, const QString& fileName, ImportedDays& result, QString& error)
{
    std::vector<CsvTable::Row> rows;
    int badLine = 0;
    if (!CsvTable::Parse(text, CsvTable::DetectSeparator(text), rows, badLine)) {
        error = QStringLiteral("The file '%1' could not be read: the quoted field that starts on line %2 is never "
                               "closed. Nothing was imported.")
                    .arg(fileName)
                    .arg(badLine);
        return false;
    }
    if (rows.empty()) {
        error = kNoDays + QStringLiteral("The file '%1' holds only blank lines.").arg(fileName);
        return false;
    }
    const QStringList& header = rows.front().fields;
    if (Column(header, {"date"}) >= 0 && Column(header, {"bleeding.value"}) >= 0)
        return ReadDrip(rows, result);
    return ReadSpreadsheet(rows, fileName, result, error);
}

QString FirstLine(const QString& text)
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    QString line = end < 0 ? text : text.left(end);
    while (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

} // namespace

QString ImportedDays::SkippedText() const
{
    if (report.skipped == 0)
        return QString();
    QStringList reasons;
    for (const auto& [reason, count] : skipReasons)
        reasons << (skipReasons.size() == 1 ? reason : QStringLiteral("%1 (%2)").arg(reason).arg(count));
    return QStringLiteral("%1 skipped: %2")
        .arg(CountText(report.skipped, u"entry", u"entries"), reasons.join(QStringLiteral(", ")));
}

void ImportedDays::Skip(const QString& reason)
{
    ++report.skipped;
    for (auto& [known, count] : skipReasons) {
        if (known == reason) {
            ++count;
            return;
        }
    }
    skipReasons.emplace_back(reason, 1);
}

bool DayImporter::ReadFile(const QString& path, ImportedDays& result, QString& error)
{
    result = ImportedDays();
    QByteArray bytes;
    if (!ReadImportFile(path, bytes, error))
        return false;
    return ReadBytes(bytes, QDir::toNativeSeparators(path), result, error);
}

bool DayImporter::ReadBytes(const QByteArray& bytes, const QString& fileName, ImportedDays& result, QString& error)
{
    result = ImportedDays();
    error.clear();
    const QString text = CsvTable::Decode(bytes);
    const QString start = text.left(64).trimmed();
    bool read = false;
    if (start.startsWith(QLatin1Char('[')) || start.startsWith(QLatin1Char('{'))) {
        read = ReadJson(text, fileName, result, error);
    } else if (text.isEmpty() || IsDayLine(FirstLine(text))) {
        result.format = QStringLiteral("a Velumina day file");
        read = ReadDayLines(text, fileName, result.records, result.report, error);
        if (read && result.report.skipped > 0)
            result.skipReasons.emplace_back(QStringLiteral("date that does not exist or cannot be stored"),
                                            result.report.skipped);
    } else {
        read = ReadTable(text, fileName, result, error);
    }
    if (!read) {
        result.records.clear();
        return false;
    }
    if (result.records.empty()) {
        const QString skipped = result.SkippedText();
        error = kNoDays +
                QStringLiteral("'%1' is %2 without a day Velumina can store%3.")
                    .arg(fileName, result.format, skipped.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(skipped));
        return false;
    }
    if (static_cast<int>(result.records.size()) > CycleDatabase::kMaxRecords) {
        error = QStringLiteral("The file '%1' holds %2 different days, but Velumina holds at most %3. Nothing was "
                               "imported.")
                    .arg(fileName)
                    .arg(result.records.size())
                    .arg(CycleDatabase::kMaxRecords);
        result.records.clear();
        return false;
    }
    std::sort(result.records.begin(), result.records.end(),
              [](const DayRecord& a, const DayRecord& b) { return IsBefore(a.date, b.date); });
    result.report.imported = static_cast<int>(result.records.size());
    return true;
}

bool DayImporter::ParseDate(const QString& text, CalDate& date, bool& exists)
{
    const QString trimmed = text.trimmed();
    int numbers[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    qsizetype pos = 0;
    QList<QChar> separators;
    for (; pos < trimmed.size() && count < 3; ++pos) {
        const QChar c = trimmed[pos];
        if (c.isDigit() && c.unicode() < 128) {
            if (digits[count] < 6)
                numbers[count] = numbers[count] * 10 + (c.unicode() - u'0');
            ++digits[count];
            continue;
        }
        if (digits[count] == 0)
            return false;
        ++count;
        if (count == 3)
            break;
        separators << c;
    }
    if (count < 3 && pos >= trimmed.size() && digits[count] > 0)
        ++count;
    if (count != 3)
        return false;
    // What follows the date may only be a time of day.
    if (pos < trimmed.size() && trimmed[pos] != QLatin1Char(' ') && trimmed[pos] != QLatin1Char('T'))
        return false;

    int year = 0;
    int month = 0;
    int day = 0;
    if (digits[0] == 4 && separators.value(0) == QLatin1Char('-') && separators.value(1) == QLatin1Char('-')) {
        year = numbers[0];
        month = numbers[1];
        day = numbers[2];
    } else {
        // The locale's short date: the order of day, month and year as its format has them.
        const QString format = QLocale().dateFormat(QLocale::ShortFormat);
        const qsizetype dayAt = format.indexOf(QLatin1Char('d'));
        const qsizetype monthAt = format.indexOf(QLatin1Char('M'));
        const qsizetype yearAt = format.indexOf(QLatin1Char('y'));
        if (dayAt < 0 || monthAt < 0 || yearAt < 0 || format.contains(QLatin1String("MMM")))
            return false;
        const auto rank = [&](qsizetype at) { return static_cast<int>((at > dayAt) + (at > monthAt) + (at > yearAt)); };
        day = numbers[rank(dayAt)];
        month = numbers[rank(monthAt)];
        year = numbers[rank(yearAt)];
        if (digits[rank(yearAt)] <= 2)
            year += year < 70 ? 2000 : 1900;
        else if (digits[rank(yearAt)] != 4)
            return false;
    }
    const bool narrow = year <= 9999 && month <= 99 && day <= 99;
    date = CalDate{static_cast<int16_t>(narrow ? month : 0), static_cast<int16_t>(narrow ? day : 0),
                   static_cast<int16_t>(narrow ? year : 0)};
    exists = narrow && QDate(year, month, day).isValid();
    return true;
}

bool DayImporter::ParseLevel(const QString& text, int& level)
{
    static const QHash<QString, int> kLevels = {
        {QStringLiteral("0"), None},        {QStringLiteral("none"), None},       {QStringLiteral("no"), None},
        {QStringLiteral("1"), Slight},      {QStringLiteral("spotting"), Slight}, {QStringLiteral("light"), Slight},
        {QStringLiteral("slight"), Slight}, {QStringLiteral("2"), Medium},        {QStringLiteral("medium"), Medium},
        {QStringLiteral("3"), Heavy},       {QStringLiteral("heavy"), Heavy},
    };
    const auto found = kLevels.constFind(text.trimmed().toLower());
    if (found == kLevels.constEnd())
        return false;
    level = found.value();
    return true;
}
