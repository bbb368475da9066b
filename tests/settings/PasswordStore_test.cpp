#include "TestSupport.h"

#include "platform/SharedGenerator.h"
#include "settings/PasswordHash.h"
#include "settings/PasswordStore.h"
#include "settings/SettingsAccess.h"

#include <QFile>

#include <sys/resource.h>

#include <csignal>

namespace {
QString Section()
{
    return QString::fromUtf16(kSettingsSection);
}

// Writes beyond `bytes` fail for its lifetime, as on a full disk (for root too).
class ScopedFullDisk
{
public:
    explicit ScopedFullDisk(rlim_t bytes)
    {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    ScopedFullDisk(const ScopedFullDisk&) = delete;
    ScopedFullDisk& operator=(const ScopedFullDisk&) = delete;

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int);
};
} // namespace

class PasswordStoreTest : public VeluminaTest
{
};

TEST_F(PasswordStoreTest, HashIsTheMersenneTwisterMixOfTheCodeUnits)
{
    // Reference values from an independent implementation of MT19937 and the hash: the same
    // text opens the program in every process and on every build.
    EXPECT_EQ(PasswordHash(QString()), 0u);
    EXPECT_EQ(PasswordHash(QStringLiteral("a")), 0xd641f83bu);
    EXPECT_EQ(PasswordHash(QStringLiteral("secret")), 0xc91dcfa6u);
    EXPECT_EQ(PasswordHash(QStringLiteral("Secret")), 0x62ca820fu);
    EXPECT_EQ(PasswordHash(QStringLiteral("A")), 0x37f91f6fu);
    EXPECT_EQ(PasswordHash(QStringLiteral("Velumina")), 0x317657b4u);
    EXPECT_EQ(PasswordHash(QStringLiteral("velumina")), 0x0842f43eu);
    EXPECT_EQ(PasswordHash(QString::fromUtf16(u"Passwort \u00fc\u20ac\U0001F600")), 0x77767878u);
}

TEST_F(PasswordStoreTest, EmptyTextHashesToZeroWithoutDrawing)
{
    SharedGenerator().seed(12345u);
    SharedGenerator()();
    EXPECT_EQ(PasswordHash(QString()), 0u);
    EXPECT_TRUE(SharedGenerator() == std::mt19937(0u)); // seeded with 0, nothing drawn
}

TEST_F(PasswordStoreTest, StoresTheHashAndChecksAgainstIt)
{
    PasswordStore store;
    EXPECT_FALSE(store.IsEnabled());
    store.SetEnabled(true);
    EXPECT_TRUE(store.IsEnabled());
    EXPECT_EQ(ReadSettingInt(Section(), QStringLiteral("PasswordEnabled"), -1), 1);

    EXPECT_TRUE(store.SetPassword(QStringLiteral("Velumina")));
    EXPECT_EQ(ReadSettingBytes(Section(), QStringLiteral("Password")), QByteArray::fromHex("b4577631"));
    EXPECT_TRUE(store.Check(QStringLiteral("Velumina")));
    EXPECT_FALSE(store.Check(QStringLiteral("velumina")));
    EXPECT_FALSE(store.Check(QString()));

    // Another process reads the stored hash.
    PasswordStore other;
    EXPECT_TRUE(other.Check(QStringLiteral("Velumina")));
    EXPECT_FALSE(other.Check(QStringLiteral("VELUMINA")));

    EXPECT_FALSE(store.SetPassword(QString()));
    EXPECT_EQ(ReadSettingBytes(Section(), QStringLiteral("Password")), QByteArray(4, '\0'));
    store.SetEnabled(false);
    EXPECT_FALSE(store.IsEnabled());
}

TEST_F(PasswordStoreTest, AStoredHashOfAnotherLengthCountsAsNone)
{
    WriteSettingBytes(Section(), QStringLiteral("Password"), QByteArray::fromHex("b45776"));
    PasswordStore fresh;
    EXPECT_TRUE(fresh.Check(QString())); // the hash of this process: 0
    EXPECT_FALSE(fresh.Check(QStringLiteral("Velumina")));

    PasswordStore used;
    used.SetPassword(QStringLiteral("a"));
    WriteSettingBytes(Section(), QStringLiteral("Password"), QByteArray::fromHex("0102030405"));
    EXPECT_TRUE(used.Check(QStringLiteral("a"))); // keeps the hash it stored
}

