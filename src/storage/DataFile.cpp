#include "storage/DataFile.h"

#include "model/CycleDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/DocumentsFolder.h"
#include "platform/MessageBox.h"
#include "platform/RegularFile.h"
#include "platform/SharedGenerator.h"
#include "storage/SealedFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {
constexpr char kMagic[4] = {'Z', 'o', 'r', 'b'};
constexpr uint16_t kVersion = 1;
constexpr qint64 kHeaderSize = 8;
constexpr qint64 kBlockSize = 8;
constexpr qint64 kLengthSize = 4;
constexpr qint64 kMaxNoteBytes = 2 * kMaxNoteLength;
// The largest file that can matter: the header and the most records, each with the longest
// note. Whatever follows is never read.
constexpr qint64 kLargestUsefulFile =
    kHeaderSize + qint64{CycleDatabase::kMaxRecords} * (kBlockSize + kLengthSize + kMaxNoteBytes);
// More copies of unreadable files than this mean something else is wrong; stop making them.
constexpr int kMaxUnreadableCopies = 100;
// Files are compared in pieces of this size, never read whole.
constexpr qint64 kComparePiece = qint64{1} << 20;
// Dates of days left out that a message names; the rest are counted.
constexpr int kNamedDroppedDays = 8;
// The year field is unsigned 16-bit but CalDate holds a signed one.
constexpr uint16_t kLargestYear = 32767;

qint64 RoundUpToWord(qint64 bytes)
{
    return (bytes + 3) & ~qint64{3};
}

/// How far the reading of a data file got.
enum class ReadResult {
    Complete,  ///< every record read (a partial block at the end is no record)
    Overlong,  ///< the most records read, and more follows
    Corrupted, ///< a wrong header, date or note length: wrong scrambling or a damaged file
    FileError, ///< the file ends inside a header or note, or could not be read
};

struct ReadOutcome
{
    ReadResult result = ReadResult::Complete;
    QString reason; ///< what went wrong, in words that complete "the file ..."
};

// Why a record with these dates is not loaded: empty when it is.
QString UnstorableDateReason(const CalDate& date)
{
    if (IsStorableDay(date))
        return QString();
    if (!AreDateFieldsInRange(date.year, date.month, date.day, kFirstStoredYear, kLastStoredYear))
        return QStringLiteral("the day %1 is outside the years %2 to %3")
            .arg(IsoDayText(date))
            .arg(kFirstStoredYear)
            .arg(kLastStoredYear);
    return QStringLiteral("the day %1 does not exist in the calendar").arg(IsoDayText(date));
}

QString RecordText(size_t index)
{
    return QStringLiteral("record %1").arg(index + 1);
}

