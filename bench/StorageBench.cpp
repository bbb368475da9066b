#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/SharedGenerator.h"
#include "storage/CsvExchange.h"
#include "storage/DataFile.h"
#include "storage/DayImporter.h"
#include "storage/SealedFile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QtEndian>

#include <memory>

// The data file and the CSV exchange with the most records the database holds, one in four with
// a 100-character note. The floors do only what no data file code can avoid: write (through the
// same atomic writer) or read the same number of bytes, and draw one generator output per word.
namespace {
std::unique_ptr<CycleDatabase> FullDatabase()
{
    SetCurrentTimeForTesting(ToTime(CalDate{12, 6, 2026}, 12));
    std::vector<DayRecord> records;
    CalDate day{1, 1, 2000};
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i) {
        DayRecord record;
        record.date = day;
        SetLevel(record, (i % 29) < 5 ? Heavy : None);
        if (i % 4 == 0)
            SetNote(record, QString(100, QChar(u'a' + i % 26)));
        records.push_back(record);
        CivilNextDay(day);
    }
    auto database = std::make_unique<CycleDatabase>();
    database->ReplaceRecords(std::move(records));
    return database;
}

qint64 DataFileSize()
{
    return QFile(GetDataFilePath()).size();
}

void ScrambleWords(QByteArray& bytes)
{
    std::mt19937& generator = SharedGenerator();
    generator.seed(CycleDatabase::kScrambleSeed);
    auto* const words = reinterpret_cast<unsigned char*>(bytes.data());
    for (qsizetype i = 0; i + 4 <= bytes.size(); i += 4)
        qToLittleEndian<uint32_t>(qFromLittleEndian<uint32_t>(words + i) ^ static_cast<uint32_t>(generator()),
                                  words + i);
}

void BM_Save(benchmark::State& state)
{
    auto database = FullDatabase();
    for (auto _ : state) {
        if (!database->Save())
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * DataFileSize());
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

// The same save with protection on: the session's key is derived once, before the loop, as at
// the start-up unlock, so each save only encrypts. Compare with BM_Save.
void BM_SaveSealed(benchmark::State& state)
{
    auto database = FullDatabase();
    SetSessionSealKey(SealKey::DeriveNew(QStringLiteral("correct horse battery staple")));
    for (auto _ : state) {
        if (!database->Save())
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * DataFileSize());
    ForgetSessionSealKey();
}
BENCHMARK(BM_SaveSealed)->Unit(benchmark::kMillisecond);

// The start-up unlock of a full sealed file: Argon2id at the cost new files get, then the
// decryption. The goal is well under a second.
void BM_UnlockSealed(benchmark::State& state)
{
    auto database = FullDatabase();
    SetSessionSealKey(SealKey::DeriveNew(QStringLiteral("correct horse battery staple")));
    database->Save();
    ForgetSessionSealKey();
    QFile file(GetDataFilePath());
    file.open(QIODevice::ReadOnly);
    const QByteArray sealed = file.readAll();
    for (auto _ : state) {
        std::unique_ptr<SealKey> key;
        QByteArray plain;
        QString reason;
        if (SealedFile::OpenWithPassword(sealed, QStringLiteral("correct horse battery staple"), key, plain, reason) !=
            SealedFile::Opened::Ok)
            state.SkipWithError("unlock failed");
    }
}
BENCHMARK(BM_UnlockSealed)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveFloor(benchmark::State& state)
{
    FullDatabase()->Save();
    QByteArray bytes(DataFileSize(), 'v');
    const QString path = GetDataFilePath() + QStringLiteral(".floor");
    QString error;
    for (auto _ : state) {
        ScrambleWords(bytes);
        if (!WriteFileAtomically(path, bytes, error))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state)
{
    auto database = FullDatabase();
    database->Save();
    for (auto _ : state) {
        if (!database->Load() || database->Records().size() != static_cast<size_t>(CycleDatabase::kMaxRecords))
            state.SkipWithError("load failed");
    }
    state.SetBytesProcessed(state.iterations() * DataFileSize());
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_LoadFloor(benchmark::State& state)
{
    FullDatabase()->Save();
    for (auto _ : state) {
        QFile file(GetDataFilePath());
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("open failed");
        QByteArray bytes = file.readAll();
        ScrambleWords(bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * DataFileSize());
}
BENCHMARK(BM_LoadFloor)->Unit(benchmark::kMillisecond);

void BM_ExportDays(benchmark::State& state)
{
    auto database = FullDatabase();
    const QString path = GetDataFilePath() + QStringLiteral(".csv");
    for (auto _ : state) {
        if (!database->ExportDays(path))
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportDays)->Unit(benchmark::kMillisecond);

// Reads and checks the file, replaces the records, derives once and saves the data file, as
// the program's import does.
void BM_ImportDays(benchmark::State& state)
{
    auto database = FullDatabase();
    const QString path = GetDataFilePath() + QStringLiteral(".csv");
    database->ExportDays(path);
    for (auto _ : state) {
        ImportedDays days;
        QString error;
        if (!DayImporter::ReadFile(path, days, error) || !StoreImportedDays(*database, std::move(days.records)) ||
            database->Records().size() != static_cast<size_t>(CycleDatabase::kMaxRecords))
            state.SkipWithError("import failed");
    }
}
BENCHMARK(BM_ImportDays)->Unit(benchmark::kMillisecond);
} // namespace
