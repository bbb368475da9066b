#include "storage/CsvExchange.h"

#include "platform/AtomicFile.h"
#include "platform/MessageBox.h"
#include "platform/RegularFile.h"
#include "storage/CsvTable.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {
// Numbers read from a line stop growing here instead of overflowing.
constexpr int64_t kNumberCeiling = int64_t{1} << 40;

// Appends `value` as printf's "%0<width>d" would: the width counts a minus sign.
void AppendPadded(QString& out, int value, int width)
{
    const QString digits = QString::number(std::abs(static_cast<long long>(value)));
    if (value < 0) {
        out += QLatin1Char('-');
        --width;
    }
    for (qsizetype i = digits.size(); i < width; ++i)
        out += QLatin1Char('0');
    out += digits;
}

QByteArray Utf16LittleEndian(const QString& text)
{
    QByteArray bytes(2 * text.size(), Qt::Uninitialized);
    auto* const out = reinterpret_cast<unsigned char*>(bytes.data());
    const QChar* const units = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i)
        qToLittleEndian<uint16_t>(units[i].unicode(), out + 2 * i);
    return bytes;
}

bool WriteUtf16File(const QString& path, const QString& text)
{
    const QByteArray bytes = Utf16LittleEndian(text);
    QString error;
    if (!WriteFileAtomically(path, bytes, error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}

// What can be wrong with a line that is not a day line. The encodings are told apart by how
// the day line's characters come out when their bytes are read as UTF-16LE.
enum class LineProblem {
    NotADayLine,
    Blank,
    TooLong,
    ByteOrderMark,
    Utf8,
    Utf8WithMark,
    Utf16BigEndian,
};

LineProblem FindLineProblem(const QString& line, bool tooLong)
{
    if (line.isEmpty())
        return LineProblem::Blank;
    if (line[0] == QChar(0xFEFF))
        return LineProblem::ByteOrderMark;
    QByteArray bytes; // the line's bytes as they are in the file
    QString swapped;  // the line read as UTF-16BE
    for (const QChar c : QStringView(line).left(16)) {
        bytes += static_cast<char>(c.unicode() & 0xFF);
        bytes += static_cast<char>(c.unicode() >> 8);
        swapped += QChar(static_cast<char16_t>((c.unicode() << 8) | (c.unicode() >> 8)));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return LineProblem::Utf8WithMark;
    if (IsDayLine(QString::fromLatin1(bytes)))
        return LineProblem::Utf8;
    if (swapped.startsWith(QChar(0xFEFF)) || IsDayLine(swapped))
        return LineProblem::Utf16BigEndian;
    return tooLong ? LineProblem::TooLong : LineProblem::NotADayLine;
}

bool IsEncodingProblem(LineProblem problem)
{
    return problem == LineProblem::ByteOrderMark || problem == LineProblem::Utf8 ||
           problem == LineProblem::Utf8WithMark || problem == LineProblem::Utf16BigEndian;
}

// The problem as it follows "line 12" or "the file 'x'".
QString DescribeLineProblem(LineProblem problem)
{
    switch (problem) {
    case LineProblem::Blank:
        return QStringLiteral("is blank");
    case LineProblem::TooLong:
        return QStringLiteral("is longer than %1 characters").arg(kMaxImportLine);
    case LineProblem::ByteOrderMark:
        return QStringLiteral("begins with a byte-order mark, which Velumina's day files do not have");
    case LineProblem::Utf8:
        return QStringLiteral("is UTF-8 text, but Velumina's day files are UTF-16 text");
    case LineProblem::Utf8WithMark:
        return QStringLiteral("is UTF-8 text with a byte-order mark, but Velumina's day files are UTF-16 text "
                              "without one");
    case LineProblem::Utf16BigEndian:
        return QStringLiteral("is big-endian UTF-16 text, but Velumina's day files are little-endian");
    case LineProblem::NotADayLine:
        break;
    }
    return QStringLiteral("is not a day line such as \"2010-03-05;2\"");
}

// A signed decimal number from `pos` up to the first character that is not part of it, as the
// C library reads one: leading blanks skipped, 0 when there are no digits.
int64_t NumberAt(const QString& line, qsizetype pos)
{
    const qsizetype size = line.size();
    while (pos < size && (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
        ++pos;
    bool negative = false;
    if (pos < size && (line[pos] == QLatin1Char('-') || line[pos] == QLatin1Char('+'))) {
        negative = line[pos] == QLatin1Char('-');
        ++pos;
    }
    int64_t value = 0;
    for (; pos < size && line[pos] >= QLatin1Char('0') && line[pos] <= QLatin1Char('9'); ++pos) {
        if (value < kNumberCeiling)
            value = value * 10 + (line[pos].unicode() - u'0');
    }
    return negative ? -value : value;
}

// Flags are written as a signed number; a program that writes them unsigned is understood too.
uint32_t FlagsFrom(int64_t value)
{
    return static_cast<uint32_t>(std::clamp<int64_t>(value, INT32_MIN, UINT32_MAX));
}

// Cuts a note to what the data file holds, without splitting a surrogate pair.
bool ShortenNote(QString& note)
{
    if (note.size() <= kMaxNoteLength)
        return false;
    qsizetype keep = kMaxNoteLength;
    if (note[keep - 1].isHighSurrogate() && note[keep].isLowSurrogate())
        --keep;
    note.truncate(keep);
    return true;
}
} // namespace

bool IsDayLine(const QString& line)
{
    return line.size() >= 12 && line[4] == QLatin1Char('-') && line[7] == QLatin1Char('-') &&
           line[10] == QLatin1Char(';');
}

QString EscapeNote(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\t':
            out += QLatin1Char('\\');
            out += QLatin1Char('t');
            break;
        case u'\n':
            out += QLatin1Char('\\');
            out += QLatin1Char('n');
            break;
        case u'\r':
            out += QLatin1Char('\\');
            out += QLatin1Char('r');
            break;
        case u';':
            out += QLatin1Char('\\');
            out += QLatin1Char('s');
            break;
        case u'\\':
            out += QLatin1Char('\\');
            out += QLatin1Char('\\');
            break;
        default:
            out += c.unicode() < 32 ? QChar(u' ') : c;
            break;
        }
    }
    return out;
}

QString UnescapeNote(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == size) {
            out += c;
            continue;
        }
        switch (text[i + 1].unicode()) {
        case u'n':
            out += QChar(u'\n');
            break;
        case u'r':
            out += QChar(u'\r');
            break;
        case u't':
            out += QChar(u'\t');
            break;
        case u's':
            out += QChar(u';');
            break;
        case u'\\':
            out += QChar(u'\\');
            break;
        default:
            out += c; // a lone backslash; the next character is read on its own
            continue;
        }
        ++i;
    }
    return out;
}

