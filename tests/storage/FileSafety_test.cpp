#include "StorageTestSupport.h"

#include "platform/AtomicFile.h"
#include "platform/Clock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

// What the data file and the day files meet on a real disk: other permissions, named pipes,
// links, and the leftovers of saves that were cut short.

namespace {
using FileSafetyTest = StorageTest;

void SetAge(const QString& path, int seconds)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime::fromSecsSinceEpoch(CurrentTime()).addSecs(-seconds),
                                 QFileDevice::FileModificationTime));
}
} // namespace

TEST_F(FileSafetyTest, SavesAndExportsLeaveTheFilesToTheUserAlone)
{
    // A data file restored from a backup, readable by everybody, and files to export over.
    ASSERT_TRUE(Database().SetDay(Day(Date(2026, 11, 20), Heavy, QStringLiteral("private"))));
    const QString days = TempPath(QStringLiteral("days.csv"));
    const QString cycles = TempPath(QStringLiteral("cycles.csv"));
    for (const QString& path : {DataPath(), days, cycles}) {
        WriteFileBytes(path, QByteArray("old"));
        ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ReadGroup | QFileDevice::ReadOther));
        ASSERT_EQ(FileMode(path), 0644);
    }
    EXPECT_TRUE(Database().Save());
    EXPECT_TRUE(Database().ExportDays(days));
    EXPECT_TRUE(Database().ExportCycles(cycles));
    for (const QString& path : {DataPath(), days, cycles})
        EXPECT_EQ(FileMode(path), 0600) << path.toStdString();
}

TEST_F(FileSafetyTest, ASaveThatDoesNotFitIsAFailureHoweverSmallItIs)
{
    // A few bytes, the usual size of her data: written through a buffer that is emptied only
    // when the file is committed.
    ASSERT_TRUE(Database().SetDay(Day(Date(2026, 11, 20), Heavy)));
    ASSERT_TRUE(Database().SetDay(Day(Date(2026, 11, 21), Heavy)));
    const QByteArray before = FileBytes(DataPath());
    m_messages.Clear();
    {
        // A disk that has room for a part of the file only.
        ScopedFileSizeLimit limit(static_cast<uint64_t>(before.size()) - 4);
        EXPECT_FALSE(Database().SetDay(Day(Date(2026, 11, 22), Heavy)));
    }
    EXPECT_EQ(FileBytes(DataPath()), before);
    EXPECT_EQ(Database().Records().size(), 2u);
    EXPECT_EQ(m_messages.Messages().size(), 1u);
}

TEST_F(FileSafetyTest, ANamedPipeIsNeverOpenedNorReplaced)
{
    // The data file.
    ASSERT_TRUE(MakePipe(DataPath()));
    EXPECT_FALSE(RunBesidePipe(DataPath(), [this] { return Database().Load(); }));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_TRUE(m_messages.Texts()[0].contains(QStringLiteral("not a regular file")))
        << m_messages.Texts()[0].toStdString();
    m_messages.Clear();
    EXPECT_FALSE(Database().SetDay(Day(Date(2026, 11, 20), Heavy)));
    EXPECT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_TRUE(IsPipe(DataPath()));
    EXPECT_TRUE(QDir(DocumentsPath()).entryList({QStringLiteral("*.unreadable*")}, QDir::AllEntries).isEmpty());

    // Saving over it is refused even when the load did not see it.
    ASSERT_TRUE(QFile::remove(DataPath()));
    ASSERT_TRUE(Database().Load());
    ASSERT_TRUE(QFile::remove(DataPath()));
    ASSERT_TRUE(MakePipe(DataPath()));
    m_messages.Clear();
    EXPECT_FALSE(Database().SetDay(Day(Date(2026, 11, 20), Heavy)));
    ASSERT_EQ(m_messages.Messages().size(), 1u);
    EXPECT_TRUE(m_messages.Texts()[0].contains(QStringLiteral("not a regular file")));
    EXPECT_TRUE(IsPipe(DataPath()));
}

