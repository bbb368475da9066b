#include "ReminderTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MessageRecorder.h"
#include "settings/DataProtection.h"
#include "settings/PasswordHash.h"
#include "settings/PasswordStore.h"
#include "settings/SettingsAccess.h"
#include "storage/DataFile.h"
#include "storage/SealedFile.h"

namespace {
const QString kSection = QStringLiteral("Settings");

class DataProtectionTest : public VeluminaTest
{
protected:
    void SetUp() override
    {
        VeluminaTest::SetUp();
        ASSERT_TRUE(TheCycleDatabase().SetDay(Day(Date(2026, 11, 2), Heavy, QStringLiteral("secret note"))));
        m_days = TheCycleDatabase().Records();
    }

    // The password that opens the data file ("" when it is not sealed), and whether it holds
    // the days; the session key is left as a start with that password would set it.
    QString Opener(const QStringList& candidates, bool& daysKept)
    {
        const QByteArray file = FileBytes(GetDataFilePath());
        QString opener;
        ForgetSessionSealKey();
        if (SealedFile::IsSealed(file)) {
            opener = QStringLiteral("(none)");
            for (const QString& password : candidates) {
                std::unique_ptr<SealKey> key;
                QByteArray plain;
                QString reason;
                if (SealedFile::OpenWithPassword(file, password, key, plain, reason) == SealedFile::Opened::Ok) {
                    opener = password;
                    SetSessionSealKey(std::move(key));
                }
            }
        }
        daysKept = TheCycleDatabase().Load() && TheCycleDatabase().Records().size() == m_days.size() &&
                   TheCycleDatabase().Records()[0].note == m_days[0].note;
        return opener;
    }

    void MakeLegacyInstall(const QString& password)
    {
        ForgetSessionSealKey();
        ASSERT_TRUE(TheCycleDatabase().Save());
        const uint32_t hash = PasswordHash(password);
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>(hash >> (8 * i));
        WriteSettingBytes(kSection, QStringLiteral("Password"), bytes);
        ThePasswordStore().SetEnabled(true);
    }

    std::vector<DayRecord> m_days;
    MessageRecorder m_messages;
};
} // namespace

TEST_F(DataProtectionTest, TheStartOpensTheFileWithThePasswordAndConvertsAnEarlierInstallOnce)
{
    QString message;
    MakeLegacyInstall(QStringLiteral("tulip"));
    ASSERT_TRUE(DataProtection::NeedsPassword());

    ASSERT_EQ(DataProtection::OpenSession(QStringLiteral("tulip"), message), DataProtection::Unlock::Opened);
    EXPECT_TRUE(message.isEmpty());
    EXPECT_TRUE(DataProtection::IsOn());
    EXPECT_TRUE(ReadSettingBytes(kSection, QStringLiteral("Password")).isEmpty()) << "the check value is gone";
    EXPECT_NE(SessionSealKey(), nullptr);

    // The next start: the file alone checks the password.
    ForgetSessionSealKey();
    EXPECT_EQ(DataProtection::OpenSession(QStringLiteral("eulia"), message), DataProtection::Unlock::WrongPassword);
    EXPECT_EQ(DataProtection::OpenSession(QStringLiteral("tulip"), message), DataProtection::Unlock::Opened);

    // A sealed file asks for its password even when the switch was lost.
    ThePasswordStore().SetEnabled(false);
    EXPECT_TRUE(DataProtection::NeedsPassword());
    DataProtection::SettleSwitch();
    EXPECT_TRUE(ThePasswordStore().IsEnabled());
}