// Parses the bytes of a data file into records. A record of a day no calendar has (30
// February), or of a year the day files cannot carry, is read past and its date added to
// `dropped`. The shared generator must be freshly seeded.
ReadOutcome ParseDataFile(const QByteArray& data, std::vector<DayRecord>& records, std::vector<CalDate>& dropped)
{
    const char* const bytes = data.constData();
    const qint64 size = data.size();
    if (size == 0)
        return {};
    if (size < kHeaderSize)
        return {ReadResult::FileError, QStringLiteral("it is cut short inside its header")};

    unsigned char header[kHeaderSize];
    std::memcpy(header, bytes, kHeaderSize);
    Scramble(header, kHeaderSize);
    if (std::memcmp(header, kMagic, 4) != 0 || qFromLittleEndian<uint16_t>(header + 4) != kVersion ||
        qFromLittleEndian<uint16_t>(header + 6) != 0)
        return {ReadResult::Corrupted, QStringLiteral("its header is not that of a Velumina data file")};

    qint64 pos = kHeaderSize;
    records.reserve(static_cast<size_t>(std::min<qint64>(CycleDatabase::kMaxRecords, (size - pos) / kBlockSize)));
    std::vector<unsigned char> noteBytes;
    while (static_cast<int>(records.size()) < CycleDatabase::kMaxRecords) {
        if (size - pos < kBlockSize)
            return {}; // the end, perhaps inside a block that was never completed
        unsigned char block[kBlockSize];
        std::memcpy(block, bytes + pos, kBlockSize);
        pos += kBlockSize;
        Scramble(block, kBlockSize);
        const uint16_t year = qFromLittleEndian<uint16_t>(block);
        const uint8_t month = block[2];
        const uint8_t day = block[3];
        if (year > kLargestYear || !IsStoredDateValid(year, month, day))
            return {ReadResult::Corrupted, QStringLiteral("%1 holds no valid date").arg(RecordText(records.size()))};

        DayRecord record;
        record.date = CalDate{static_cast<int16_t>(month), static_cast<int16_t>(day), static_cast<int16_t>(year)};
        record.flags = qFromLittleEndian<uint32_t>(block + 4);
        record.chance = -1;
        if (record.flags & kHasNoteFlag) {
            if (size - pos < kLengthSize)
                return {ReadResult::FileError,
                        QStringLiteral("it is cut short inside the note of %1").arg(RecordText(records.size()))};
            unsigned char lengthWord[kLengthSize];
            std::memcpy(lengthWord, bytes + pos, kLengthSize);
            pos += kLengthSize;
            Scramble(lengthWord, kLengthSize);
            const uint32_t length = qFromLittleEndian<uint32_t>(lengthWord);
            const uint32_t characters = length / 2;
            if (characters == 0 || characters > static_cast<uint32_t>(kMaxNoteLength))
                return {ReadResult::Corrupted,
                        QStringLiteral("the note of %1 has an impossible length").arg(RecordText(records.size()))};
            const qint64 padded = RoundUpToWord(length);
            if (size - pos < padded)
                return {ReadResult::FileError,
                        QStringLiteral("it is cut short inside the note of %1").arg(RecordText(records.size()))};
            noteBytes.assign(bytes + pos, bytes + pos + padded);
            pos += padded;
            Scramble(noteBytes.data(), noteBytes.size());
            QString text(static_cast<qsizetype>(characters), Qt::Uninitialized);
            qsizetype used = 0;
            for (; used < text.size(); ++used) {
                const uint16_t unit = qFromLittleEndian<uint16_t>(noteBytes.data() + 2 * used);
                if (unit == 0)
                    break;
                text[used] = QChar(unit);
            }
            text.truncate(used);
            SetNote(record, text);
        }
        if (!IsStorableDay(record.date)) {
            dropped.push_back(record.date);
            continue;
        }
        records.push_back(std::move(record));
    }
    if (pos < size)
        return {ReadResult::Overlong, QString()};
    return {};
}

// True when the two regular files hold the same bytes: the sizes first, then the contents
// piece by piece, stopping at the first difference.
bool SameContents(const QString& a, const QString& b)
{
    QFile first;
    QFile second;
    QString reason;
    if (!OpenRegularFile(first, a, reason) || !OpenRegularFile(second, b, reason) || first.size() != second.size())
        return false;
    QByteArray pieceA(kComparePiece, Qt::Uninitialized);
    QByteArray pieceB(kComparePiece, Qt::Uninitialized);
    for (;;) {
        const qint64 readA = first.read(pieceA.data(), kComparePiece);
        const qint64 readB = second.read(pieceB.data(), kComparePiece);
        if (readA < 0 || readA != readB)
            return false;
        if (readA == 0)
            return true;
        if (std::memcmp(pieceA.constData(), pieceB.constData(), static_cast<size_t>(readA)) != 0)
            return false;
    }
}

// Copies an unreadable data file beside itself before anything can replace it, once: when a
// copy with the same bytes is there already (the same damaged file met at an earlier start),
// that copy is the one kept. Returns the copy's path, or an empty text with `error` set.
QString CopyAside(const QString& path, QString& error)
{
    QString freeName;
    for (int i = 0; i < kMaxUnreadableCopies; ++i) {
        QString candidate = path + QStringLiteral(".unreadable");
        if (i > 0)
            candidate += QLatin1Char('.') + QString::number(i);
        const QFileInfo info(candidate);
        // A link is no copy, even one to an equal file, and nothing is written through it.
        if (info.isSymLink())
            continue;
        if (!info.exists()) {
            if (freeName.isEmpty())
                freeName = candidate;
            continue;
        }
        if (info.isFile() && SameContents(path, candidate))
            return candidate;
    }
    if (freeName.isEmpty()) {
        error = QStringLiteral("there are already %1 such copies beside it").arg(kMaxUnreadableCopies);
        return QString();
    }
    QFile source(path);
    if (!source.copy(freeName)) {
        error = source.errorString();
        return QString();
    }
    // QFile::copy gives the copy the original's permissions; health data stays private.
    QFile::setPermissions(freeName, kOwnerOnlyFile);
    return freeName;
}

