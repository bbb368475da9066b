#include "TestSupport.h"

#include "settings/PasswordHash.h"

TEST(PasswordHashTest, HashIsTheMersenneTwisterMixOfTheCodeUnits)
{
    // Reference values from an independent implementation of MT19937 and the hash: check values
    // stored by earlier versions are compared with these when her install is converted.
    EXPECT_EQ(PasswordHash(QString()), 0u);
    EXPECT_EQ(PasswordHash(QStringLiteral("a")), 0xd641f83bu);
    EXPECT_EQ(PasswordHash(QStringLiteral("secret")), 0xc91dcfa6u);
    EXPECT_EQ(PasswordHash(QStringLiteral("Secret")), 0x62ca820fu);
    EXPECT_EQ(PasswordHash(QString::fromUtf16(u"Passwort \u00fc\u20ac\U0001F600")), 0x77767878u);
}
