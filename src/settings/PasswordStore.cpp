#include "settings/PasswordStore.h"

#include "settings/PasswordHash.h"
#include "settings/SettingsAccess.h"

#include <QByteArray>

namespace {
const QString kPasswordEnabled = QStringLiteral("PasswordEnabled");
const QString kPassword = QStringLiteral("Password");

QString Section()
{
    return QString::fromUtf16(kSettingsSection);
}

// The hash as it is stored: four bytes, least significant first.
QByteArray HashBytes(uint32_t hash)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((hash >> (8 * i)) & 0xFFu);
    return bytes;
}
} // namespace

PasswordStore::PasswordStore() : m_hash(0)
{
}

bool PasswordStore::IsEnabled() const
{
    return ReadSettingInt(Section(), kPasswordEnabled, 0) != 0;
}

bool PasswordStore::SetEnabled(bool enabled)
{
    return WriteSettingInt(Section(), kPasswordEnabled, enabled ? 1 : 0);
}

bool PasswordStore::SetPassword(const QString& text)
{
    m_hash = PasswordHash(text);
    WriteSettingBytes(Section(), kPassword, HashBytes(m_hash));
    return m_hash != 0;
}

QByteArray PasswordStore::StoredHashBytes() const
{
    return ReadSettingBytes(Section(), kPassword);
}

bool PasswordStore::EnableWithPassword(const QString& text)
{
    const uint32_t hash = PasswordHash(text);
    if (hash == 0)
        return false;
    const QByteArray wanted = HashBytes(hash);
    const QByteArray previous = StoredHashBytes();
    const bool wasEnabled = IsEnabled();
    const bool stored = WriteSettingBytes(Section(), kPassword, wanted) && StoredHashBytes() == wanted &&
                        (wasEnabled || (SetEnabled(true) && IsEnabled()));
    if (!stored) {
        // Put the earlier hash back, in case anything reached the file.
        if (!previous.isEmpty())
            WriteSettingBytes(Section(), kPassword, previous);
        return false;
    }
    m_hash = hash;
    return true;
}

bool PasswordStore::Check(const QString& text)
{
    const QByteArray bytes = ReadSettingBytes(Section(), kPassword);
    if (bytes.size() == 4) {
        m_hash = 0;
        for (int i = 0; i < 4; ++i)
            m_hash |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    }
    return m_hash == PasswordHash(text);
}

PasswordStore& ThePasswordStore()
{
    static PasswordStore store;
    return store;
}
