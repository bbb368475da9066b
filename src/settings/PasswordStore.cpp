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

QByteArray PasswordStore::StoredHashBytes() const
{
    return ReadSettingBytes(Section(), kPassword);
}

bool PasswordStore::ForgetCheckValue()
{
    if (StoredHashBytes().isEmpty())
        return true;
    return RemoveSetting(Section(), kPassword);
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
