#include "storage/SpreadsheetExport.h"

#include "model/CycleStatus.h"
#include "platform/AtomicFile.h"
#include "platform/MessageBox.h"
#include "storage/CsvTable.h"

namespace {
bool WriteText(const QString& path, const QByteArray& bytes)
{
    QString error;
    if (!WriteFileAtomically(path, bytes, error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}
} // namespace

QByteArray SpreadsheetExport::DaysText(const std::vector<DayRecord>& records)
{
    QString text = CsvTable::Line({QStringLiteral("Date"), QStringLiteral("Bleeding"), QStringLiteral("Note")});
    text.reserve(static_cast<qsizetype>(records.size()) * 24);
    for (const DayRecord& record : records)
        text += CsvTable::Line({IsoDayText(record.date), LevelName(LevelOf(record)), record.note});
    return CsvTable::EncodeForSpreadsheets(text);
}

QByteArray SpreadsheetExport::CyclesText(CycleDatabase& database, int* rowCount)
{
    std::vector<CycleRecord> cycles;
    database.BuildCycleList(cycles);
    const std::vector<CycleStatus> statuses = CycleStatuses(database, cycles);
    QString text = CsvTable::Line({QStringLiteral("First day"), QStringLiteral("Bleeding days"),
                                   QStringLiteral("Cycle length"), QStringLiteral("Status")});
    for (size_t i = 0; i < cycles.size(); ++i) {
        text += CsvTable::Line({IsoDayText(cycles[i].firstDay), QString::number(cycles[i].bleedingDays),
                                QString::number(cycles[i].cycleLength), CycleStatusName(statuses[i])});
    }
    if (rowCount)
        *rowCount = static_cast<int>(cycles.size());
    return CsvTable::EncodeForSpreadsheets(text);
}

int SpreadsheetExport::WriteDays(const CycleDatabase& database, const QString& path)
{
    if (!WriteText(path, DaysText(database.Records())))
        return -1;
    return static_cast<int>(database.Records().size());
}

int SpreadsheetExport::WriteCycles(CycleDatabase& database, const QString& path)
{
    int rows = 0;
    const QByteArray bytes = CyclesText(database, &rows);
    return WriteText(path, bytes) ? rows : -1;
}
