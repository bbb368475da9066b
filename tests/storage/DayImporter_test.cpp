#include "StorageTestSupport.h"

#include "storage/DayImporter.h"
#include "storage/ImportChoice.h"
#include "storage/SpreadsheetExport.h"

#include <QDir>

// The import of other programs' files, on sample files written for these tests from the
// descriptions of the formats, and the spreadsheet export that reads back. The questions and
// messages around a whole import are in MainFrame_test.cpp.

namespace {
using DayImporterTest = StorageTest;

QByteArray Sample(const char* name)
{
    return FileBytes(QDir(QStringLiteral(VELUMINA_TEST_DATA)).filePath(QString::fromLatin1(name)));
}

QByteArray Utf16WithMark(const QByteArray& utf8)
{
    return QByteArray("\xff\xfe") + Utf16Bytes(QString::fromUtf8(utf8));
}

bool SameDays(const std::vector<DayRecord>& read, const std::vector<DayRecord>& expected)
{
    if (read.size() != expected.size())
        return false;
    for (size_t i = 0; i < read.size(); ++i) {
        if (!IsSameDate(read[i].date, expected[i].date) || LevelOf(read[i]) != LevelOf(expected[i]) ||
            read[i].note != expected[i].note)
            return false;
    }
    return true;
}
} // namespace

TEST_F(DayImporterTest, EachFormatIsRecognisedAndReadWithWhatItSkipped)
{
    const QByteArray dayFile = Sample("velumina-days.csv");
    const std::vector<DayRecord> veluminaDays = {Day(Date(2019, 3, 2), Heavy),
                                                 Day(Date(2019, 3, 3), Medium, QStringLiteral("Cramps;stayed home")),
                                                 Day(Date(2019, 3, 4), Slight), Day(Date(2019, 3, 29), Heavy)};
    const QString dayFileSkip = QStringLiteral("1 entry skipped: date that does not exist or cannot be stored");
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QString format;
        std::vector<DayRecord> days;
        QString skipped;
    };
    const std::vector<Case> cases = {
        {"day file, UTF-8", dayFile, QStringLiteral("a Velumina day file"), veluminaDays, dayFileSkip},
        {"day file, UTF-8 with mark", QByteArray("\xef\xbb\xbf") + dayFile, QStringLiteral("a Velumina day file"),
         veluminaDays, dayFileSkip},
        {"day file, UTF-16LE", Utf16Bytes(QString::fromUtf8(dayFile)), QStringLiteral("a Velumina day file"),
         veluminaDays, dayFileSkip},
        {"day file, UTF-16LE with mark", Utf16WithMark(dayFile), QStringLiteral("a Velumina day file"), veluminaDays,
         dayFileSkip},
        {"spreadsheet, commas and quotes",
         Sample("spreadsheet-comma.csv"),
         QStringLiteral("a spreadsheet file"),
         {Day(Date(2020, 1, 5), Heavy, QStringLiteral("Started at work, early")),
          Day(Date(2020, 1, 6), Medium, QStringLiteral("Two lines:\r\nsecond \"quoted\"")),
          Day(Date(2020, 1, 7), Slight), Day(Date(2020, 1, 8), None, QStringLiteral("rest day")),
          Day(Date(2020, 2, 2), Slight)},
         QStringLiteral("2 entries skipped: date that does not exist (1), unknown bleeding value (1)")},
        {"spreadsheet, semicolons and the locale's dates",
         Sample("spreadsheet-semicolon.csv"),
         QStringLiteral("a spreadsheet file"),
         {Day(Date(2020, 1, 5), Heavy), Day(Date(2020, 1, 6), Slight, QString::fromUtf8("Caf\xc3\xa9 au lait")),
          Day(Date(2020, 2, 3), None)},
         QStringLiteral("1 entry skipped: date that does not exist")},
        {"spreadsheet, tabs, UTF-16 with mark",
         Utf16WithMark(Sample("spreadsheet-tab.txt")),
         QStringLiteral("a spreadsheet file"),
         {Day(Date(2021, 7, 1), Heavy), Day(Date(2021, 7, 2), Heavy), Day(Date(2021, 7, 3), Slight)},
         QStringLiteral("1 entry skipped: date outside 1900 to 9999")},
        {"drip",
         Sample("drip-export.csv"),
         QStringLiteral("a drip export"),
         {Day(Date(2022, 5, 1), Heavy), Day(Date(2022, 5, 2), Medium, QStringLiteral("tired, headache")),
          Day(Date(2022, 5, 3), Slight), Day(Date(2022, 5, 6), None, QStringLiteral("just a note"))},
         QStringLiteral("3 entries skipped: excluded in drip (1), no bleeding or note (1), unknown bleeding value "
                        "(1)")},
        {"Clue",
         Sample("clue-measurements.json"),
         QStringLiteral("a Clue export"),
         {Day(Date(2019, 3, 2), Heavy), Day(Date(2019, 3, 3), Medium), Day(Date(2019, 3, 4), Slight),
          Day(Date(2019, 3, 5), Slight), Day(Date(2019, 3, 30), Heavy)},
         QStringLiteral("2 entries skipped: unknown flow value (1), date that does not exist (1)")},
        {"Flo",
         Sample("flo-export.json"),
         QStringLiteral("a Flo export"),
         {Day(Date(2023, 1, 10), Medium), Day(Date(2023, 1, 11), Medium), Day(Date(2023, 1, 12), Medium),
          Day(Date(2023, 1, 13), Medium), Day(Date(2023, 1, 14), Medium), Day(Date(2023, 2, 8), Medium),
          Day(Date(2023, 2, 9), Medium), Day(Date(2023, 2, 10), Medium), Day(Date(2023, 4, 7), Medium)},
         QStringLiteral("1 entry skipped: period that ends before it starts")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ASSERT_FALSE(test.bytes.isEmpty());
        ImportedDays days;
        QString error;
        ASSERT_TRUE(DayImporter::ReadBytes(test.bytes, QStringLiteral("sample"), days, error)) << error.toStdString();
        EXPECT_EQ(days.format, test.format);
        EXPECT_TRUE(SameDays(days.records, test.days));
        EXPECT_EQ(days.SkippedText(), test.skipped);
        EXPECT_EQ(days.report.imported, static_cast<int>(test.days.size()));
    }
    // The day file keeps the flags it was written with.
    ImportedDays days;
    QString error;
    ASSERT_TRUE(DayImporter::ReadBytes(dayFile, QStringLiteral("sample"), days, error));
    EXPECT_EQ(days.records.back().flags, Heavy | kNoRecordFlag);
    EXPECT_TRUE(m_messages.Messages().empty()) << "reading shows nothing itself";
}

