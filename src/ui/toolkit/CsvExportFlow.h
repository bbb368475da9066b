#pragma once

#include <QString>

#include <functional>

class QWidget;

// The way every CSV file of the program is chosen and every export goes, shared by the main
// window's day export and the history's cycle export, so that both behave alike.

/// The folder the CSV file dialogs start in: the folder of the file last chosen in any of
/// them while it still exists, else the documents folder.
QString CsvStartFolder();

/// Remembers the folder of `filePath` for the next CSV file dialog; an empty path forgets it.
void RememberCsvFolder(const QString& filePath);

/// Whether `path` names Velumina's data file (or its earlier name), which no export may replace.
bool IsDataFileTarget(const QString& path);

/// Runs an export: while the data file is encrypted, first says that the export will be plain
/// text and goes on only with OK; then the save dialog from CsvStartFolder() with the suggested name
/// "<nameStem>-<today as yyyy-mm-dd>.csv" (it asks before overwriting), the data file refused
/// as target, then `write` on the chosen path and "Done." or "Failed to export data.".
/// Cancelling the dialog shows nothing. True only when the file was written.
bool RunCsvExport(QWidget* parent,
                  const QString& caption,
                  const QString& nameStem,
                  const std::function<bool(const QString& path)>& write);

/// The same for a `write` that returns how many things it wrote, -1 on failure; success says
/// "Exported 312 days to <path>." with `singular` or `plural` as the count needs.
bool RunCsvExport(QWidget* parent,
                  const QString& caption,
                  const QString& nameStem,
                  const std::function<int(const QString& path)>& write,
                  QStringView singular,
                  QStringView plural);
