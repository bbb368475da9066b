#include "StorageTestSupport.h"
#include "TestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MessageRecorder.h"
#include "storage/DayImporter.h"

#include <QDir>
#include <QFile>

#include <cstdio>

// Damaged data and day files, made by random mutations with fixed seeds: nothing crashes, and
// whatever a load or an import accepted is stored so that the data file loads again.

namespace {
class RobustnessTest : public VeluminaTest
{
protected:
    CycleDatabase& Database()
    {
        return TheCycleDatabase();
    }

    QString DataPath() const
    {
        return QDir(DocumentsPath()).filePath(QStringLiteral("Velumina.dat"));
    }

    void RemoveCopies()
    {
        QDir documents(DocumentsPath());
        for (const QString& name : documents.entryList({QStringLiteral("*.unreadable*")}, QDir::Files))
            documents.remove(name);
    }

    MessageRecorder m_messages;
};

// Flips bits, overwrites, inserts or removes bytes, or cuts the file short.
QByteArray Mutate(QByteArray bytes, std::mt19937& random)
{
    const int kind = static_cast<int>(random() % 5);
    auto position = [&] { return bytes.isEmpty() ? 0 : static_cast<qsizetype>(random() % bytes.size()); };
    switch (kind) {
    case 0:
        for (int i = 0, n = 1 + static_cast<int>(random() % 4); i < n && !bytes.isEmpty(); ++i)
            bytes[position()] ^= static_cast<char>(1 << (random() % 8));
        break;
    case 1:
        for (int i = 0, n = 1 + static_cast<int>(random() % 8); i < n && !bytes.isEmpty(); ++i)
            bytes[position()] = static_cast<char>(random());
        break;
    case 2:
        bytes.insert(position(), QByteArray(1 + static_cast<int>(random() % 6), static_cast<char>(random())));
        break;
    case 3:
        bytes.remove(position(), 1 + static_cast<int>(random() % 6));
        break;
    default:
        bytes.truncate(position());
        break;
    }
    return bytes;
}
} // namespace

TEST_F(RobustnessTest, MutatedDataFilesNeverCrashAndWhatLoadsStaysLoadable)
{
    std::mt19937 random(1234);
    const std::vector<DayRecord> original = RandomRecords(random, 24, 2097, 2099);
    ASSERT_TRUE(Database().ReplaceRecords(original));
    ASSERT_TRUE(Database().Save());
    const QByteArray valid = ReadFileBytes(DataPath());

    int failed = 0;
    for (int i = 0; i < 1500; ++i) {
        SCOPED_TRACE(i);
        const QByteArray damaged = Mutate(valid, random);
        WriteFileBytes(DataPath(), damaged);
        const bool loaded = Database().Load();
        failed += loaded ? 0 : 1;
        if (!loaded) {
            ASSERT_EQ(ReadFileBytes(DataPath() + QStringLiteral(".unreadable")), damaged);
        }
        const std::vector<DayRecord> kept = Database().Records();
        ASSERT_TRUE(Database().Save());
        ASSERT_TRUE(Database().Load());
        ASSERT_TRUE(SameRecords(Database().Records(), kept));
        RemoveCopies();
        m_messages.Clear();
    }
    // The mutations reach the failure paths, not only harmless bytes.
    EXPECT_GT(failed, 300);
    EXPECT_LT(failed, 1500);
}

TEST_F(RobustnessTest, MutatedDayFilesNeverCrashAndAFailedImportChangesNothing)
{
    std::mt19937 random(4321);
    const QString alphabet = QString::fromUtf16(u"\t\n\r;\\ns0123456789-x\U0001F600");
    const std::vector<DayRecord> original = RandomRecords(random, 24, 2097, 2099, alphabet);
    ASSERT_TRUE(Database().ReplaceRecords(original));
    const QString csv = TempPath(QStringLiteral("days.csv"));
    ASSERT_TRUE(Database().ExportDays(csv));
    ASSERT_TRUE(Database().Save());
    const QByteArray valid = ReadFileBytes(csv);

    int failed = 0;
    for (int i = 0; i < 1500; ++i) {
        SCOPED_TRACE(i);
        const std::vector<DayRecord> before = Database().Records();
        const QByteArray stored = ReadFileBytes(DataPath());
        WriteFileBytes(csv, Mutate(valid, random));
        if (Database().ImportDays(csv)) {
            const std::vector<DayRecord> imported = Database().Records();
            ASSERT_TRUE(Database().Load());
            ASSERT_TRUE(SameRecords(Database().Records(), imported));
        } else {
            ++failed;
            ASSERT_TRUE(SameRecords(Database().Records(), before));
            ASSERT_EQ(ReadFileBytes(DataPath()), stored);
            // The file was refused, not a record it gave that the data file could not hold.
            ASSERT_EQ(m_messages.Messages().size(), 1u);
            ASSERT_FALSE(m_messages.Texts()[0].contains(QStringLiteral("not saved")));
        }
        m_messages.Clear();
    }
    EXPECT_GT(failed, 0);
    EXPECT_LT(failed, 1500);
}

TEST_F(RobustnessTest, MutatedFilesOfEveryImportFormatNeverCrashOrChangeAnythingWhenRefused)
{
    // VELUMINA_FUZZ_ITERATIONS runs a longer loop by hand.
    const int rounds = qEnvironmentVariableIsSet("VELUMINA_FUZZ_ITERATIONS")
                           ? qEnvironmentVariableIntValue("VELUMINA_FUZZ_ITERATIONS")
                           : 200;
    std::mt19937 random(3131);
    ASSERT_TRUE(Database().ReplaceRecords(RandomRecords(random, 12, 2097, 2099)));
    ASSERT_TRUE(Database().Save());
    const QString path = TempPath(QStringLiteral("import"));
    int refused = 0;
    int inputs = 0;
    for (const char* sample : {"velumina-days.csv", "spreadsheet-comma.csv", "spreadsheet-semicolon.csv",
                               "spreadsheet-tab.txt", "drip-export.csv", "clue-measurements.json", "flo-export.json"}) {
        SCOPED_TRACE(sample);
        const QByteArray valid = FileBytes(QDir(QStringLiteral(VELUMINA_TEST_DATA)).filePath(QLatin1String(sample)));
        ASSERT_FALSE(valid.isEmpty());
        for (int i = 0; i < rounds; ++i, ++inputs) {
            QByteArray damaged = valid;
            for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n)
                damaged = Mutate(damaged, random);
            ImportedDays days;
            QString error;
            if (!DayImporter::ReadBytes(damaged, QStringLiteral("f"), days, error)) {
                ++refused;
                ASSERT_TRUE(days.records.empty());
                ASSERT_FALSE(error.isEmpty());
            }
            for (const DayRecord& record : days.records) {
                ASSERT_TRUE(IsStorableDay(record.date));
                ASSERT_LE(record.note.size(), kMaxNoteLength);
            }
            if (i % 10 != 0)
                continue;
            // The whole road, with a save: a refused file changes nothing.
            const std::vector<DayRecord> before = Database().Records();
            const QByteArray stored = ReadFileBytes(DataPath());
            WriteFileBytes(path, damaged);
            if (!Database().ImportDays(path)) {
                ASSERT_TRUE(SameRecords(Database().Records(), before));
                ASSERT_EQ(ReadFileBytes(DataPath()), stored);
            }
            m_messages.Clear();
        }
    }
    std::printf("%d mutated import files, %d refused\n", inputs, refused);
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, inputs);
}