QString LoadedText(size_t count)
{
    if (count == 0)
        return QStringLiteral("No days could be loaded from it.");
    if (count == 1)
        return QStringLiteral("The 1 day stored before that point was loaded.");
    return QStringLiteral("The %1 days stored before that point were loaded.").arg(count);
}

// The days a load left out, named: "2 days in the file do not exist in the calendar and
// were left out: 2025-02-29 and 2025-02-30. ..."
QString DroppedText(const std::vector<CalDate>& dropped)
{
    if (dropped.empty())
        return QString();
    QStringList names;
    bool outsideYears = false;
    for (const CalDate& date : dropped) {
        if (names.size() < kNamedDroppedDays)
            names.append(IsoDayText(date));
        outsideYears = outsideYears || date.year < kFirstStoredYear || date.year > kLastStoredYear;
    }
    const qsizetype count = static_cast<qsizetype>(dropped.size());
    QString list = names.join(QStringLiteral(", "));
    if (count > names.size())
        list += QStringLiteral(" and %1 more").arg(count - names.size());
    else if (count > 1)
        list = names.mid(0, count - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + names.last();
    const bool one = count == 1;
    QString what =
        one ? QStringLiteral("does not exist in the calendar") : QStringLiteral("do not exist in the calendar");
    if (outsideYears)
        what += QStringLiteral(" or %1 outside the years %2 to %3")
                    .arg(one ? QStringLiteral("lies") : QStringLiteral("lie"))
                    .arg(kFirstStoredYear)
                    .arg(kLastStoredYear);
    return QStringLiteral("%1 in the file %2 and %3 left out: %4. Velumina never saves such a day.")
        .arg(one ? QStringLiteral("1 day") : QStringLiteral("%1 days").arg(count), what,
             one ? QStringLiteral("was") : QStringLiteral("were"), list);
}

QString SecuredText(const QString& copy, const QString& copyError)
{
    if (!copy.isEmpty())
        return QStringLiteral("A copy of the whole file was kept as '%1'.").arg(QDir::toNativeSeparators(copy));
    return QStringLiteral("No copy of it could be kept (%1), so Velumina will not save any change over it.")
        .arg(copyError);
}

// Why the data file cannot hold the record; empty when it can.
QString UnstorableReason(const DayRecord& record)
{
    const CalDate& date = record.date;
    const QString dateReason = UnstorableDateReason(date);
    if (!dateReason.isEmpty())
        return dateReason;
    if (record.note.size() > kMaxNoteLength)
        return QStringLiteral("the note of %1 is longer than %2 characters").arg(IsoDayText(date)).arg(kMaxNoteLength);
    return QString();
}

void AppendScrambled(QByteArray& data, unsigned char* block, qint64 size)
{
    Scramble(block, static_cast<std::size_t>(size));
    data.append(reinterpret_cast<const char*>(block), size);
}
} // namespace

QString GetDocumentsFolder()
{
    return PlatformDocumentsFolder();
}

QString GetDataFilePath()
{
    return QDir(GetDocumentsFolder()).filePath(QStringLiteral("Velumina.dat"));
}

QString GetLegacyDataFilePath()
{
    return QDir(GetDocumentsFolder()).filePath(QStringLiteral("zorb.dat"));
}

bool IsExistingFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

void Scramble(void* block, std::size_t size)
{
    auto* const bytes = static_cast<unsigned char*>(block);
    std::mt19937& generator = SharedGenerator();
    for (std::size_t i = size / 4; i-- > 0;) {
        unsigned char* const word = bytes + 4 * i;
        const uint32_t mask = static_cast<uint32_t>(generator());
        qToLittleEndian<uint32_t>(qFromLittleEndian<uint32_t>(word) ^ mask, word);
    }
}

