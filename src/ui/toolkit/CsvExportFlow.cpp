#include "ui/toolkit/CsvExportFlow.h"

#include "model/CalDate.h"
#include "platform/MessageBox.h"
#include "platform/gui/FileDialogs.h"
#include "storage/DataFile.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace {
QString& LastFolder()
{
    static QString folder;
    return folder;
}

bool SameFile(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    const QString left = first.exists() ? first.canonicalFilePath() : first.absoluteFilePath();
    const QString right = second.exists() ? second.canonicalFilePath() : second.absoluteFilePath();
    return left == right;
}
} // namespace

QString CsvStartFolder()
{
    const QString& last = LastFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    return GetDocumentsFolder();
}

bool IsDataFileTarget(const QString& path)
{
    return SameFile(path, GetDataFilePath()) || SameFile(path, GetLegacyDataFilePath());
}

void RememberCsvFolder(const QString& filePath)
{
    LastFolder() = filePath.isEmpty() ? QString() : QFileInfo(filePath).absolutePath();
}

bool RunCsvExport(QWidget* parent,
                  const QString& caption,
                  const QString& nameStem,
                  const std::function<bool(const QString& path)>& write)
{
    const CalDate today = Today();
    const QString suggested = QStringLiteral("%1-%2.csv").arg(nameStem, IsoDayText(today));
    const QString path = AskForCsvFile(FileDialogKind::Save, parent, caption, CsvStartFolder(), suggested);
    if (path.isEmpty())
        return false;
    RememberCsvFolder(path);
    // Writing an export over the data file would lose every stored day.
    if (IsDataFileTarget(path)) {
        ShowMessage(QStringLiteral("'%1' is Velumina's own data file. Please export to another file.")
                        .arg(QDir::toNativeSeparators(path)),
                    MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    if (!write(path)) {
        ShowMessage(QStringLiteral("Failed to export data."));
        return false;
    }
    ShowMessage(QStringLiteral("Done."), MessageButtons::Ok, MessageIcon::Information);
    return true;
}
