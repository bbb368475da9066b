#include "platform/AtomicFile.h"

#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr int kRandomLetters = 6;
constexpr qint64 kLeftoverHead = 8;

QString Describe(const QString& path, const QString& what, const QString& reason)
{
    return QStringLiteral("Could not %1 the file '%2': %3").arg(what, QDir::toNativeSeparators(path), reason);
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// QSaveFile names its temporary file after the target with "." and six random letters. A
// name a person would give a copy (one word in lower case, upper case or capitalised, such as
// "backup") is left out: QSaveFile draws one of those only once in about twenty saves.
bool IsTemporaryName(const QString& name, const QString& target)
{
    if (name.size() != target.size() + 1 + kRandomLetters || !name.startsWith(target + u'.'))
        return false;
    const QStringView letters = QStringView(name).right(kRandomLetters);
    int upper = 0;
    for (const QChar c : letters) {
        if (!IsAsciiLetter(c))
            return false;
        upper += c.isUpper() ? 1 : 0;
    }
    const bool capitalised = upper == 1 && letters.front().isUpper();
    return upper != 0 && upper != kRandomLetters && !capitalised;
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
    // The rename at the end would put a file where a named pipe or a device was.
    if (IsOtherThanRegularFile(path)) {
        error = Describe(path, QStringLiteral("write"),
                         QStringLiteral("it is not a regular file, and Velumina writes nothing over it."));
        return false;
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = Describe(path, QStringLiteral("write"), file.errorString());
        return false;
    }
    // QSaveFile gives the new file the old one's permissions; the user's data stays hers.
    file.setPermissions(permissions);
    // QSaveFile keeps a small write in its buffer, and commit() does not notice when writing
    // that buffer out fails (a full disk): it would put a cut file in the place of the old
    // one. flush() does notice.
    const qint64 written = file.write(data);
    if (written != data.size() || !file.flush()) {
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

int RemoveInterruptedSaves(const QString& path,
                           qint64 minimumAgeSecs,
                           const std::function<bool(const QByteArray& head)>& isLeftover)
{
    const QFileInfo target(path);
    const QDir folder = target.absoluteDir();
    const QString targetName = target.fileName();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    int removed = 0;
    const QStringList names = folder.entryList({targetName + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString candidate = folder.filePath(name);
        const QFileInfo info(candidate);
        if (!IsTemporaryName(name, targetName) || info.isSymLink() ||
            info.lastModified().toUTC().secsTo(now) <= minimumAgeSecs)
            continue;
        QFile file;
        QString reason;
        if (!OpenRegularFile(file, candidate, reason))
            continue;
        const QByteArray head = file.read(kLeftoverHead);
        file.close();
        if (isLeftover(head) && QFile::remove(candidate))
            ++removed;
    }
    return removed;
}