TEST_F(DayImporterTest, AFileThatCannotBeReadSaysWhereAndGivesNoDays)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QString error;
    };
    const QString noDays = QStringLiteral("This file holds no days; nothing was imported.\n\n");
    const std::vector<Case> cases = {
        {"empty", QByteArray(), noDays + QStringLiteral("The file 'f' is empty.")},
        {"unclosed quote", QByteArray("Date,Bleeding,Note\n2020-01-01,1,ok\n2020-01-02,2,\"open\n2020-01-03,1,\n"),
         QStringLiteral("The file 'f' could not be read: the quoted field that starts on line 3 is never closed. "
                        "Nothing was imported.")},
        {"no date column", QByteArray("When,Bleeding\n2020-01-01,1\n"),
         QStringLiteral("This file is in no form Velumina knows; nothing was imported.\n\nLine 1 of 'f' names no Date "
                        "column. A spreadsheet file needs a header row such as \"Date,Bleeding,Note\".")},
        {"broken JSON", QByteArray("[\n {\"date\": \"2019-03-02\",\n \"type\": \"period\" \"value\": {}}\n]"),
         QStringLiteral("The file 'f' could not be read: line 3 is not valid JSON (unterminated object). Nothing "
                        "was imported.")},
        {"other JSON", QByteArray("{\"cycles\": []}"),
         QStringLiteral("This file is in no form Velumina knows; nothing was imported.\n\n'f' is JSON, but neither a "
                        "Clue export (a list of measurements) nor a Flo export (cycles under \"operationalData\").")},
        {"nothing storable",
         QByteArray("[{\"date\": \"2019-02-29\", \"type\": \"period\", \"value\": {\"option\": "
                    "\"heavy\"}}, {\"type\": \"mood\"}]"),
         noDays + QStringLiteral("'f' is a Clue export without a day Velumina can store (1 entry skipped: date that "
                                 "does not exist).")},
        {"day file without a storable date", Utf16Bytes(QStringLiteral("1899-01-01;2\r\n0000-01-01;2\r\n\r\n")),
         noDays +
             QStringLiteral("None of the 2 day lines of 'f' has a date that Velumina can store. Line 3 is blank.")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ImportedDays days;
        QString error;
        EXPECT_FALSE(DayImporter::ReadBytes(test.bytes, QStringLiteral("f"), days, error));
        EXPECT_TRUE(days.records.empty());
        EXPECT_EQ(error, test.error);
    }
}

