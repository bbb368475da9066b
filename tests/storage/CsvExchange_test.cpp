#include "StorageTestSupport.h"
#include "storage/CsvExchange.h"
#include "storage/DayImporter.h"

#include <QDir>

namespace {
class CsvExchangeTest : public StorageTest
{
protected:
    // Writes `text` as a day file (UTF-16LE, no byte-order mark) and returns its path.
    QString DayFile(const QString& text, const QString& name = QStringLiteral("days.csv"))
    {
        const QString path = TempPath(name);
        WriteFileBytes(path, Utf16Bytes(text));
        return path;
    }
};

// Notes made of what the export escapes, the letters that follow a backslash, and characters
// from beyond the Basic Multilingual Plane.
const QString kEscapingAlphabet = QString::fromUtf16(u"\t\n\r;\\\\\\nrtsab \u00e9\u20ac\U0001F600");
} // namespace

TEST_F(CsvExchangeTest, ExportDaysWritesOneLinePerRecord)
{
    const QString path = TempPath(QStringLiteral("days.csv"));
    ASSERT_TRUE(Database().ExportDays(path));
    EXPECT_TRUE(FileBytes(path).isEmpty());

    ASSERT_TRUE(Database().ReplaceRecords({
        MakeRecord(2010, 3, 5, Medium),
        MakeRecord(2010, 3, 6, Heavy | kNoRecordFlag),
        MakeRecord(2010, 3, 7, Slight, QStringLiteral("a;b\nc")),
        MakeRecord(2010, 3, 8, None, QStringLiteral("\t")),
        MakeRecord(2010, 3, 9, kOvulationFlag, QString::fromUtf16(u"\x01\\\r\U0001F600")),
    }));
    ASSERT_TRUE(Database().ExportDays(path));
    const QString expected = QStringLiteral("2010-03-05;2\r\n"
                                            "2010-03-06;-2147483645\r\n"
                                            "2010-03-07;257;a\\sb\\nc\r\n"
                                            "2010-03-08;256;\\t\r\n") +
                             QString::fromUtf16(u"2010-03-09;272; \\\\\\r\U0001F600\r\n");
    EXPECT_EQ(FileBytes(path).toHex(), Utf16Bytes(expected).toHex());
    EXPECT_TRUE(m_messages.Messages().empty());
}

TEST_F(CsvExchangeTest, ExportCyclesWritesTheHeaderAndOneRowPerCycle)
{
    const QString path = TempPath(QStringLiteral("cycles.csv"));

    std::vector<DayRecord> records;
    for (int day = 4; day <= 7; ++day)
        records.push_back(MakeRecord(2026, 1, day, Heavy));
    for (int day = 1; day <= 3; ++day)
        records.push_back(MakeRecord(2026, 2, day, Medium));
    ASSERT_TRUE(Database().ReplaceRecords(records));
    std::vector<CycleRecord> rows;
    ASSERT_GE(Database().BuildCycleList(rows), 2);
    ASSERT_TRUE(Database().ExportCycles(path));
    const QString text =
        QString::fromUtf16(reinterpret_cast<const char16_t*>(FileBytes(path).constData()), FileBytes(path).size() / 2);
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(rows.size()) + 2); // header, rows, nothing after the last CR LF
    EXPECT_EQ(lines[0], QStringLiteral("First Day;Bleeding Days;Cycle Length"));
    EXPECT_EQ(lines[1], QStringLiteral("1/4/26;4;28"));
    EXPECT_EQ(lines[2].section(QLatin1Char(';'), 0, 1), QStringLiteral("2/1/26;3"));
}

