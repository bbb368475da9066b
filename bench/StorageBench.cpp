#include "BenchSupport.h"
#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/CalendarDay.h"
#include "platform/SharedGenerator.h"
#include "settings/CalendarSettings.h"
#include "storage/CsvExchange.h"
#include "storage/CsvTable.h"
#include "storage/DataFile.h"
#include "storage/DayImporter.h"
#include "storage/ICalendarWriter.h"
#include "storage/ImportChoice.h"
#include "storage/SealedFile.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtEndian>

namespace {
// The data file and the CSV exchange with the most records the database holds, one in four with
// a 100-character note. Goals: save and load within 3 times their floors, which do only what no
// data file code can avoid: write (through the same atomic writer) or read the same number of
// bytes, and draw one generator output per word; export and import under 50 ms each.
const QString kPassword = QStringLiteral("correct horse battery staple");

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
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

enum class Saving { Plain, Sealed, Floor };

// With protection on, the session's key is derived once before the loop, as at the start-up
// unlock, so each save only encrypts (goal: within 3 times the plain save).
void BM_Save(benchmark::State& state, Saving saving)
{
    CycleDatabase database;
    database.ReplaceRecords(TenThousandDays(true));
    database.Save();
    QByteArray bytes(ReadFile(GetDataFilePath()).size(), 'v');
    if (saving == Saving::Sealed)
        SetSessionSealKey(SealKey::DeriveNew(kPassword));
    QString error;
    for (auto _ : state) {
        if (saving == Saving::Floor)
            ScrambleWords(bytes);
        if (saving == Saving::Floor ? !WriteFileAtomically(GetDataFilePath() + QStringLiteral(".floor"), bytes, error)
                                    : !database.Save())
            state.SkipWithError("save failed");
    }
    ForgetSessionSealKey();
}
BENCHMARK_CAPTURE(BM_Save, Plain, Saving::Plain);
BENCHMARK_CAPTURE(BM_Save, Sealed, Saving::Sealed);
BENCHMARK_CAPTURE(BM_Save, Floor, Saving::Floor);

// The start-up unlock of a full sealed file: Argon2id at the cost new files get, then the
// decryption (goal: well under a second).
void BM_UnlockSealed(benchmark::State& state)
{
    CycleDatabase database;
    database.ReplaceRecords(TenThousandDays(true));
    SetSessionSealKey(SealKey::DeriveNew(kPassword));
    database.Save();
    ForgetSessionSealKey();
    const QByteArray sealed = ReadFile(GetDataFilePath());
    for (auto _ : state) {
        std::unique_ptr<SealKey> key;
        QByteArray plain;
        QString reason;
        if (SealedFile::OpenWithPassword(sealed, kPassword, key, plain, reason) != SealedFile::Opened::Ok)
            state.SkipWithError("unlock failed");
    }
}
BENCHMARK(BM_UnlockSealed)->UseRealTime();

void BM_Load(benchmark::State& state, bool floor)
{
    CycleDatabase database;
    database.ReplaceRecords(TenThousandDays(true));
    database.Save();
    for (auto _ : state) {
        if (floor) {
            QByteArray bytes = ReadFile(GetDataFilePath());
            ScrambleWords(bytes);
            benchmark::DoNotOptimize(bytes.data());
        } else if (!database.Load() || database.Records().size() != static_cast<size_t>(CycleDatabase::kMaxRecords)) {
            state.SkipWithError("load failed");
        }
    }
}
BENCHMARK_CAPTURE(BM_Load, Plain, false);
BENCHMARK_CAPTURE(BM_Load, Floor, true);

// The import reads and checks the file, replaces the records, derives once and saves the data
// file, as the program's import does.
void BM_ExportImportDays(benchmark::State& state, bool import)
{
    CycleDatabase database;
    database.ReplaceRecords(TenThousandDays(true));
    const QString path = GetDataFilePath() + QStringLiteral(".csv");
    database.ExportDays(path);
    for (auto _ : state) {
        ImportedDays days;
        QString error;
        const bool done =
            import ? DayImporter::ReadFile(path, days, error) && StoreImportedDays(database, std::move(days.records))
                   : database.ExportDays(path);
        if (!done)
            state.SkipWithError("export or import failed");
    }
}
BENCHMARK_CAPTURE(BM_ExportImportDays, Export, false);
BENCHMARK_CAPTURE(BM_ExportImportDays, Import, true);

// The import of other programs' files: a spreadsheet of 100000 lines (ten lines for each of the
// 10000 days the database holds) read, stored and saved (goal: under 1 s), and the preview of a
// Clue export of 10000 period days, with the database full (goal: under 200 ms). The floors only
// read the file and split it (or parse the JSON).
const char* const kLevels[] = {"none", "Spotting", "MEDIUM", "heavy"};

QString WriteFile(const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(GetDocumentsFolder());
    QFile file(GetDocumentsFolder() + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return file.fileName();
}

void BM_SpreadsheetImport100k(benchmark::State& state, bool floor)
{
    QByteArray text = "Date;Bleeding;Note\r\n";
    for (int line = 0; line < 100000; ++line) {
        text += IsoDayText(CivilOffsetDate(CalDate{1, 1, 1990}, line % CycleDatabase::kMaxRecords)).toLatin1() + ';' +
                kLevels[line % 4] + ';';
        if (line % 4 == 0)
            text += "\"cramps; \"\"tired\"\"\r\nslept early\"";
        text += "\r\n";
    }
    const QString path = WriteFile(QStringLiteral("sheet.csv"), text);
    CycleDatabase database;
    for (auto _ : state) {
        ImportedDays days;
        QString error;
        if (floor)
            benchmark::DoNotOptimize(CsvTable::Decode(ReadFile(path)).split(QLatin1Char(';')).size());
        else if (!DayImporter::ReadFile(path, days, error) || !ImportChoice::Store(database, days, ImportMode::Replace))
            state.SkipWithError("import failed");
    }
}
BENCHMARK_CAPTURE(BM_SpreadsheetImport100k, Import, false);
BENCHMARK_CAPTURE(BM_SpreadsheetImport100k, Floor, true);

// Reading and checking the file and the text of the question.
void BM_CluePreview10k(benchmark::State& state, bool floor)
{
    QByteArray text = "[\n";
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i) {
        const QByteArray day = IsoDayText(CivilOffsetDate(CalDate{1, 1, 1995}, i)).toLatin1();
        text += "{\"date\": \"" + day + "\", \"type\": \"period\", \"value\": {\"option\": \"" +
                QByteArray(kLevels[1 + i % 3]).toLower() + "\"}},\n";
        text += "{\"date\": \"" + day + "\", \"type\": \"pain\", \"value\": {\"option\": \"cramps\"}}" +
                (i + 1 < CycleDatabase::kMaxRecords ? ",\n" : "\n");
    }
    const QString path = WriteFile(QStringLiteral("measurements.json"), text + "]\n");
    const std::vector<DayRecord> stored = TenThousandDays();
    for (auto _ : state) {
        ImportedDays days;
        QString error;
        if (floor)
            benchmark::DoNotOptimize(QJsonDocument::fromJson(ReadFile(path)).array().size());
        else if (!DayImporter::ReadFile(path, days, error) || days.records.size() != 10000u)
            state.SkipWithError("preview failed");
        else
            benchmark::DoNotOptimize(ImportChoice::Question(days, stored).size());
    }
}
BENCHMARK_CAPTURE(BM_CluePreview10k, Preview, false);
BENCHMARK_CAPTURE(BM_CluePreview10k, Floor, true);

// What the live file costs after a save: the events of 24 months from ten years of periods
// collected, formatted and written atomically (goal: under 5 ms, so that it costs nothing
// noticeable), and, to compare with, the data file's save of the same days that every change
// already makes.
void BM_CalendarFile24Months(benchmark::State& state, bool dataFileInstead)
{
    TheCycleDatabase().ReplaceRecords(Periods(OffsetDate(Today(), -14), 130, {28, 26, 30, 27, 29}));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("predictions.ics"));
    CalendarSettings settings;
    settings.months = CalendarSettings::kMaxMonths;
    int count = 0;
    for (auto _ : state) {
        QString error;
        if (dataFileInstead)
            benchmark::DoNotOptimize(TheCycleDatabase().Save());
        else
            ICalendarWriter(TheCycleDatabase()).Write(path, settings, count, error);
    }
}
BENCHMARK_CAPTURE(BM_CalendarFile24Months, Write, false);
BENCHMARK_CAPTURE(BM_CalendarFile24Months, CompareSave, true);
} // namespace
