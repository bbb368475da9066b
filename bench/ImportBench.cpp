#include "model/CivilDays.h"
#include "model/CycleDatabase.h"
#include "platform/Clock.h"
#include "storage/CsvTable.h"
#include "storage/DataFile.h"
#include "storage/DayImporter.h"
#include "storage/ImportChoice.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

// The import of other programs' files: a spreadsheet of 100000 lines (ten lines for each of
// the 10000 days the database holds) read, stored and saved, and the preview of a Clue export
// of 10000 period days. The floors only read the file and split it (or parse the JSON).
namespace {
const char* const kLevels[] = {"none", "Spotting", "MEDIUM", "heavy"};

QString WriteFile(const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(GetDocumentsFolder());
    const QString path = GetDocumentsFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

QString SpreadsheetFile()
{
    QByteArray text = "Date;Bleeding;Note\r\n";
    CalDate first{1, 1, 1990};
    for (int line = 0; line < 100000; ++line) {
        const CalDate day = CivilOffsetDate(first, line % CycleDatabase::kMaxRecords);
        text += IsoDayText(day).toLatin1() + ';' + kLevels[line % 4] + ';';
        if (line % 4 == 0)
            text += "\"cramps; \"\"tired\"\"\r\nslept early\"";
        text += "\r\n";
    }
    return WriteFile(QStringLiteral("sheet.csv"), text);
}

QString ClueFile()
{
    QByteArray text = "[\n";
    CalDate first{1, 1, 1995};
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i) {
        const CalDate day = CivilOffsetDate(first, i);
        text += "{\"date\": \"" + IsoDayText(day).toLatin1() + "\", \"type\": \"period\", \"value\": {\"option\": \"" +
                QByteArray(kLevels[1 + i % 3]).toLower() + "\"}},\n";
        text += "{\"date\": \"" + IsoDayText(day).toLatin1() +
                "\", \"type\": \"pain\", \"value\": {\"option\": "
                "\"cramps\"}}" +
                (i + 1 < CycleDatabase::kMaxRecords ? ",\n" : "\n");
    }
    text += "]\n";
    return WriteFile(QStringLiteral("measurements.json"), text);
}

void BM_SpreadsheetImport100k(benchmark::State& state)
{
    SetCurrentTimeForTesting(ToTime(CalDate{12, 6, 2026}, 12));
    const QString path = SpreadsheetFile();
    CycleDatabase database;
    for (auto _ : state) {
        ImportedDays days;
        QString error;
        if (!DayImporter::ReadFile(path, days, error) || !ImportChoice::Store(database, days, ImportMode::Replace) ||
            database.Records().size() != static_cast<size_t>(CycleDatabase::kMaxRecords))
            state.SkipWithError("import failed");
    }
}
BENCHMARK(BM_SpreadsheetImport100k)->Unit(benchmark::kMillisecond);

void BM_SpreadsheetImport100kFloor(benchmark::State& state)
{
    const QString path = SpreadsheetFile();
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QString text = CsvTable::Decode(file.readAll());
        benchmark::DoNotOptimize(text.split(QLatin1Char(';')).size());
    }
}
BENCHMARK(BM_SpreadsheetImport100kFloor)->Unit(benchmark::kMillisecond);

// Reading and checking the file and the text of the question, with the database full.
void BM_CluePreview10k(benchmark::State& state)
{
    SetCurrentTimeForTesting(ToTime(CalDate{12, 6, 2026}, 12));
    const QString path = ClueFile();
    std::vector<DayRecord> stored;
    CalDate day{1, 1, 2000};
    for (int i = 0; i < CycleDatabase::kMaxRecords; ++i) {
        DayRecord record;
        record.date = CivilOffsetDate(day, i);
        SetLevel(record, i % 28 < 4 ? Heavy : None);
        stored.push_back(record);
    }
    for (auto _ : state) {
        ImportedDays days;
        QString error;
        if (!DayImporter::ReadFile(path, days, error) || days.records.size() != 10000u)
            state.SkipWithError("preview failed");
        benchmark::DoNotOptimize(ImportChoice::Question(days, stored).size());
    }
}
BENCHMARK(BM_CluePreview10k)->Unit(benchmark::kMillisecond);

void BM_CluePreview10kFloor(benchmark::State& state)
{
    const QString path = ClueFile();
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(QJsonDocument::fromJson(file.readAll()).array().size());
    }
}
BENCHMARK(BM_CluePreview10kFloor)->Unit(benchmark::kMillisecond);
} // namespace