TEST_F(CsvExchangeTest, ImportReadsDaysSkipsWhatTheFileCannotHoldAndStopsAtAForeignLine)
{
    const QString longNote(800, QChar(u'n'));
    QString straddling(kMaxNoteLength - 1, QChar(u'm'));
    straddling += QString::fromUtf16(u"\U0001F600tail");
    const QString text = QStringLiteral("2010-03-05;256\r\n" // note bit without a note
                                        "2010-03-06;2\r\n"   //
                                        "2010-03-06;259;later\r\n"
                                        "2010-03-01;x\r\n" // 12 characters: flags 0
                                        "2010-13-01;2\r\n" // skipped dates ...
                                        "1899-12-31;2\r\n" //
                                        "0000-01-01;2\r\n" //
                                        "2010-02-00;2\r\n" //
                                        "2010-02-31;1\r\n" // ... and a day no calendar has
                                        "2011-01-01;256;") +
                         longNote + QStringLiteral("\r\n2011-01-02;257;") + straddling +
                         QStringLiteral("\n2011-01-03;3;ignored note\r\n"
                                        "2011-01-04;-2147483645\r\n"
                                        "Total;9\r\n"
                                        "2011-01-05;3\r\n");
    CycleDatabase::ImportReport report;
    ASSERT_TRUE(Import(DayFile(text), &report));
    const std::vector<DayRecord> expected = {
        MakeRecord(2010, 3, 1, 0),
        MakeRecord(2010, 3, 5, 0),
        MakeRecord(2010, 3, 6, Heavy, QStringLiteral("later")),
        MakeRecord(2011, 1, 1, None, longNote.left(kMaxNoteLength)),
        MakeRecord(2011, 1, 2, Slight, straddling.left(kMaxNoteLength - 1)),
        MakeRecord(2011, 1, 3, Heavy),
        MakeRecord(2011, 1, 4, Heavy | kNoRecordFlag),
    };
    EXPECT_TRUE(SameRecords(Database().Records(), expected));
    EXPECT_EQ(report.imported, 7);
    EXPECT_EQ(report.skipped, 5);
    EXPECT_EQ(report.shortened, 2);
    EXPECT_EQ(report.stoppedAtLine, 14);
    EXPECT_TRUE(m_messages.Messages().empty());

    // A line longer than the reader takes ends the import; none of it is imported, and the
    // lines are counted as the file has them.
    const QString longLine = QStringLiteral("2012-01-02;256;") + QString(3000, QChar(u'z'));
    ASSERT_TRUE(Import(DayFile(QStringLiteral("2012-01-01;2\r\n") + longLine + QStringLiteral("\r\n2012-01-03;2\r\n")),
                       &report));
    ASSERT_EQ(Database().Records().size(), 1u);
    EXPECT_TRUE(IsSameDate(Database().Records()[0].date, Date(2012, 1, 1)));
    EXPECT_EQ(report.stoppedAtLine, 2);
    EXPECT_EQ(report.stopReason, QStringLiteral("is longer than 2047 characters"));
}

TEST_F(CsvExchangeTest, ALineThatEndsTheReadingIsNamed)
{
    // Read up to a line that is not a day line: the days before it, and what that line is.
    const struct
    {
        const char* name;
        QByteArray after;
        QString reason;
    } stops[] = {
        {"blank", Utf16Bytes(QStringLiteral("\r\n2011-02-01;1\r\n")), QStringLiteral("is blank")},
        {"mark", QByteArray("\xff\xfe") + Utf16Bytes(QStringLiteral("2011-02-01;1\r\n")),
         QStringLiteral("begins with a byte-order mark, which Velumina's day files do not have")},
        {"UTF-8", QByteArray("2011-02-01;1\r\n2011-02-02;1\r\n"),
         QStringLiteral("is UTF-8 text, but Velumina's day files are UTF-16 text")},
        // 67507 would be 1971 in the file's 16 bits.
        {"year beyond 16 bits", Utf16Bytes(QStringLiteral("67507-03-05;2\r\n2011-02-01;1\r\n")),
         QStringLiteral("is not a day line such as \"2010-03-05;2\"")},
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.name);
        ImportedDays days;
        QString error;
        ASSERT_TRUE(DayImporter::ReadBytes(Utf16Bytes(QStringLiteral("2011-01-01;3\r\n2011-01-02;2\r\n")) + stop.after,
                                           QStringLiteral("f"), days, error));
        EXPECT_EQ(days.records.size(), 2u);
        EXPECT_EQ(days.report.stoppedAtLine, 3);
        EXPECT_EQ(days.report.stopReason, stop.reason);
    }
}