qsizetype ReadLine(QIODevice& file, QString& buffer, qsizetype max, bool* feedFound)
{
    buffer.clear();
    if (feedFound)
        *feedFound = false;
    // Peeking keeps the device's read buffer, so a line costs no seek back.
    QByteArray bytes(2 * max, Qt::Uninitialized);
    const qint64 peeked = file.peek(bytes.data(), bytes.size());
    if (peeked < 0)
        return -1;
    const qsizetype count = static_cast<qsizetype>(peeked / 2);
    if (count == 0)
        return 0;
    const auto* const in = reinterpret_cast<const unsigned char*>(bytes.constData());
    buffer.resize(count);
    qsizetype end = count;
    bool feed = false;
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t unit = qFromLittleEndian<uint16_t>(in + 2 * i);
        if (unit == u'\n') {
            end = i;
            feed = true;
            break;
        }
        buffer[i] = QChar(unit);
    }
    const qsizetype consumed = feed ? end + 1 : count;
    while (end > 0 && (buffer[end - 1] == QLatin1Char('\r') || buffer[end - 1] == QLatin1Char('\n')))
        --end;
    buffer.truncate(end);
    if (file.skip(2 * consumed) != 2 * consumed)
        return -1;
    if (feedFound)
        *feedFound = feed;
    return consumed;
}