TEST_F(DayImporterTest, PreviewAndQuestionCountDaysSkippedEntriesAndClashes)
{
    ImportedDays clue;
    QString error;
    ASSERT_TRUE(DayImporter::ReadBytes(Sample("clue-measurements.json"), QStringLiteral("f"), clue, error));
    EXPECT_EQ(ImportChoice::Preview(clue),
              QStringLiteral("5 days from a Clue export, 2 Mar 2019 to 30 Mar 2019; 2 entries skipped: unknown flow "
                             "value (1), date that does not exist (1)."));
    EXPECT_EQ(ImportChoice::Question(clue, {}), ImportChoice::Preview(clue) + QStringLiteral("\n\nImport these days?"));

    const std::vector<DayRecord> stored = {Day(Date(2019, 3, 1), Heavy), Day(Date(2019, 3, 2), None),
                                           Day(Date(2019, 3, 30), Slight, QStringLiteral("mine"))};
    EXPECT_EQ(ImportChoice::Clashes(stored, clue.records), 2);
    EXPECT_EQ(ImportChoice::Question(clue, stored),
              ImportChoice::Preview(clue) +
                  QStringLiteral("\n\nYou have 3 days stored, and 2 dates are in both.\n\"Add to my days\" keeps your "
                                 "own record on every date you have.\n\"Replace my days\" removes your 3 days first; "
                                 "this cannot be undone."));
    // Plurals of one.
    ImportedDays one;
    ASSERT_TRUE(DayImporter::ReadBytes("Date,Bleeding\n2019-03-02,3\n2019-02-30,2\n", QStringLiteral("f"), one, error));
    EXPECT_TRUE(ImportChoice::Question(one, {stored[0]})
                    .contains(QStringLiteral("You have 1 day stored, and no date is in both.")));
}

TEST_F(DayImporterTest, SpreadsheetExportReadsBackAsItWasWritten)
{
    std::mt19937 random(31);
    const QString alphabet = QString::fromUtf8("a,\";\n\r \t\xc3\xa9\xe2\x82\xac");
    std::vector<DayRecord> records = RandomRecords(random, 300, 1971, 2099, alphabet);
    std::erase_if(records, [](const DayRecord& record) { return !ToQDate(record.date).isValid(); });
    records.push_back(Day(Date(2099, 12, 31), Heavy, QString::fromUtf16(u" \U0001F600 ")));
    for (DayRecord& record : records)
        record.flags = LevelOf(record) | (record.note.isEmpty() ? 0 : kHasNoteFlag);
    const QByteArray bytes = SpreadsheetExport::DaysText(records);
    ASSERT_TRUE(bytes.startsWith("\xef\xbb\xbf"
                                 "Date,Bleeding,Note\r\n"));

    ImportedDays days;
    QString error;
    ASSERT_TRUE(DayImporter::ReadBytes(bytes, QStringLiteral("f"), days, error)) << error.toStdString();
    EXPECT_EQ(days.format, QStringLiteral("a spreadsheet file"));
    EXPECT_TRUE(SameDays(days.records, records));
    EXPECT_EQ(days.report.skipped, 0);
}
