#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// The open and save dialogs for CSV files, replaceable in tests. Both start in `folder` with
// `suggestedName` (save only), filter "CSV Files (*.csv)" and "All Files (*)", add the suffix
// csv to a bare name and, when saving, ask before overwriting; they are drawn in the colours
// of the window they belong to. An empty result means the
// user cancelled.

enum class FileDialogKind {
    Open,
    Save,
};

using FileDialogHandler = std::function<QString(
    FileDialogKind kind, QWidget* parent, const QString& caption, const QString& folder, const QString& suggestedName)>;

QString AskForCsvFile(FileDialogKind kind,
                      QWidget* parent,
                      const QString& caption,
                      const QString& folder,
                      const QString& suggestedName = QString());

/// The same dialogs for another kind of file: `filter` names it ("iCalendar Files (*.ics)")
/// and `suffix` is added to a bare name. Tests answer them through the same handler.
QString AskForFile(FileDialogKind kind,
                   QWidget* parent,
                   const QString& caption,
                   const QString& folder,
                   const QString& suggestedName,
                   const QString& filter,
                   const QString& suffix);

/// Replaces the dialogs (tests); an empty handler restores them. Returns the previous one.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