bool ReadImportFile(const QString& path, QByteArray& bytes, QString& error)
{
    bytes.clear();
    QFile file;
    QString reason;
    if (!OpenRegularFile(file, path, reason)) {
        error = QStringLiteral("Could not open the file '%1': %2.").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    if (file.size() > kMaxImportFileSize) {
        error = QStringLiteral("The file '%1' is larger than %2 MB; no history of days is that large. Nothing was "
                               "imported.")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(kMaxImportFileSize / (1024 * 1024));
        return false;
    }
    bytes = file.read(kMaxImportFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxImportFileSize) {
        error = QStringLiteral("Could not read the file '%1': %2. Nothing was imported.")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
        bytes.clear();
        return false;
    }
    return true;
}

bool ReadDayLines(const QString& text,
                  const QString& fileName,
                  std::vector<DayRecord>& records,
                  CycleDatabase::ImportReport& report,
                  QString& error)
{
    records.clear();
    report = CycleDatabase::ImportReport();
    // The lines are read as the day file's own UTF-16LE, whatever encoding the file had.
    QByteArray units = Utf16LittleEndian(text);
    QBuffer file(&units);
    file.open(QIODevice::ReadOnly);
    QHash<int, size_t> indexOfDate;
    QString line;
    int lineNumber = 0;
    int dayLines = 0;
    LineProblem stopProblem = LineProblem::NotADayLine;
    for (;;) {
        bool feedFound = false;
        const qsizetype consumed = ReadLine(file, line, kMaxImportLine, &feedFound);
        if (consumed < 0) {
            error = QStringLiteral("Could not read the file '%1'. Nothing was imported.").arg(fileName);
            return false;
        }
        if (consumed == 0)
            break;
        ++lineNumber;
        // A line the export never writes ends the reading, and so does a line that goes on
        // beyond what the reader takes: none of it is imported.
        const bool tooLong = !feedFound && file.bytesAvailable() >= 2;
        if (tooLong || !IsDayLine(line)) {
            stopProblem = FindLineProblem(line, tooLong);
            report.stoppedAtLine = lineNumber;
            report.stopReason = DescribeLineProblem(stopProblem);
            break;
        }
        ++dayLines;

        const int64_t year = NumberAt(line, 0);
        const int64_t month = NumberAt(line, 5);
        const int64_t day = NumberAt(line, 8);
        // A record the data file could not hold, or the program could not use, is left out.
        const bool narrow = year >= 0 && year <= 9999 && month >= 0 && month <= 99 && day >= 0 && day <= 99;
        const CalDate date{static_cast<int16_t>(narrow ? month : 0), static_cast<int16_t>(narrow ? day : 0),
                           static_cast<int16_t>(narrow ? year : 0)};
        if (!narrow || !IsStorableDay(date) ||
            !IsStoredDateValid(static_cast<uint16_t>(year), static_cast<uint8_t>(month), static_cast<uint8_t>(day))) {
            ++report.skipped;
            continue;
        }

        DayRecord record;
        record.date = date;
        record.flags = FlagsFrom(NumberAt(line, 11));
        record.chance = -1;
        if (record.flags & kHasNoteFlag) {
            const qsizetype separator = line.indexOf(QLatin1Char(';'), 11);
            QString note = separator >= 0 ? UnescapeNote(line.mid(separator + 1)) : QString();
            // The data file ends a note at a zero character; the export writes it as a space.
            note.replace(QChar(u'\0'), QChar(u' '));
            if (ShortenNote(note))
                ++report.shortened;
            SetNote(record, note);
        }

        const int key = static_cast<int>(year) * 10000 + static_cast<int>(month) * 100 + static_cast<int>(day);
        const auto found = indexOfDate.constFind(key);
        if (found != indexOfDate.constEnd()) {
            records[found.value()] = std::move(record);
            continue;
        }
        if (static_cast<int>(records.size()) >= CycleDatabase::kMaxRecords) {
            error = QStringLiteral("The file '%1' holds more than %2 different days, but Velumina holds at most %3. "
                                   "Nothing was imported.")
                        .arg(fileName, QString::number(CycleDatabase::kMaxRecords),
                             QString::number(CycleDatabase::kMaxRecords));
            records.clear();
            return false;
        }
        indexOfDate.insert(key, records.size());
        records.push_back(std::move(record));
    }

    // Importing nothing would empty the calendar and call that success.
    if (records.empty()) {
        QString why;
        if (report.stoppedAtLine == 1 && IsEncodingProblem(stopProblem))
            why = QStringLiteral("The file '%1' %2.").arg(fileName, report.stopReason);
        else if (report.stoppedAtLine == 1)
            why = QStringLiteral("Line 1 of '%1' %2.").arg(fileName, report.stopReason);
        else if (lineNumber == 0)
            why = QStringLiteral("The file '%1' is empty.").arg(fileName);
        else if (dayLines == 1)
            why = QStringLiteral("The one day line of '%1' has a date that Velumina cannot store.").arg(fileName);
        else
            why = QStringLiteral("None of the %1 day lines of '%2' has a date that Velumina can store.")
                      .arg(dayLines)
                      .arg(fileName);
        if (report.stoppedAtLine > 1)
            why += QStringLiteral(" Line %1 %2.").arg(report.stoppedAtLine).arg(report.stopReason);
        error = QStringLiteral("This file holds no days; nothing was imported.\n\n") + why;
        return false;
    }
    report.imported = static_cast<int>(records.size());
    return true;
}

bool StoreImportedDays(CycleDatabase& database, std::vector<DayRecord> records)
{
    std::vector<DayRecord> before = database.Records();
    if (!database.ReplaceRecords(std::move(records))) {
        ShowMessage(
            QStringLiteral("Nothing was imported: Velumina holds at most %1 days.").arg(CycleDatabase::kMaxRecords));
        return false;
    }
    if (!database.Save()) {
        database.ReplaceRecords(std::move(before));
        return false;
    }
    return true;
}

bool CycleDatabase::ExportDays(const QString& path)
{
    QString text;
    text.reserve(static_cast<qsizetype>(m_records.size()) * 16);
    for (const DayRecord& record : m_records) {
        // As in the data file, the note goes out exactly when there is one.
        const bool hasNote = !record.note.isEmpty();
        const uint32_t flags = StoredFlags(record);
        AppendPadded(text, record.date.year, 4);
        text += QLatin1Char('-');
        AppendPadded(text, record.date.month, 2);
        text += QLatin1Char('-');
        AppendPadded(text, record.date.day, 2);
        text += QLatin1Char(';');
        text += QString::number(static_cast<int32_t>(flags));
        if (hasNote) {
            text += QLatin1Char(';');
            text += EscapeNote(record.note);
        }
        text += QLatin1String("\r\n");
    }
    return WriteUtf16File(path, text);
}

bool CycleDatabase::ExportCycles(const QString& path)
{
    QString text = QStringLiteral("First Day;Bleeding Days;Cycle Length\r\n");
    std::vector<CycleRecord> rows;
    BuildCycleList(rows);
    for (const CycleRecord& row : rows) {
        text += FormatShortDate(row.firstDay);
        text += QLatin1Char(';');
        text += QString::number(row.bleedingDays);
        text += QLatin1Char(';');
        text += QString::number(row.cycleLength);
        text += QLatin1String("\r\n");
    }
    return WriteUtf16File(path, text);
}