TEST_F(FileSafetyTest, OnlyLeftoversOfOwnSavesGoAndHerFilesStayWhateverTheirNameAndAge)
{
    ASSERT_TRUE(Database().SetDay(Day(Date(2026, 11, 20), Heavy)));
    const QByteArray saved = FileBytes(DataPath());
    const QDir documents(DocumentsPath());
    auto path = [&documents](const QString& name) { return documents.filePath(name); };
    // A process that has ended: its number names nobody.
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const QString ended = QString::number(child);

    // Saves of an ended process cut short: whole, cut inside the header, empty.
    const QString gone = QStringLiteral(".Velumina.dat.%1.velumina-saving").arg(ended);
    WriteFileBytes(path(gone), saved.left(5));
    SetAge(path(gone), 120);
    // What must stay: her copies (as "cp -p" makes them, old and with the data file's bytes),
    // names QSaveFile would have drawn, a save that may still run (young, or of a live process),
    // other files, a link.
    const QStringList kept = {QStringLiteral("Velumina.dat.myCopy"),
                              QStringLiteral("Velumina.dat.BackUp"),
                              QStringLiteral("Velumina.dat.QxWvTz"),
                              QStringLiteral("Velumina.dat.unreadable"),
                              QStringLiteral(".Velumina.dat.1.velumina-saving"),
                              QStringLiteral(".Velumina.dat.%1.velumina-saving-copy").arg(ended),
                              QStringLiteral(".Velumina.dat.%1.velumina-savin").arg(ended)};
    for (const QString& name : kept) {
        WriteFileBytes(path(name), saved);
        SetAge(path(name), 86400 * 400);
    }
    const QString young = QStringLiteral(".Velumina.dat.%1.velumina-saving").arg(ended.toInt() == 2 ? 3 : 2);
    WriteFileBytes(path(young), saved);
    ASSERT_TRUE(QFile::link(path(QStringLiteral("Velumina.dat.myCopy")), path(QStringLiteral("Velumina.dat.StUvWx"))));

    ASSERT_TRUE(Database().SetDay(Day(Date(2026, 11, 21), Heavy)));
    ASSERT_TRUE(Database().ExportDays(TempPath(QStringLiteral("days.csv"))));
    const QStringList left = documents.entryList(QDir::Files | QDir::System | QDir::Hidden);
    EXPECT_FALSE(left.contains(gone));
    for (const QString& name : kept + QStringList{young, QStringLiteral("Velumina.dat.StUvWx")})
        EXPECT_TRUE(left.contains(name)) << name.toStdString();
    EXPECT_EQ(left.size(), kept.size() + 3) << left.join(u' ').toStdString();
    // Every save leaves only the file itself behind, in the data and the day file's folders.
    EXPECT_EQ(QDir(TempPath(QString())).entryList({QStringLiteral(".*saving")}, QDir::Files | QDir::Hidden).size(), 0);

    // Where the file system offers no unnamed files, the hidden name goes with the save.
    SetWriteFaultForTesting(WriteStep::Create, EOPNOTSUPP);
    EXPECT_TRUE(Database().SetDay(Day(Date(2026, 11, 23), Heavy)));
    SetWriteFaultForTesting(WriteStep::Create, 0);
    EXPECT_EQ(documents.entryList(QDir::Files | QDir::System | QDir::Hidden), left);
}

TEST_F(FileSafetyTest, AFailedWriteNamesItsCauseAndKeepsTheEarlierFile)
{
    ASSERT_TRUE(Database().SetDay(Day(Date(2026, 11, 20), Heavy)));
    const QString days = TempPath(QStringLiteral("days.csv"));
    ASSERT_TRUE(Database().ExportDays(days));
    const QByteArray before = FileBytes(DataPath());
    const QByteArray exported = FileBytes(days);
    const struct
    {
        WriteStep step;
        int error;
        const char* cause;
    } faults[] = {
        {WriteStep::Write, ENOSPC, "the disk is full"},
        {WriteStep::Create, EACCES, "no permission to write"},
        {WriteStep::Replace, EPERM, "no permission to write"},
        {WriteStep::Replace, EIO, "input/output error"},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.cause);
        SetWriteFaultForTesting(fault.step, fault.error);
        m_messages.Clear();
        EXPECT_FALSE(Database().SetDay(Day(Date(2026, 11, 21), Heavy)));
        EXPECT_FALSE(Database().ExportDays(days));
        SetWriteFaultForTesting(fault.step, 0);
        ASSERT_EQ(m_messages.Messages().size(), 2u);
        for (const QString& text : m_messages.Texts()) {
            EXPECT_TRUE(text.contains(QString::fromLatin1(fault.cause))) << text.toStdString();
            EXPECT_FALSE(text.contains(QStringLiteral("Unknown error")));
        }
        EXPECT_EQ(FileBytes(DataPath()), before);
        EXPECT_EQ(FileBytes(days), exported);
        EXPECT_EQ(QDir(DocumentsPath()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
    EXPECT_EQ(Database().Records().size(), 1u);
}
