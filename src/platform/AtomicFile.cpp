#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {
QString Describe(const QString& path, const QString& what, const QString& reason)
{
    return QStringLiteral("Could not %1 the file '%2': %3").arg(what, QDir::toNativeSeparators(path), reason);
}
} // namespace

bool WriteFileAtomically(const QString& path,
                         const QByteArray& data,
                         QString& error,
                         QFileDevice::Permissions permissions)
{
    const QFileInfo info(path);
    const QString folder = info.absolutePath();
    if (!QFileInfo::exists(folder)) {
        if (!QDir().mkpath(folder)) {
            error = Describe(path, QStringLiteral("write"), QStringLiteral("its folder could not be created."));
            return false;
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const bool isNew = !info.exists();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = Describe(path, QStringLiteral("write"), file.errorString());
        return false;
    }
    if (isNew)
        file.setPermissions(permissions);
    const qint64 written = file.write(data);
    if (written != data.size()) {
        error = Describe(path, QStringLiteral("write"), file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = Describe(path, QStringLiteral("save"), file.errorString());
        return false;
    }
    return true;
}
