#include "platform/DocumentsFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString& TestFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString PlatformDocumentsFolder()
{
    if (!TestFolder().isEmpty())
        return TestFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void SetDocumentsFolderForTesting(const QString& folder)
{
    TestFolder() = folder;
}
