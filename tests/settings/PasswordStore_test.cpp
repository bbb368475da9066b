#include "TestSupport.h"

#include "platform/SharedGenerator.h"
#include "settings/PasswordHash.h"
#include "settings/PasswordStore.h"
#include "settings/SettingsAccess.h"

namespace {
QString Section()
{
    return QString::fromUtf16(kSettingsSection);
}

} // namespace

class PasswordStoreTest : public VeluminaTest
{
};

TEST_F(PasswordStoreTest, HashIsTheMersenneTwisterMixOfTheCodeUnits)
{
    // Reference values from an independent implementation of MT19937 and the hash: the same
    // text opens the program in every process and on every build ("Velumina" below).
    EXPECT_EQ(PasswordHash(QString()), 0u);
    EXPECT_EQ(PasswordHash(QStringLiteral("a")), 0xd641f83bu);
    EXPECT_EQ(PasswordHash(QStringLiteral("secret")), 0xc91dcfa6u);
    EXPECT_EQ(PasswordHash(QStringLiteral("Secret")), 0x62ca820fu);
    EXPECT_EQ(PasswordHash(QString::fromUtf16(u"Passwort \u00fc\u20ac\U0001F600")), 0x77767878u);
}

TEST_F(PasswordStoreTest, AnEarlierCheckValueIsReadAsStoredAndCanBeRemoved)
{
    PasswordStore store;
    EXPECT_FALSE(store.IsEnabled());
    store.SetEnabled(true);
    EXPECT_EQ(ReadSettingInt(Section(), QStringLiteral("PasswordEnabled"), -1), 1);

    WriteSettingBytes(Section(), QStringLiteral("Password"), QByteArray::fromHex("b4577631"));
    EXPECT_TRUE(store.Check(QStringLiteral("Velumina")));
    EXPECT_FALSE(store.Check(QStringLiteral("velumina")));
    EXPECT_FALSE(store.Check(QString()));

    // A value of another length counts as none: the hash read last is compared.
    WriteSettingBytes(Section(), QStringLiteral("Password"), QByteArray::fromHex("b45776"));
    EXPECT_TRUE(store.Check(QStringLiteral("Velumina")));
    EXPECT_TRUE(PasswordStore().Check(QString()));

    EXPECT_TRUE(store.ForgetCheckValue());
    EXPECT_TRUE(store.StoredHashBytes().isEmpty());
    EXPECT_FALSE(FileBytes(SettingsFilePath()).contains("Password="));
}
