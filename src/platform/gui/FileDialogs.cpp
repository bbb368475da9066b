#include "platform/gui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {
FileDialogHandler& InstalledHandler()
{
    static FileDialogHandler handler;
    return handler;
}
} // namespace

QString AskForCsvFile(
    FileDialogKind kind, QWidget* parent, const QString& caption, const QString& folder, const QString& suggestedName)
{
    // An import also reads the JSON exports of other programs.
    const QString filter = kind == FileDialogKind::Open ? QStringLiteral("Days (*.csv *.json *.txt)")
                                                        : QStringLiteral("CSV Files (*.csv)");
    return AskForFile(kind, parent, caption, folder, suggestedName, filter, QStringLiteral("csv"));
}

QString AskForFile(FileDialogKind kind,
                   QWidget* parent,
                   const QString& caption,
                   const QString& folder,
                   const QString& suggestedName,
                   const QString& filter,
                   const QString& suffix)
{
    if (InstalledHandler())
        return InstalledHandler()(kind, parent, caption, folder, suggestedName);
    QFileDialog dialog(parent, caption, folder);
    // The program's own dialog in the colours of the window it belongs to, rather than the
    // desktop's in colours of its own.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (parent)
        dialog.setPalette(parent->window()->palette());
    dialog.setNameFilters({filter, QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(suffix);
    dialog.setFileMode(kind == FileDialogKind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(kind == FileDialogKind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (kind == FileDialogKind::Save && !suggestedName.isEmpty())
        dialog.selectFile(QDir(folder).filePath(suggestedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler)
{
    FileDialogHandler previous = std::move(InstalledHandler());
    InstalledHandler() = std::move(handler);
    return previous;
}