TEST_F(CsvExchangeTest, AFailedImportChangesNothing)
{
    ASSERT_TRUE(Database().SetDay(MakeRecord(2010, 1, 1, Heavy, QStringLiteral("kept"))));
    ASSERT_TRUE(Database().SetDay(MakeRecord(2010, 1, 2, Medium)));
    const std::vector<DayRecord> before = Database().Records();
    const QByteArray stored = FileBytes(DataPath());

    QString tooMany;
    CalDate day = Date(1980, 1, 1);
    for (int i = 0; i <= CycleDatabase::kMaxRecords; ++i) {
        tooMany += IsoDayText(day) + QStringLiteral(";0\r\n");
        NextDay(day);
    }
    WriteFileBytes(TempPath(QStringLiteral("odd.csv")), QByteArray("2"));
    QDir(TempPath(QString())).mkdir(QStringLiteral("folder.csv"));
    // Files in no known form are in DayImporter_test.cpp.
    const QStringList paths = {TempPath(QStringLiteral("odd.csv")), TempPath(QStringLiteral("missing.csv")),
                               TempPath(QStringLiteral("folder.csv")), DayFile(tooMany)};
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        m_messages.Clear();
        EXPECT_FALSE(Import(path));
        EXPECT_TRUE(SameRecords(Database().Records(), before));
        EXPECT_EQ(FileBytes(DataPath()), stored);
        ASSERT_EQ(m_messages.Messages().size(), 1u);
        EXPECT_TRUE(m_messages.Texts()[0].contains(QDir::toNativeSeparators(path)))
            << m_messages.Texts()[0].toStdString();
    }

    // Exactly as many dates as the database holds are imported.
    tooMany.truncate(tooMany.lastIndexOf(QStringLiteral("\r\n"), tooMany.size() - 3) + 2);
    ASSERT_TRUE(Import(DayFile(tooMany)));
    EXPECT_EQ(Database().Records().size(), static_cast<size_t>(CycleDatabase::kMaxRecords));
}

TEST_F(CsvExchangeTest, RandomDatabasesExportAndImportBackIdentical)
{
    for (const unsigned seed : {21u, 22u, 23u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::vector<DayRecord> records = RandomRecords(random, 400, 1971, 2099, kEscapingAlphabet);
        // Days no calendar has are skipped by the import.
        std::erase_if(records, [](const DayRecord& record) { return !ToQDate(record.date).isValid(); });
        // The longest line the export writes: 768 characters, each written as two.
        records.push_back(MakeRecord(2099, 12, 31, 0xFFFFFFFFu, QString(kMaxNoteLength, QChar(u'\\'))));
        ASSERT_TRUE(Database().ReplaceRecords(records));
        const QString path = TempPath(QStringLiteral("round.csv"));
        ASSERT_TRUE(Database().ExportDays(path));
        ResetCycleDatabaseForTesting();
        CycleDatabase::ImportReport report;
        ASSERT_TRUE(Import(path, &report));
        EXPECT_TRUE(SameRecords(Database().Records(), records));
        EXPECT_EQ(report.imported, static_cast<int>(records.size()));
        EXPECT_EQ(report.shortened, 0) << "a note of the longest length is not cut";
        EXPECT_EQ(report.stoppedAtLine, 0);
        // ... and the other road: the data file the import saved loads back the same.
        ResetCycleDatabaseForTesting();
        ASSERT_TRUE(Database().Load());
        EXPECT_TRUE(SameRecords(Database().Records(), records));
    }
    EXPECT_TRUE(m_messages.Messages().empty());
}
