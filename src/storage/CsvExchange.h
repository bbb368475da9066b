#pragma once

#include "model/CycleDatabase.h"
#include "model/DayRecord.h"

#include <QIODevice>
#include <QString>

#include <vector>

// The semicolon-separated day and cycle files: UTF-16LE text without a byte-order mark, lines
// ending in CR LF. CycleDatabase::ExportDays and ExportCycles (CsvExchange.cpp) write them; the
// import reads them through DayImporter and stores the days with StoreImportedDays.

/// The longest line the import reads in one piece. The longest line the export writes (a
/// 768-character note of escaped characters) is about 1560 characters.
inline constexpr qsizetype kMaxImportLine = 2047;

/// The largest file an import reads; ten thousand days in any format take far less.
inline constexpr qint64 kMaxImportFileSize = 64 * 1024 * 1024;

/// The shape every line of the day file has: "yyyy-mm-dd;flags...".
bool IsDayLine(const QString& line);

/// The note as the day file holds it: tab, line feed, carriage return, ";" and backslash as
/// \t, \n, \r, \s and two backslashes; any other character below 32 as a space.
QString EscapeNote(const QString& text);

/// The inverse of EscapeNote, read once from left to right; a backslash that starts none of
/// the five pairs stays as it is.
QString UnescapeNote(const QString& text);

/// Reads up to `max` characters of the next line into `buffer`, without its line feed and the
/// carriage returns and line feeds before it, and leaves the file just after the line feed (or
/// after the characters read, when a longer line goes on). Returns the number of characters
/// consumed, 0 at the end of the file, -1 on a read error. `feedFound`, when given, tells
/// whether the line feed was among the characters read.
qsizetype ReadLine(QIODevice& file, QString& buffer, qsizetype max, bool* feedFound = nullptr);

/// Reads the whole regular file at `path`, up to kMaxImportFileSize bytes. False with `error`
/// set, naming the file, when it cannot be opened or read or is larger.
bool ReadImportFile(const QString& path, QByteArray& bytes, QString& error);

/// Reads and checks the day lines of a file already read and decoded (UTF-16LE as the export
/// writes it, UTF-8, or either with a byte-order mark) without changing anything: the records
/// to store (one per date, the last line of a date winning, in file order), what was skipped
/// or cut, and the line that ended the reading with what is wrong with it (a blank line, a
/// byte-order mark, text in another encoding, a line too long). False with `error` set, naming
/// the file as `fileName`, when it gives no day to store or holds more days than the database
/// can. Days no calendar has (31 April) are skipped like other dates Velumina cannot store.
bool ReadDayLines(const QString& text,
                  const QString& fileName,
                  std::vector<DayRecord>& records,
                  CycleDatabase::ImportReport& report,
                  QString& error);

/// Replaces the database's records by `records` in one step and saves the data file. When the
/// save fails, the earlier records come back and the result is false.
bool StoreImportedDays(CycleDatabase& database, std::vector<DayRecord> records);