TEST_F(DataProtectionTest, AKillAtAnyStepLeavesAFileThatOpensWithTheOldOrTheNewPassword)
{
    struct Scenario
    {
        const char* what;
        std::function<void()> prepare;
        std::function<void()> change;
        QString before;
        QString after;
    };
    QString error;
    QString message;
    const Scenario scenarios[] = {
        {"switch on", [] {}, [&error] { DataProtection::SetPassword(QStringLiteral("tulip"), error); }, QString(),
         QStringLiteral("tulip")},
        {"new password", [&error] { DataProtection::SetPassword(QStringLiteral("tulip"), error); },
         [&error] { DataProtection::SetPassword(QStringLiteral("rose"), error); }, QStringLiteral("tulip"),
         QStringLiteral("rose")},
        {"switch off", [&error] { DataProtection::SetPassword(QStringLiteral("tulip"), error); },
         [&error] { DataProtection::SwitchOff(QStringLiteral("tulip"), error); }, QStringLiteral("tulip"), QString()},
        {"conversion", [this] { MakeLegacyInstall(QStringLiteral("tulip")); },
         [&message] { DataProtection::OpenSession(QStringLiteral("tulip"), message); }, QString(),
         QStringLiteral("tulip")},
    };
    const QStringList passwords{QStringLiteral("tulip"), QStringLiteral("rose")};
    for (const Scenario& scenario : scenarios) {
        bool killed = true;
        for (int step = 1; killed; ++step) {
            SCOPED_TRACE(QStringLiteral("%1, killed at step %2")
                             .arg(QString::fromLatin1(scenario.what))
                             .arg(step)
                             .toStdString());
            ForgetSessionSealKey();
            ASSERT_TRUE(DataProtection::SwitchOff(QStringLiteral("tulip"), error) ||
                        DataProtection::SwitchOff(QStringLiteral("rose"), error));
            RemoveSetting(kSection, QStringLiteral("Password"));
            scenario.prepare();
            killed = RunKilledAt(step, DataProtection::SetStepObserverForTesting, scenario.change);

            bool kept = false;
            const QString opener = Opener(passwords, kept);
            EXPECT_TRUE(kept);
            EXPECT_TRUE(opener == scenario.before || opener == scenario.after) << opener.toStdString();
            if (!killed) {
                EXPECT_EQ(opener, scenario.after) << "the change that was not stopped took effect";
            }
            // The next start asks exactly when the file (or an unconverted install) needs it,
            // and the password that opens the file lets her in.
            if (DataProtection::NeedsPassword()) {
                ForgetSessionSealKey();
                const QString password = opener.isEmpty() ? QStringLiteral("tulip") : opener;
                EXPECT_EQ(DataProtection::OpenSession(password, message), DataProtection::Unlock::Opened);
            } else {
                EXPECT_TRUE(opener.isEmpty());
                DataProtection::SettleSwitch();
            }
            EXPECT_EQ(ThePasswordStore().IsEnabled(), DataProtection::IsOn());
        }
    }
}

TEST_F(DataProtectionTest, AFailedWriteDuringAChangeNeverLetsAnEarlierPasswordDecide)
{
    QString error;
    MakeLegacyInstall(QStringLiteral("tulip"));
    const QByteArray before = FileBytes(GetDataFilePath());
    QString message;
    {
        // Room for the settings, none for a sealed file.
        ScopedFileSizeLimit full(static_cast<uint64_t>(before.size()));
        EXPECT_EQ(DataProtection::OpenSession(QStringLiteral("tulip"), message), DataProtection::Unlock::Opened);
        EXPECT_TRUE(message.contains(QStringLiteral("tries again at the next start")));
        EXPECT_FALSE(DataProtection::SetPassword(QStringLiteral("rose"), error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(FileBytes(GetDataFilePath()), before);
    EXPECT_TRUE(ThePasswordStore().IsEnabled());
    EXPECT_EQ(ReadSettingBytes(kSection, QStringLiteral("Password")).size(), 4);
    EXPECT_TRUE(DataProtection::NeedsPassword());

    // Once it fits: a new password, then off; the next start asks for nothing.
    ASSERT_TRUE(DataProtection::SetPassword(QStringLiteral("rose"), error)) << error.toStdString();
    EXPECT_EQ(DataProtection::OpenSession(QStringLiteral("tulip"), message), DataProtection::Unlock::WrongPassword);
    ASSERT_TRUE(DataProtection::SwitchOff(QStringLiteral("rose"), error)) << error.toStdString();
    EXPECT_FALSE(DataProtection::NeedsPassword());
    EXPECT_FALSE(ThePasswordStore().IsEnabled());
    EXPECT_TRUE(ReadSettingBytes(kSection, QStringLiteral("Password")).isEmpty());
}
