#include "StorageTestSupport.h"

#include "platform/AtomicFile.h"
#include "platform/DocumentsFolder.h"
#include "platform/SharedGenerator.h"
#include "storage/DataFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
class DataFileTest : public StorageTest
{
protected:
    QString Native(const QString& path) const
    {
        return QDir::toNativeSeparators(path);
    }

    // Two good records of May 2010, the first with a note: the records a damaged file keeps.
    static HandBuiltFile TwoGoodRecords()
    {
        HandBuiltFile file;
        file.Record(2010, 5, 1, Heavy | kHasNoteFlag);
        file.Note(QStringLiteral("abc"));
        file.Record(2010, 5, 2, Medium);
        return file;
    }
};
} // namespace

TEST_F(DataFileTest, SaveWritesTheLayoutByteForByteAndLoadReadsItBack)
{
    const QString odd = QStringLiteral("a;\n"); // 3 characters: one zero character of padding
    const QString even = QStringLiteral("Note");
    const QString longest = QString(kMaxNoteLength, QChar(u'\u00e9'));
    const QString astral = QString::fromUtf16(u"\U0001F600 \U00010348"); // two surrogate pairs and a space
    const std::vector<DayRecord> records = {
        MakeRecord(2008, 1, 1, None),
        MakeRecord(2008, 2, 29, Slight | kOvulationFlag, odd), // a leap day
        MakeRecord(2010, 3, 5, Heavy | kNoRecordFlag | 0x40000000u, even),
        MakeRecord(2011, 12, 31, Medium, longest),
        MakeRecord(2023, 6, 15, 0xFFFFFEFFu | kHasNoteFlag, astral),
    };
    ASSERT_TRUE(Database().ReplaceRecords(records));
    ASSERT_TRUE(Database().Save());

    HandBuiltFile expected;
    expected.Record(2008, 1, 1, 0);
    expected.Record(2008, 2, 29, 0x111);
    expected.NoteLength(6); // the length counts characters, not the padding
    expected.NoteText(odd);
    expected.Record(2010, 3, 5, 0xC0000103u);
    expected.Note(even);
    expected.Record(2011, 12, 31, 0x102);
    expected.Note(longest);
    expected.Record(2023, 6, 15, 0xFFFFFFFFu);
    expected.NoteLength(10);
    expected.NoteText(astral);
    const QByteArray bytes = FileBytes(DataPath());
    EXPECT_EQ(bytes.toHex(), expected.Bytes().toHex());
    EXPECT_EQ(bytes.size(), 8 + 8 + (8 + 4 + 8) + (8 + 4 + 8) + (8 + 4 + 1536) + (8 + 4 + 12));
    EXPECT_EQ(FileMode(DataPath()), 0600);

    // Another user of the shared generator between save and load changes nothing.
    SharedGenerator().seed(7);
    SharedGenerator()();
    ResetCycleDatabaseForTesting();
    ASSERT_TRUE(Database().Load());
    EXPECT_TRUE(SameRecords(Database().Records(), records));
    for (const DayRecord& record : Database().Records())
        EXPECT_EQ(record.chance, -1);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(DataFileTest, LoadOfEmptyMissingAndLegacyFiles)
{
    // Neither file: an empty data file, private to the user, is left behind in a new folder.
    const QString folder = QDir(DocumentsPath()).filePath(QStringLiteral("new"));
    SetDocumentsFolderForTesting(folder);
    ASSERT_TRUE(Database().Load());
    EXPECT_TRUE(Database().Records().empty());
    const QFileInfo created(GetDataFilePath());
    EXPECT_TRUE(created.isFile());
    EXPECT_EQ(created.size(), 0);
    EXPECT_EQ(FileMode(GetDataFilePath()), 0600);
    EXPECT_EQ(FileMode(folder), 0700);
    SetDocumentsFolderForTesting(DocumentsPath());

    // Only the earlier file: it is read, and a save writes the new one beside it.
    HandBuiltFile legacy;
    legacy.Record(2009, 4, 1, Heavy);
    const QString legacyPath = GetLegacyDataFilePath();
    WriteFileBytes(legacyPath, legacy.Bytes());
    ASSERT_TRUE(Database().Load());
    ASSERT_EQ(Database().Records().size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(DataPath()));
    ASSERT_TRUE(Database().SetDay(MakeRecord(2009, 4, 2, Medium)));
    EXPECT_EQ(FileBytes(legacyPath), legacy.Bytes());
    ASSERT_TRUE(Database().Load()); // now from Velumina.dat
    EXPECT_EQ(Database().Records().size(), 2u);
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(DataFileTest, LoadSortsForeignFilesAndStopsAfterTheMostRecords)
{
    // A file from another program, out of order and with a date twice: sorted, the last kept.
    HandBuiltFile foreign;
    foreign.Record(2012, 1, 3, Heavy);
    foreign.Record(2012, 1, 1, Slight);
    foreign.Record(2012, 1, 3, Medium);
    WriteFileBytes(DataPath(), foreign.Bytes());
    ASSERT_TRUE(Database().Load());
    EXPECT_TRUE(SameRecords(Database().Records(), {MakeRecord(2012, 1, 1, Slight), MakeRecord(2012, 1, 3, Medium)}));

    // 10001 records: the first 10000 load, and the whole file is kept aside before a save can
    // drop the last one.
    HandBuiltFile many;
    CalDate day = Date(1990, 1, 1);
    for (int i = 0; i < CycleDatabase::kMaxRecords + 1; ++i) {
        many.Record(day.year, day.month, day.day, i % 28 < 4 ? Heavy : None);
        NextDay(day);
    }
    const QByteArray bytes = many.Bytes();
    WriteFileBytes(DataPath(), bytes);
    EXPECT_TRUE(Database().Load());
    ASSERT_EQ(Database().Records().size(), static_cast<size_t>(CycleDatabase::kMaxRecords));
    EXPECT_TRUE(IsSameDate(Database().Records().back().date, OffsetDate(Date(1990, 1, 1), 9999)));
    const QString copy = DataPath() + QStringLiteral(".unreadable");
    EXPECT_EQ(FileBytes(copy), bytes);
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_TRUE(m_messages.Texts()[0].contains(QStringLiteral("more than 10000 days")));
    EXPECT_TRUE(m_messages.Texts()[0].contains(Native(copy)));
}

TEST_F(DataFileTest, DamagedFilesKeepTheRecordsBeforeTheFaultAndACopyOfTheWhole)
{
    enum Expect { Corrupted, CutShort, Dropped, Fine };
    struct Case
    {
        const char* name;
        QByteArray bytes;
        Expect expect;
        size_t records;
        QString named; ///< what the message names besides the files
    };
    std::vector<Case> cases;
    for (const auto& [magic, version, reserved] : {std::tuple{"Zorc", 1, 0}, {"Zorb", 2, 0}, {"Zorb", 1, 1}}) {
        HandBuiltFile file(magic, static_cast<uint16_t>(version), static_cast<uint16_t>(reserved));
        file.Record(2010, 5, 1, Heavy);
        cases.push_back({"header", file.Bytes(), Corrupted, 0, {}});
        for (int size = 1; size < 8 && version == 1 && reserved == 0; ++size)
            cases.push_back({"header cut short", file.Bytes().left(size), CutShort, 0, {}});
    }
    const int badDates[][3] = {{2010, 0, 5}, {2010, 13, 5}, {2010, 5, 0}, {2010, 5, 32},
                               {1899, 5, 5}, {32768, 5, 5}, {65535, 5, 5}};
    for (const auto& date : badDates) {
        HandBuiltFile file = TwoGoodRecords();
        file.Record(date[0], date[1], date[2], Heavy);
        file.Record(2010, 6, 1, Heavy);
        cases.push_back({"date", file.Bytes(), Corrupted, 2, {}});
    }
    // Days no calendar has, and years a day file cannot carry back, are left out one by one,
    // with their notes; the day after them loads.
    const int droppedDates[][3] = {{2025, 2, 29}, {2023, 2, 29}, {2025, 2, 30}, {2025, 2, 31},
                                   {2025, 4, 31}, {1900, 2, 29}, {10000, 1, 1}, {32767, 12, 31}};
    for (const auto& date : droppedDates) {
        HandBuiltFile file = TwoGoodRecords();
        file.Record(date[0], date[1], date[2], Heavy | kHasNoteFlag);
        file.Note(QStringLiteral("gone"));
        file.Record(2010, 6, 1, Heavy);
        cases.push_back({"impossible date", file.Bytes(), Dropped, 3, IsoDayText(Date(date[0], date[1], date[2]))});
    }
    // An odd length word (a foreign writer's) is read as its whole characters.
    for (const uint32_t length : {0u, 1u, 1538u, 0x80000000u, 1537u}) {
        HandBuiltFile file = TwoGoodRecords();
        file.Record(2010, 5, 3, kHasNoteFlag);
        file.NoteLength(length);
        file.NoteText(QString(length == 1537u ? kMaxNoteLength + 1 : 2, QChar(u'q')));
        cases.push_back(
            {"note length", file.Bytes(), length == 1537u ? Fine : Corrupted, length == 1537u ? 3u : 2u, {}});
    }
    HandBuiltFile withNote = TwoGoodRecords();
    withNote.Record(2010, 5, 3, kHasNoteFlag);
    withNote.Note(QStringLiteral("hello"));
    const QByteArray noted = withNote.Bytes();
    for (int cut = 1; cut < 4 + 12; ++cut)
        cases.push_back({"note cut short", noted.left(noted.size() - 17 + cut), CutShort, 2, {}});
    HandBuiltFile three = TwoGoodRecords();
    three.Record(2010, 5, 3, Heavy);
    for (int extra = 1; extra < 8; ++extra)
        cases.push_back({"block cut short", three.Bytes().left(three.Bytes().size() - 8 + extra), Fine, 2, {}});

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " size " + std::to_string(c.bytes.size()));
        QFile::remove(DataPath() + QStringLiteral(".unreadable"));
        WriteFileBytes(DataPath(), c.bytes);
        m_messages.Clear();
        ResetCycleDatabaseForTesting();
        const bool loaded = Database().Load();
        EXPECT_EQ(loaded, c.expect == Fine || c.expect == Dropped);
        ASSERT_EQ(Database().Records().size(), c.records);
        if (c.records >= 2) {
            EXPECT_EQ(Database().Records()[0].note, QStringLiteral("abc"));
            // The derived data already reflect the records that were kept.
            EXPECT_TRUE(Database().IsBleedingDay(Date(2010, 5, 2)));
        }
        const QString copy = DataPath() + QStringLiteral(".unreadable");
        if (c.expect == Fine) {
            EXPECT_TRUE(m_messages.Messages().empty());
            EXPECT_FALSE(QFileInfo::exists(copy));
            continue;
        }
        ASSERT_EQ(m_messages.Messages().size(), 1u);
        const MessageRecorder::Message& message = m_messages.Messages()[0];
        EXPECT_EQ(message.icon, c.expect == Dropped ? MessageIcon::Warning : MessageIcon::Error);
        // The file does not depend on the password: a damaged one is called damaged.
        EXPECT_EQ(message.text.contains(QStringLiteral("is damaged")), c.expect == Corrupted)
            << message.text.toStdString();
        EXPECT_FALSE(message.text.contains(QStringLiteral("password"), Qt::CaseInsensitive));
        EXPECT_TRUE(message.text.contains(c.named)) << message.text.toStdString();
        EXPECT_TRUE(message.text.contains(QStringLiteral("'%1'").arg(Native(DataPath()))));
        EXPECT_TRUE(message.text.contains(QStringLiteral("'%1'").arg(Native(copy)))) << message.text.toStdString();
        EXPECT_EQ(FileBytes(copy), c.bytes);
        EXPECT_EQ(FileMode(copy), 0600);
    }

    // No day that does not exist is ever saved.
    const QByteArray saved = FileBytes(DataPath());
    for (const auto& date : droppedDates) {
        EXPECT_FALSE(Database().SetDay(MakeRecord(date[0], date[1], date[2], Heavy)));
        EXPECT_EQ(FileBytes(DataPath()), saved);
    }
}