TEST_F(PasswordStoreTest, ProtectionGoesOnOnlyWithAStoredNonZeroHash)
{
    PasswordStore store;
    EXPECT_FALSE(store.EnableWithPassword(QString()));
    EXPECT_FALSE(store.IsEnabled());
    EXPECT_TRUE(ReadSettingBytes(Section(), QStringLiteral("Password")).isEmpty());

    ASSERT_TRUE(store.EnableWithPassword(QStringLiteral("secret")));
    EXPECT_TRUE(store.IsEnabled());
    EXPECT_EQ(ReadSettingBytes(Section(), QStringLiteral("Password")), QByteArray::fromHex("a6cf1dc9"));
    PasswordStore other;
    EXPECT_TRUE(other.Check(QStringLiteral("secret")));
    EXPECT_FALSE(other.Check(QStringLiteral("Secret")));

    // A new password while protection is on replaces the hash.
    ASSERT_TRUE(store.EnableWithPassword(QStringLiteral("Secret")));
    EXPECT_EQ(ReadSettingBytes(Section(), QStringLiteral("Password")), QByteArray::fromHex("0f82ca62"));
    EXPECT_TRUE(store.IsEnabled());
}

TEST_F(PasswordStoreTest, AReadOnlySettingsFileKeepsProtectionAsItWas)
{
    PasswordStore store;
    ASSERT_TRUE(store.EnableWithPassword(QStringLiteral("secret")));
    const QString path = SettingsFilePath();
    const QByteArray before = FileBytes(path);
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));

    EXPECT_FALSE(IsSettingsWritable());
    const int failures = SettingsWriteFailureCount();
    EXPECT_FALSE(store.EnableWithPassword(QStringLiteral("other")));
    EXPECT_FALSE(store.SetEnabled(false));
    EXPECT_GT(SettingsWriteFailureCount(), failures);
    EXPECT_TRUE(store.IsEnabled());
    EXPECT_TRUE(PasswordStore().Check(QStringLiteral("secret")));
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), QFileDevice::ReadOwner)
        << "the file stays read-only";

    // Made writable again: nothing refused earlier comes back with the next write.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_TRUE(IsSettingsWritable());
    ASSERT_TRUE(WriteSettingInt(Section(), QStringLiteral("SelectedTheme"), 2));
    EXPECT_TRUE(store.IsEnabled());
    EXPECT_TRUE(PasswordStore().Check(QStringLiteral("secret")));

    // Off, protection stays off when the password cannot be stored.
    ASSERT_TRUE(store.SetEnabled(false));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    EXPECT_FALSE(store.EnableWithPassword(QStringLiteral("other")));
    EXPECT_FALSE(store.IsEnabled());
}

TEST_F(PasswordStoreTest, AWriteThatFailsOnAFullDiskIsNotSeenLater)
{
    PasswordStore store;
    ASSERT_TRUE(store.EnableWithPassword(QStringLiteral("secret")));
    ASSERT_TRUE(store.SetEnabled(false));
    {
        ScopedFullDisk full(8);
        EXPECT_FALSE(store.EnableWithPassword(QStringLiteral("other")));
        EXPECT_FALSE(store.SetEnabled(true));
        // A failed write leaves nothing behind in this process either.
        EXPECT_FALSE(store.IsEnabled());
        EXPECT_TRUE(PasswordStore().Check(QStringLiteral("secret")));
    }
    ASSERT_TRUE(WriteSettingInt(Section(), QStringLiteral("SelectedTheme"), 2));
    EXPECT_FALSE(store.IsEnabled()) << "the refused switch was not written with the next value";
    EXPECT_TRUE(PasswordStore().Check(QStringLiteral("secret")));
}
