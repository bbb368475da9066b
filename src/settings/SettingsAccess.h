#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Access to the program's persistent settings: QSettings("Quorlen Software", "Velumina"),
// one group per section. Every read first syncs, so values another process wrote are seen;
// every write reaches the file at once. Failures fall back to the default and are not reported.
// A settings file larger than a megabyte is never read nor written (SettingsFileProblem).

inline constexpr char16_t kOrganizationName[] = u"Quorlen Software";
inline constexpr char16_t kApplicationName[] = u"Velumina";
inline constexpr char16_t kSettingsSection[] = u"Settings";

/// Reads a 32-bit value; `defaultValue` when it is absent or not a number.
int32_t ReadSettingInt(const QString& section, const QString& name, int32_t defaultValue);

/// Writes a 32-bit value. Returns false when the settings file could not be written.
bool WriteSettingInt(const QString& section, const QString& name, int32_t value);

/// Reads a binary value; an empty array when there is none.
QByteArray ReadSettingBytes(const QString& section, const QString& name);

/// Writes a binary value. Returns false when the settings file could not be written.
bool WriteSettingBytes(const QString& section, const QString& name, const QByteArray& bytes);

/// Removes a value. Returns false when the settings file could not be written.
bool RemoveSetting(const QString& section, const QString& name);

/// Whether the settings file can be written now (it is created when missing).
bool IsSettingsWritable();

/// How many writes failed in this process so far: a caller compares the count before and
/// after a group of writes whose single results it does not see.
int SettingsWriteFailureCount();

/// Why the settings file is not used (it is too large to be read), in a message naming it;
/// empty when it is used.
QString SettingsFileProblem();

/// The file the settings live in.
QString SettingsFilePath();

/// Points the settings at `folder` (tests); an empty folder restores the user's own.
void SetSettingsFolderForTesting(const QString& folder);
