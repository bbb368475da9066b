#include "ui/toolkit/CsvExportFlow.h"

#include "model/CalDate.h"
#include "platform/CountText.h"
#include "platform/MessageBox.h"
#include "platform/gui/FileDialogs.h"
#include "storage/DataFile.h"
#include "storage/SealedFile.h"

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
    return RunCsvExport(
        parent, caption, nameStem, [&write](const QString& path) { return write(path) ? 0 : -1; }, QStringView(),
        QStringView());
}

bool RunCsvExport(QWidget* parent,
                  const QString& caption,
                  const QString& nameStem,
                  const std::function<int(const QString& path)>& write,
                  QStringView singular,
                  QStringView plural)
{
    // The data file is encrypted; an export is not, and she should know before it exists.
    if (SessionSealKey() &&
        ShowMessage(QStringLiteral("Your days are encrypted with your password, but the exported file will be plain "
                                   "text: anyone who can read that file can read it. Export anyway?"),
                    MessageButtons::OkCancel, MessageIcon::Warning) != MessageAnswer::Ok)
        return false;
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
    const int written = write(path);
    if (written < 0) {
        ShowMessage(QStringLiteral("Failed to export data."));
        return false;
    }
    const QString done = singular.isEmpty()
                             ? QStringLiteral("Done.")
                             : QStringLiteral("Exported %1 to %2.")
                                   .arg(CountText(written, singular, plural), QDir::toNativeSeparators(path));
    ShowMessage(done, MessageButtons::Ok, MessageIcon::Information);
    return true;
}
