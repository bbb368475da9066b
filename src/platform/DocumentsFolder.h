#pragma once

#include <QString>

/// The user's documents folder (QStandardPaths::DocumentsLocation), or the home folder when
/// the desktop names none. Tests redirect it.
QString PlatformDocumentsFolder();

/// Makes PlatformDocumentsFolder() return `folder`; an empty folder restores the real one.
void SetDocumentsFolderForTesting(const QString& folder);
