#pragma once

#include "model/CycleDatabase.h"
#include "model/DayRecord.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

/// What an import read from a file, before anything is stored.
struct ImportedDays
{
    QString format;                     ///< what the file is, as in "312 days from <a Clue export>"
    std::vector<DayRecord> records;     ///< one per date, in date order
    CycleDatabase::ImportReport report; ///< skipped entries, shortened notes, the line that ended the reading
    std::vector<std::pair<QString, int>> skipReasons; ///< why entries were skipped, in the order first met

    /// "4 entries skipped: unknown flow value (3), date that does not exist (1)"; empty when
    /// nothing was skipped.
    QString SkippedText() const;

    /// Counts one skipped entry for `reason` ("unknown flow value").
    void Skip(const QString& reason);
};

/// Reads the days of a file whatever program wrote it: Velumina's day file (UTF-16LE as it
/// exports it, UTF-8, either with a byte-order mark), a spreadsheet file with a header row,
/// drip's CSV export, Clue's measurements.json and Flo's JSON export. Nothing is stored.
class DayImporter
{
public:
    /// False with `error` set (naming the file, and the line or entry that stopped the
    /// reading) when the file cannot be read, is in no known form, or gives no day to store.
    static bool ReadFile(const QString& path, ImportedDays& result, QString& error);

    /// The same on the file's bytes; `fileName` is how messages name the file.
    static bool ReadBytes(const QByteArray& bytes, const QString& fileName, ImportedDays& result, QString& error);

    /// The date of a spreadsheet cell: ISO "yyyy-mm-dd" (a time after it is ignored) or the
    /// locale's short date. `exists` tells whether it is a day of the calendar that Velumina
    /// stores. False when the text is no date at all.
    static bool ParseDate(const QString& text, CalDate& date, bool& exists);

    /// The bleeding level of a cell: 0 to 3, or none, spotting, light, slight, medium, heavy in
    /// any case (spotting and light are Slight). False for anything else.
    static bool ParseLevel(const QString& text, int& level);
};