TEST_F(DataFileTest, ADamagedFileIsCopiedAsideOnceAndSavingStopsWhenNoCopyCanBeMade)
{
    auto copies = [this] {
        return QDir(DocumentsPath()).entryList({QStringLiteral("*.unreadable*")}, QDir::Files | QDir::System).size();
    };
    // The same damaged file at a hundred starts: one copy, named in every message.
    const QByteArray damaged = QByteArray("Zor");
    WriteFileBytes(DataPath(), damaged);
    for (int start = 0; start < 100; ++start) {
        EXPECT_FALSE(Database().Load());
        EXPECT_TRUE(m_messages.Texts().last().contains(Native(DataPath() + QStringLiteral(".unreadable"))));
    }
    EXPECT_EQ(FileBytes(DataPath() + QStringLiteral(".unreadable")), damaged);
    EXPECT_EQ(copies(), 1);

    // A file is compared to its end (a large one too): one that differs only in its last byte is
    // another file, with a copy of its own.
    std::mt19937 random(77);
    QByteArray large(3 * 1024 * 1024 + 5, Qt::Uninitialized);
    for (char& byte : large)
        byte = static_cast<char>(random());
    WriteFileBytes(DataPath(), large);
    EXPECT_FALSE(Database().Load());
    large[large.size() - 1] = static_cast<char>(large.back() ^ 1);
    WriteFileBytes(DataPath(), large);
    for (int start = 0; start < 5; ++start)
        EXPECT_FALSE(Database().Load());
    EXPECT_EQ(FileBytes(DataPath() + QStringLiteral(".unreadable.2")), large);
    EXPECT_EQ(copies(), 3);
    EXPECT_EQ(FileMode(DataPath() + QStringLiteral(".unreadable.2")), 0600);

    // Every name taken: nothing may replace the file the load could not read.
    for (int i = 3; i < 100; ++i)
        WriteFileBytes(DataPath() + QStringLiteral(".unreadable.%1").arg(i), QByteArray());
    WriteFileBytes(DataPath(), damaged + damaged);
    m_messages.Clear();
    EXPECT_FALSE(Database().Load());
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_TRUE(m_messages.Texts()[0].contains(QStringLiteral("will not save")));
    m_messages.Clear();
    EXPECT_FALSE(Database().SetDay(MakeRecord(2010, 1, 1, Heavy)));
    EXPECT_TRUE(Database().Records().empty()); // the store was taken back
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_TRUE(m_messages.Texts()[0].contains(Native(DataPath())));
    EXPECT_EQ(FileBytes(DataPath()), damaged + damaged);

    // Once the file loads, saving works again.
    QFile::remove(DataPath());
    ASSERT_TRUE(Database().Load());
    EXPECT_TRUE(Database().SetDay(MakeRecord(2010, 1, 1, Heavy)));
}