bool CycleDatabase::Save()
{
    SharedGenerator().seed(m_seed);
    const QString path = GetDataFilePath();
    if (!m_unsecuredDataFile.isEmpty() && m_unsecuredDataFile == path) {
        ShowMessage(QStringLiteral("The days were not saved: the data file '%1' could not be read when it was loaded, "
                                   "and no copy of it could be kept. Saving would replace the days stored in it.\n\n"
                                   "Make the file readable or move it away, then start Velumina again.")
                        .arg(QDir::toNativeSeparators(path)),
                    MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    // Write nothing that the next load would stop at: that would lose every later day.
    QString refusal;
    if (static_cast<int>(m_records.size()) > kMaxRecords)
        refusal = QStringLiteral("the data file holds at most %1 days").arg(kMaxRecords);
    for (size_t i = 0; refusal.isEmpty() && i < m_records.size(); ++i)
        refusal = UnstorableReason(m_records[i]);
    if (!refusal.isEmpty()) {
        ShowMessage(QStringLiteral("The days were not saved to '%1': %2.").arg(QDir::toNativeSeparators(path), refusal),
                    MessageButtons::Ok, MessageIcon::Error);
        return false;
    }

    qint64 total = kHeaderSize + kBlockSize * static_cast<qint64>(m_records.size());
    for (const DayRecord& record : m_records) {
        if (!record.note.isEmpty())
            total += kLengthSize + RoundUpToWord(2 * record.note.size());
    }
    QByteArray data;
    data.reserve(total);

    unsigned char header[kHeaderSize];
    std::memcpy(header, kMagic, 4);
    qToLittleEndian<uint16_t>(kVersion, header + 4);
    qToLittleEndian<uint16_t>(0, header + 6);
    AppendScrambled(data, header, kHeaderSize);

    for (const DayRecord& record : m_records) {
        // The note is written exactly when there is one, and the has-note bit says so.
        const bool hasNote = !record.note.isEmpty();
        const uint32_t flags = StoredFlags(record);
        unsigned char block[kBlockSize];
        qToLittleEndian<uint16_t>(static_cast<uint16_t>(record.date.year), block);
        block[2] = static_cast<unsigned char>(record.date.month);
        block[3] = static_cast<unsigned char>(record.date.day);
        qToLittleEndian<uint32_t>(flags, block + 4);
        AppendScrambled(data, block, kBlockSize);
        if (!hasNote)
            continue;

        const qint64 length = 2 * record.note.size();
        unsigned char lengthWord[kLengthSize];
        qToLittleEndian<uint32_t>(static_cast<uint32_t>(length), lengthWord);
        AppendScrambled(data, lengthWord, kLengthSize);
        const qint64 start = data.size();
        data.resize(start + RoundUpToWord(length));
        auto* const text = reinterpret_cast<unsigned char*>(data.data() + start);
        const QChar* const units = record.note.constData();
        for (qsizetype i = 0; i < record.note.size(); ++i)
            qToLittleEndian<uint16_t>(units[i].unicode(), text + 2 * i);
        std::memset(text + length, 0, static_cast<size_t>(RoundUpToWord(length) - length));
        Scramble(text, static_cast<std::size_t>(RoundUpToWord(length)));
    }

    // With protection on, the scrambled bytes are sealed with her password's key.
    if (const SealKey* key = SessionSealKey())
        data = SealedFile::Seal(data, *key);

    QString error;
    if (!WriteFileAtomically(path, data, error)) {
        ShowMessage(error + QStringLiteral("\n\nThe days were not saved; the data file keeps what it held before."),
                    MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    return true;
}

bool CycleDatabase::Load()
{
    m_records.clear();
    Recalculate();
    SharedGenerator().seed(m_seed);
    m_unsecuredDataFile.clear();

    // Sorted by date, the last of equal dates kept, derived once. A file this program wrote is in
    // order already, and then the sort is skipped.
    auto install = [this](std::vector<DayRecord> read) {
        const auto disorder = std::adjacent_find(
            read.begin(), read.end(), [](const DayRecord& a, const DayRecord& b) { return !IsBefore(a.date, b.date); });
        if (disorder != read.end()) {
            ReplaceRecords(std::move(read));
            return;
        }
        m_records = std::move(read);
        Recalculate();
    };

    const QString dataPath = GetDataFilePath();
    QString path = dataPath;
    if (!IsExistingFile(path) && IsExistingFile(GetLegacyDataFilePath()))
        path = GetLegacyDataFilePath();

    if (!QFileInfo::exists(path)) {
        // A first start: leave an empty data file, private to the user, behind.
        QString error;
        const bool created = WriteFileAtomically(path, QByteArray(), error);
        ReplaceRecords({});
        if (!created)
            ShowMessage(error, MessageButtons::Ok, MessageIcon::Error);
        return created;
    }

    QFile file;
    QString openError;
    if (!OpenRegularFile(file, path, openError)) {
        // What cannot be read cannot be copied either; keep every save away from it.
        if (path == dataPath)
            m_unsecuredDataFile = path;
        ReplaceRecords({});
        ShowMessage(QStringLiteral("The data file '%1' could not be opened: %2.\n\n"
                                   "Velumina will not save any change over it, so that the days stored in it are kept.")
                        .arg(QDir::toNativeSeparators(path), openError),
                    MessageButtons::Ok, MessageIcon::Error);
        return false;
    }

    // A sealed file adds its header and the cipher's tag to the scrambled bytes.
    constexpr qint64 kSealingSpace = SealedFile::kHeaderSize + 64;
    const qint64 wanted = std::min(file.size(), kLargestUsefulFile + kSealingSpace + 1);
    QByteArray data(wanted, Qt::Uninitialized);
    qint64 got = 0;
    QString readError;
    while (got < wanted) {
        const qint64 count = file.read(data.data() + got, wanted - got);
        if (count < 0) {
            readError = file.errorString();
            break;
        }
        if (count == 0)
            break;
        got += count;
    }
    data.truncate(got);
    file.close();

    std::vector<DayRecord> records;
    std::vector<CalDate> dropped;
    ReadOutcome outcome;
    if (readError.isEmpty() && SealedFile::IsSealed(data)) {
        QString reason = QStringLiteral("is sealed with a password, and none was given");
        const SealKey* key = SessionSealKey();
        QByteArray plain;
        if (!key || SealedFile::Open(data, *key, plain, reason) != SealedFile::Opened::Ok) {
            // Not the file her password sealed: keep it as it is, beside and in its place.
            QString copyError;
            const QString copy = CopyAside(path, copyError);
            if (path == dataPath)
                m_unsecuredDataFile = path;
            ReplaceRecords({});
            const QString cause = key ? QStringLiteral(" It is not the file Velumina sealed with your password: it "
                                                       "was changed or damaged since it was saved.")
                                      : QString();
            ShowMessage(QStringLiteral("The data file '%1' %2.%3 No days were loaded from it, and Velumina will not "
                                       "save any change over it.\n\n%4")
                            .arg(QDir::toNativeSeparators(path), reason, cause, SecuredText(copy, copyError)),
                        MessageButtons::Ok, MessageIcon::Error);
            return false;
        }
        data = std::move(plain);
    }
    outcome = ParseDataFile(data, records, dropped);
    if (!readError.isEmpty())
        outcome = {ReadResult::FileError, readError};
    if (outcome.result == ReadResult::Complete && dropped.empty()) {
        install(std::move(records));
        return true;
    }

    // Keep the file whole before anything can replace it.
    QString copyError;
    const QString copy = CopyAside(path, copyError);
    if (copy.isEmpty() && path == dataPath)
        m_unsecuredDataFile = path;
    const size_t loaded = records.size();
    install(std::move(records));

    // The days left out are named after what else went wrong.
    QString droppedText = DroppedText(dropped);
    if (!droppedText.isEmpty())
        droppedText = QStringLiteral("\n\n") + droppedText;
    const QString native = QDir::toNativeSeparators(path);
    switch (outcome.result) {
    case ReadResult::Complete:
        ShowMessage(QStringLiteral("The data file '%1' was loaded without some of its days.%2\n\n%3")
                        .arg(native, droppedText, SecuredText(copy, copyError)),
                    MessageButtons::Ok, MessageIcon::Warning);
        return true;
    case ReadResult::Overlong:
        ShowMessage(QStringLiteral("The data file '%1' holds more than %2 days; the first %3 were loaded.%4\n\n%5")
                        .arg(native, QString::number(kMaxRecords), QString::number(kMaxRecords), droppedText,
                             SecuredText(copy, copyError)),
                    MessageButtons::Ok, MessageIcon::Warning);
        return true;
    case ReadResult::Corrupted:
        // The file does not depend on the password, so the password is never the cause.
        ShowMessage(QStringLiteral("The data file '%1' is damaged: %2. %3%4\n\n%5")
                        .arg(native, outcome.reason, LoadedText(loaded), droppedText, SecuredText(copy, copyError)),
                    MessageButtons::Ok, MessageIcon::Error);
        return false;
    case ReadResult::FileError:
        break;
    }
    ShowMessage(QStringLiteral("The data file '%1' could not be read: %2. %3%4\n\n%5")
                    .arg(native, outcome.reason, LoadedText(loaded), droppedText, SecuredText(copy, copyError)),
                MessageButtons::Ok, MessageIcon::Error);
    return false;
}
