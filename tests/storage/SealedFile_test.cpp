#include "StorageTestSupport.h"

#include "storage/DataFile.h"
#include "storage/SealedFile.h"

#include <QFile>

namespace {
using SealedFileTest = StorageTest;

SealKey::Salt SaltOf(const QByteArray& file)
{
    SealCost cost;
    SealKey::Salt salt{};
    QString reason;
    EXPECT_TRUE(SealedFile::ReadKeyParameters(file, cost, salt, reason)) << reason.toStdString();
    return salt;
}
} // namespace

TEST_F(SealedFileTest, OpensOnlyWithTheKeyOfItsPasswordAndEveryWriteIsFresh)
{
    const QByteArray plain("the scrambled days");
    std::unique_ptr<SealKey> key = SealKey::DeriveNew(QStringLiteral("tulip"));
    ASSERT_TRUE(key);
    const QByteArray first = SealedFile::Seal(plain, *key);
    const QByteArray second = SealedFile::Seal(plain, *key);
    EXPECT_TRUE(SealedFile::IsSealed(first));
    EXPECT_EQ(first.size(), SealedFile::kHeaderSize + plain.size() + 16);
    EXPECT_NE(first.mid(SealedFile::kHeaderSize), second.mid(SealedFile::kHeaderSize)) << "every write is fresh";
    EXPECT_FALSE(first.contains("scrambled"));

    struct Case
    {
        const char* what;
        QString password;
        SealedFile::Opened expected;
    };
    const Case cases[] = {
        {"her password", QStringLiteral("tulip"), SealedFile::Opened::Ok},
        {"another letter case", QStringLiteral("Tulip"), SealedFile::Opened::WrongKey},
        {"what the old check value confused with it", QStringLiteral("eulia"), SealedFile::Opened::WrongKey},
        {"empty", QString(), SealedFile::Opened::WrongKey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<SealKey> opened;
        QByteArray out;
        QString reason;
        EXPECT_EQ(SealedFile::OpenWithPassword(second, c.password, opened, out, reason), c.expected);
        EXPECT_EQ(out, c.expected == SealedFile::Opened::Ok ? plain : QByteArray());
        EXPECT_EQ(opened != nullptr, c.expected == SealedFile::Opened::Ok);
    }
    // The kept key opens later writes without deriving again.
    QByteArray out;
    QString reason;
    EXPECT_EQ(SealedFile::Open(first, *key, out, reason), SealedFile::Opened::Ok);
    EXPECT_EQ(out, plain);
}

TEST_F(SealedFileTest, EveryChangedByteIsRefusedAndImpossibleCostsAreNotObeyed)
{
    std::unique_ptr<SealKey> key = SealKey::DeriveNew(QStringLiteral("tulip"));
    const QByteArray file = SealedFile::Seal(QByteArray("days"), *key);
    for (qsizetype i = 0; i < file.size(); ++i) {
        for (const char flip : {'\x01', '\x80'}) {
            QByteArray changed = file;
            changed[i] = static_cast<char>(changed[i] ^ flip);
            QByteArray out;
            QString reason;
            EXPECT_NE(SealedFile::Open(changed, *key, out, reason), SealedFile::Opened::Ok) << "byte " << i;
            EXPECT_TRUE(out.isEmpty());
        }
    }
    for (const qsizetype size : {qsizetype{0}, qsizetype{20}, file.size() - 1}) {
        QByteArray out;
        QString reason;
        EXPECT_NE(SealedFile::Open(file.left(size), *key, out, reason), SealedFile::Opened::Ok) << size;
    }
    // Cut inside its tag, the file is said to be cut short: the password is not blamed.
    QByteArray cutOut;
    QString cutReason;
    SealedFile::Open(file.left(SealedFile::kHeaderSize + 8), *key, cutOut, cutReason);
    EXPECT_EQ(cutReason, QStringLiteral("is cut short"));

    // A header that asks for more than 256 MiB, or absurd passes, is damaged; nothing is derived.
    for (const auto& [at, value] : {std::pair{16, 256u * 1024 + 1}, {16, 1u}, {12, 0u}, {12, 1000u}, {8, 2u}}) {
        QByteArray changed = file;
        for (int b = 0; b < (at == 8 ? 2 : 4); ++b)
            changed[at + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
        std::unique_ptr<SealKey> opened;
        QByteArray out;
        QString reason;
        EXPECT_EQ(SealedFile::OpenWithPassword(changed, QStringLiteral("tulip"), opened, out, reason),
                  SealedFile::Opened::Damaged)
            << at << " " << value;
        EXPECT_FALSE(reason.isEmpty());
    }
}

TEST_F(SealedFileTest, TheDataFileIsSealedWhileASessionKeyIsSetAndAChangedOneIsNeverOverwritten)
{
    SetSessionSealKey(SealKey::DeriveNew(QStringLiteral("tulip")));
    std::vector<DayRecord> records = {MakeRecord(2020, 1, 2, Heavy),
                                      MakeRecord(2021, 3, 4, Medium, QStringLiteral("private note"))};
    ASSERT_TRUE(Database().ReplaceRecords(records));
    ASSERT_TRUE(Database().Save());
    const QByteArray sealed = FileBytes(DataPath());
    ASSERT_TRUE(SealedFile::IsSealed(sealed));
    EXPECT_FALSE(sealed.contains(Utf16Bytes(QStringLiteral("private note"))));
    // A save keeps the password key (and its salt); the write is new.
    ASSERT_TRUE(Database().Save());
    const QByteArray again = FileBytes(DataPath());
    EXPECT_EQ(SaltOf(again), SaltOf(sealed));
    EXPECT_NE(again, sealed);

    ASSERT_TRUE(Database().Load());
    EXPECT_TRUE(SameRecords(Database().Records(), records));
    EXPECT_TRUE(m_messages.Messages().empty());

    // A byte of the header's cost, its salt, the nonce, the text and the tag: refused, copied
    // aside and never overwritten.
    for (const qsizetype at : {qsizetype{13}, qsizetype{25}, qsizetype{60}, qsizetype{90}, again.size() - 1}) {
        SCOPED_TRACE(at);
        QByteArray changed = again;
        changed[at] = static_cast<char>(changed[at] ^ 0x20);
        WriteFileBytes(DataPath(), changed);
        QFile::remove(DataPath() + QStringLiteral(".unreadable"));
        m_messages.Clear();
        EXPECT_FALSE(Database().Load());
        EXPECT_TRUE(Database().Records().empty());
        ASSERT_EQ(m_messages.Messages().size(), 1u);
        EXPECT_TRUE(m_messages.Texts()[0].contains(QStringLiteral("changed or damaged since it was saved")));
        EXPECT_EQ(FileBytes(DataPath() + QStringLiteral(".unreadable")), changed);
        EXPECT_FALSE(Database().Save());
        EXPECT_EQ(FileBytes(DataPath()), changed);
    }

    // Without the key (a wrong password never gets this far) nothing is loaded or overwritten.
    WriteFileBytes(DataPath(), again);
    ForgetSessionSealKey();
    EXPECT_FALSE(Database().Load());
    EXPECT_TRUE(Database().Records().empty());
    EXPECT_FALSE(Database().Save());
    EXPECT_EQ(FileBytes(DataPath()), again);
}