TEST_F(DataFileTest, AFailedSaveKeepsThePreviousFileByteForByte)
{
    ASSERT_TRUE(Database().SetDay(MakeRecord(2010, 1, 1, Heavy, QStringLiteral("first"))));
    const QByteArray before = FileBytes(DataPath());
    // Records the file cannot hold are never written: the next load would stop at them. (A
    // negative year would be stored as one of 32768 and above.)
    EXPECT_FALSE(Database().SetDay(MakeRecord(2010, 2, 1, None, QString(kMaxNoteLength + 1, QChar(u'x')))));
    EXPECT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_EQ(Database().Records().size(), 1u);
    EXPECT_EQ(FileBytes(DataPath()), before);
    ASSERT_TRUE(Database().ReplaceRecords({MakeRecord(-5, 1, 1, Heavy)}));
    EXPECT_FALSE(Database().Save());
    EXPECT_EQ(FileBytes(DataPath()), before);
    ASSERT_TRUE(Database().Load());

    // A has-note bit without a note is saved without it, as a load would set it.
    DayRecord bare = MakeRecord(2010, 3, 1, Medium);
    bare.flags |= kHasNoteFlag;
    ASSERT_TRUE(Database().SetDay(bare));
    ASSERT_TRUE(Database().Load());
    ASSERT_EQ(Database().Records().size(), 2u);
    EXPECT_EQ(Database().Records()[1].flags, static_cast<uint32_t>(Medium));
}
