#include "settings/DataProtection.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"
#include "settings/PasswordStore.h"
#include "settings/SettingsAccess.h"
#include "storage/DataFile.h"
#include "storage/SealedFile.h"

#include <QDir>
#include <QFileInfo>

#include <memory>

namespace {
// Far above the largest data file (10000 days with the longest notes, about 15 MB).
constexpr qint64 kLargestFile = qint64{64} << 20;

// The file the days are read from: Velumina.dat, or the earlier name when it is missing.
QString SourcePath()
{
    const QString path = GetDataFilePath();
    if (!QFileInfo::exists(path) && IsExistingFile(GetLegacyDataFilePath()))
        return GetLegacyDataFilePath();
    return path;
}

// The whole data file; a missing one is empty. False with `error` set when it cannot be read.
bool ReadDataFile(QByteArray& data, QString& error)
{
    const QString path = SourcePath();
    data.clear();
    if (!QFileInfo::exists(path))
        return true;
    QFile file;
    QString reason;
    if (!OpenRegularFile(file, path, reason)) {
        error =
            QStringLiteral("The data file '%1' could not be opened: %2.").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    if (file.size() > kLargestFile) {
        error = QStringLiteral("The data file '%1' is far larger than any Velumina writes.")
                    .arg(QDir::toNativeSeparators(path));
        return false;
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("The data file '%1' could not be read: %2.")
                    .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

// The scrambled bytes inside the data file, opened with `key` when it is sealed.
bool ReadPlainBytes(const SealKey* key, QByteArray& plain, QString& error)
{
    QByteArray data;
    if (!ReadDataFile(data, error))
        return false;
    if (!SealedFile::IsSealed(data)) {
        plain = data;
        return true;
    }
    QString reason;
    if (!key || SealedFile::Open(data, *key, plain, reason) != SealedFile::Opened::Ok) {
        error = QStringLiteral("The data file '%1' %2.").arg(QDir::toNativeSeparators(GetDataFilePath()), reason);
        return false;
    }
    return true;
}

std::function<void()>& StepObserver()
{
    static std::function<void()> observer;
    return observer;
}

void Step()
{
    if (StepObserver())
        StepObserver()();
}

bool HasLegacyCheckValue()
{
    return ThePasswordStore().StoredHashBytes().size() == 4;
}

// Seals the scrambled bytes with a key of the new password, in one replacement of the file.
bool SealWithNewPassword(const QByteArray& plain, const QString& password, QString& error)
{
    std::unique_ptr<SealKey> key = SealKey::DeriveNew(password);
    if (!key) {
        error = QStringLiteral("The key of the password could not be made: the memory for it is lacking.");
        return false;
    }
    Step();
    if (!WriteFileAtomically(GetDataFilePath(), SealedFile::Seal(plain, *key), error))
        return false;
    Step();
    SetSessionSealKey(std::move(key));
    DataProtection::SettleSwitch();
    return true;
}
} // namespace

bool DataProtection::IsOn()
{
    QByteArray data;
    QString error;
    // Only the magic is needed, but the file is small.
    return ReadDataFile(data, error) && SealedFile::IsSealed(data);
}

bool DataProtection::NeedsPassword()
{
    if (IsOn())
        return true;
    return ThePasswordStore().IsEnabled() && HasLegacyCheckValue();
}

DataProtection::Unlock DataProtection::OpenSession(const QString& password, QString& message)
{
    QByteArray data;
    if (!ReadDataFile(data, message))
        return Unlock::Damaged;
    if (SealedFile::IsSealed(data)) {
        std::unique_ptr<SealKey> key;
        QByteArray plain;
        QString reason;
        switch (SealedFile::OpenWithPassword(data, password, key, plain, reason)) {
        case SealedFile::Opened::Ok:
            SetSessionSealKey(std::move(key));
            SettleSwitch();
            return Unlock::Opened;
        case SealedFile::Opened::WrongKey:
            return Unlock::WrongPassword;
        case SealedFile::Opened::Damaged:
            break;
        }
        message = QStringLiteral("The data file '%1' %2. Velumina leaves it as it is.")
                      .arg(QDir::toNativeSeparators(GetDataFilePath()), reason);
        return Unlock::Damaged;
    }
    if (!(ThePasswordStore().IsEnabled() && HasLegacyCheckValue()))
        return Unlock::Opened;
    // An earlier version's protection: its check value decides, once, and goes.
    if (!ThePasswordStore().Check(password))
        return Unlock::WrongPassword;
    QString error;
    if (!SealWithNewPassword(data, password, error))
        message = error + QStringLiteral("\n\nYour days could not be encrypted with your password and stay as they "
                                         "were; Velumina tries again at the next start.");
    return Unlock::Opened;
}

bool DataProtection::IsCurrentPassword(const QString& password)
{
    QByteArray data;
    QString error;
    if (!ReadDataFile(data, error) || !SealedFile::IsSealed(data))
        return false;
    std::unique_ptr<SealKey> key;
    QByteArray plain;
    return SealedFile::OpenWithPassword(data, password, key, plain, error) == SealedFile::Opened::Ok;
}

bool DataProtection::SetPassword(const QString& password, QString& error)
{
    if (password.isEmpty()) {
        error = QStringLiteral("An empty password protects nothing.");
        return false;
    }
    QByteArray plain;
    return ReadPlainBytes(SessionSealKey(), plain, error) && SealWithNewPassword(plain, password, error);
}

bool DataProtection::SwitchOff(const QString& currentPassword, QString& error)
{
    QByteArray data;
    if (!ReadDataFile(data, error))
        return false;
    if (SealedFile::IsSealed(data)) {
        std::unique_ptr<SealKey> key;
        QByteArray plain;
        QString reason;
        if (SealedFile::OpenWithPassword(data, currentPassword, key, plain, reason) != SealedFile::Opened::Ok) {
            error = QStringLiteral("Wrong password!");
            return false;
        }
        // A check value left by a write that failed decides nothing while the file is sealed;
        // beside a plain file it would pass for an earlier version's protection of another password.
        if (!ThePasswordStore().ForgetCheckValue()) {
            error = QStringLiteral("The settings file '%1' could not be written; protection stays on.")
                        .arg(QDir::toNativeSeparators(SettingsFilePath()));
            return false;
        }
        Step();
        if (!WriteFileAtomically(GetDataFilePath(), plain, error))
            return false;
        Step();
    }
    ForgetSessionSealKey();
    SettleSwitch();
    return true;
}

void DataProtection::SettleSwitch()
{
    PasswordStore& store = ThePasswordStore();
    const bool on = IsOn();
    if (!on && store.IsEnabled() && HasLegacyCheckValue())
        return; // an earlier version's protection, converted at the next unlock
    if (store.IsEnabled() != on) {
        store.SetEnabled(on);
        Step();
    }
    // While the file is sealed, or off, no check value of the password stays behind.
    if (on || !store.IsEnabled())
        store.ForgetCheckValue();
}

void DataProtection::SetStepObserverForTesting(std::function<void()> observer)
{
    StepObserver() = std::move(observer);
}
