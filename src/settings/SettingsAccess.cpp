#include "settings/SettingsAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
// The settings file holds ten short values and the window's place, under a kilobyte. QSettings
// reads a file whole, and writing reads it first: a larger file is neither read nor written.
constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

QString& TestFolder()
{
    static QString folder;
    return folder;
}

int& WriteFailures()
{
    static int failures = 0;
    return failures;
}

QString SettingsKey(const QString& section, const QString& name)
{
    return section + u'/' + name;
}

QSettings OpenSettings()
{
    if (!TestFolder().isEmpty()) {
        return QSettings(TestFolder() + u'/' + QString::fromUtf16(kOrganizationName) + u'/' +
                             QString::fromUtf16(kApplicationName) + QStringLiteral(".conf"),
                         QSettings::IniFormat);
    }
    return QSettings(QString::fromUtf16(kOrganizationName), QString::fromUtf16(kApplicationName));
}

// The settings hold the password hash, so the file and its folder are the user's alone.
// QSettings replaces the file atomically but keeps the permissions of an existing one, so it
// is enough to create it with owner-only permissions before the first write.
void PrepareSettingsFile(const QString& path)
{
    const QFileInfo info(path);
    QDir folder = info.dir();
    if (!folder.exists()) {
        if (!QDir().mkpath(folder.absolutePath()))
            return;
        QFile::setPermissions(folder.absolutePath(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    if (!info.exists()) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.close();
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return;
    }
    // Only the others' rights go: a file the user made read-only stays read-only.
    const QFileDevice::Permissions own = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                         QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
    const QFileDevice::Permissions current = QFile::permissions(path);
    if ((current & ~own) != 0)
        QFile::setPermissions(path, current & own);
}

// True when the settings file is too large to be read (following links).
bool IsOversized(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.size() > kMaxSettingsFileSize;
}

// A settings file the user made read-only is left alone, also by a program running as root,
// whom the file system would let write it.
bool IsMarkedReadOnly(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !(info.permissions() & QFileDevice::WriteOwner);
}

bool WriteValue(const QString& section, const QString& name, const QVariant& value)
{
    QSettings settings = OpenSettings();
    PrepareSettingsFile(settings.fileName());
    if (IsMarkedReadOnly(settings.fileName()) || IsOversized(settings.fileName())) {
        ++WriteFailures();
        return false;
    }
    settings.sync();
    const QString key = SettingsKey(section, name);
    const QVariant before = settings.value(key);
    if (value.isValid())
        settings.setValue(key, value);
    else
        settings.remove(key);
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    // QSettings keeps a change it could not write in memory, shared by every later QSettings of
    // the file in this process, and would write it with the next successful sync. A failed
    // write must change nothing, now or later: the file's own value is put back.
    if (before.isValid())
        settings.setValue(key, before);
    else
        settings.remove(key);
    ++WriteFailures();
    return false;
}
} // namespace

int32_t ReadSettingInt(const QString& section, const QString& name, int32_t defaultValue)
{
    QSettings settings = OpenSettings();
    if (IsOversized(settings.fileName()))
        return defaultValue;
    settings.sync();
    const QVariant value = settings.value(SettingsKey(section, name));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok)
        return defaultValue;
    // A stored value is a 32-bit word: keep its low 32 bits, as the registry would.
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<qulonglong>(number) & 0xFFFFFFFFu));
}

bool WriteSettingInt(const QString& section, const QString& name, int32_t value)
{
    return WriteValue(section, name, static_cast<qlonglong>(value));
}

QByteArray ReadSettingBytes(const QString& section, const QString& name)
{
    QSettings settings = OpenSettings();
    if (IsOversized(settings.fileName()))
        return {};
    settings.sync();
    const QVariant value = settings.value(SettingsKey(section, name));
    if (value.typeId() != QMetaType::QByteArray)
        return {};
    return value.toByteArray();
}

bool WriteSettingBytes(const QString& section, const QString& name, const QByteArray& bytes)
{
    return WriteValue(section, name, bytes);
}

bool RemoveSetting(const QString& section, const QString& name)
{
    return WriteValue(section, name, QVariant());
}

bool IsSettingsWritable()
{
    QSettings settings = OpenSettings();
    PrepareSettingsFile(settings.fileName());
    return !IsMarkedReadOnly(settings.fileName()) && !IsOversized(settings.fileName()) && settings.isWritable();
}

QString SettingsFileProblem()
{
    const QString path = SettingsFilePath();
    if (!IsOversized(path))
        return {};
    return QStringLiteral("The settings file '%1' is larger than %2 MB, which Velumina's settings never are, so it "
                          "is not read: Velumina starts with its default settings and saves no change of them.\n\n"
                          "Move the file away to let Velumina make a new one.")
        .arg(QDir::toNativeSeparators(path))
        .arg(kMaxSettingsFileSize / (1024 * 1024));
}

int SettingsWriteFailureCount()
{
    return WriteFailures();
}

QString SettingsFilePath()
{
    return OpenSettings().fileName();
}

void SetSettingsFolderForTesting(const QString& folder)
{
    TestFolder() = folder;
}
