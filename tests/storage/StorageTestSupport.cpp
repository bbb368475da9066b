#include "StorageTestSupport.h"

#include "model/CivilDays.h"
#include "platform/MessageBox.h"
#include "storage/CsvExchange.h"
#include "storage/DayImporter.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <set>

HandBuiltFile::HandBuiltFile(const char* magic, uint16_t version, uint16_t reserved)
{
    const auto* m = reinterpret_cast<const unsigned char*>(magic);
    const uint32_t word0 = m[0] | (m[1] << 8) | (m[2] << 16) | (uint32_t{m[3]} << 24);
    m_blocks.push_back({word0, uint32_t{version} | (uint32_t{reserved} << 16)});
}

void HandBuiltFile::Record(int year, int month, int day, uint32_t flags)
{
    const uint32_t word0 = (static_cast<uint32_t>(year) & 0xFFFF) | ((static_cast<uint32_t>(month) & 0xFF) << 16) |
                           ((static_cast<uint32_t>(day) & 0xFF) << 24);
    m_blocks.push_back({word0, flags});
}

void HandBuiltFile::NoteLength(uint32_t bytes)
{
    m_blocks.push_back({bytes});
}

void HandBuiltFile::NoteText(const QString& text)
{
    std::vector<uint32_t> words;
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const uint32_t low = text[i].unicode();
        const uint32_t high = i + 1 < text.size() ? text[i + 1].unicode() : 0;
        words.push_back(low | (high << 16));
    }
    m_blocks.push_back(words);
}

void HandBuiltFile::Note(const QString& text)
{
    NoteLength(static_cast<uint32_t>(2 * text.size()));
    NoteText(text);
}

QByteArray HandBuiltFile::Bytes() const
{
    std::mt19937 generator(518294637u);
    QByteArray bytes;
    for (std::vector<uint32_t> block : m_blocks) {
        for (size_t i = block.size(); i-- > 0;)
            block[i] ^= static_cast<uint32_t>(generator());
        for (const uint32_t word : block) {
            for (int shift = 0; shift < 32; shift += 8)
                bytes.append(static_cast<char>((word >> shift) & 0xFF));
        }
    }
    return bytes;
}

QString StorageTest::DataPath() const
{
    return QDir(DocumentsPath()).filePath(QStringLiteral("Velumina.dat"));
}

bool StorageTest::Import(const QString& path, CycleDatabase::ImportReport* report)
{
    ImportedDays days;
    QString error;
    const bool read = DayImporter::ReadFile(path, days, error);
    if (report)
        *report = days.report;
    if (!read) {
        ShowMessage(error);
        return false;
    }
    return StoreImportedDays(Database(), std::move(days.records));
}

DayRecord MakeRecord(int year, int month, int day, uint32_t flags, const QString& note)
{
    DayRecord record;
    record.date = Date(year, month, day);
    record.flags = flags;
    SetNote(record, note);
    return record;
}

void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(WriteWholeFile(path, bytes)) << path.toStdString();
}

QByteArray Utf16Bytes(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

namespace {
// A note of random code units from `alphabet` (or from the whole range 1..0xFFFF when empty).
QString RandomNote(std::mt19937& random, int length, const QString& alphabet)
{
    QString note;
    for (int i = 0; i < length; ++i) {
        if (alphabet.isEmpty())
            note += QChar(static_cast<char16_t>(std::uniform_int_distribution<int>(1, 0xFFFF)(random)));
        else
            note += alphabet[std::uniform_int_distribution<qsizetype>(0, alphabet.size() - 1)(random)];
    }
    return note;
}
} // namespace

std::vector<DayRecord>
RandomRecords(std::mt19937& random, int count, int firstYear, int lastYear, const QString& noteAlphabet)
{
    std::set<std::tuple<int, int, int>> dates;
    while (static_cast<int>(dates.size()) < count) {
        const int year = std::uniform_int_distribution<int>(firstYear, lastYear)(random);
        const int month = std::uniform_int_distribution<int>(1, 12)(random);
        dates.insert({year, month, std::uniform_int_distribution<int>(1, DaysInMonth(year, month))(random)});
    }
    std::vector<DayRecord> records;
    for (const auto& [year, month, day] : dates) {
        DayRecord record;
        record.date = Date(year, month, day);
        record.flags = static_cast<uint32_t>(random());
        if (random() % 3 == 0) {
            const int length = random() % 4 == 0 ? kMaxNoteLength : std::uniform_int_distribution<int>(1, 40)(random);
            SetNote(record, RandomNote(random, length, noteAlphabet));
        } else {
            SetNote(record, QString());
        }
        records.push_back(record);
    }
    return records;
}

bool SameRecords(const std::vector<DayRecord>& a, const std::vector<DayRecord>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const DayRecord& x, const DayRecord& y) {
        return IsSameDate(x.date, y.date) && x.flags == y.flags && x.note == y.note;
    });
}
