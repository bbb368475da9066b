#include "StorageTestSupport.h"

#include "storage/DayImporter.h"

#include <QDir>

#include <cstdio>

// Damaged files of every import format, made by random mutations with fixed seeds: nothing
// crashes, a refused file says why, and whatever is read is a day the data file can store.

namespace {
using RobustnessTest = StorageTest;

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

TEST_F(RobustnessTest, MutatedFilesOfEveryImportFormatNeverCrashAndGiveOnlyStorableDays)
{
    const int rounds = 200;
    std::mt19937 random(3131);
    // Besides the samples, a day file exported from notes full of what the export escapes.
    const QString alphabet = QString::fromUtf16(u"\t\n\r;\\ns0123456789-x\U0001F600");
    ASSERT_TRUE(Database().ReplaceRecords(RandomRecords(random, 24, 2097, 2099, alphabet)));
    const QString path = TempPath(QStringLiteral("import"));
    ASSERT_TRUE(Database().ExportDays(path));
    std::vector<std::pair<QString, QByteArray>> samples = {{QStringLiteral("exported"), FileBytes(path)}};
    for (const char* sample : {"velumina-days.csv", "spreadsheet-comma.csv", "spreadsheet-semicolon.csv",
                               "spreadsheet-tab.txt", "drip-export.csv", "clue-measurements.json", "flo-export.json"}) {
        samples.emplace_back(QLatin1String(sample),
                             FileBytes(QDir(QStringLiteral(VELUMINA_TEST_DATA)).filePath(QLatin1String(sample))));
    }
    int refused = 0;
    int inputs = 0;
    for (const auto& [name, valid] : samples) {
        SCOPED_TRACE(name.toStdString());
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
        }
    }
    std::printf("%d mutated import files, %d refused\n", inputs, refused);
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, inputs);
}
