#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/FileDialogs.h"
#include "settings/AppSettings.h"
#include "storage/DataFile.h"
#include "ui/screens/CHistoryDialog.h"
#include "ui/toolkit/ColorTheme.h"
#include "ui/toolkit/Contrast.h"
#include "ui/toolkit/CsvExportFlow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

namespace {
// Periods recorded from 5 January and 2 March 2026; February between them was not recorded.
void StoreJanuaryAndMarch()
{
    std::vector<DayRecord> records = Period(Date(2026, 1, 5), 5);
    for (const DayRecord& day : Period(Date(2026, 3, 2), 5, Medium))
        records.push_back(day);
    SetToday(2026, 3, 8);
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));
}

} // namespace

class HistoryDialogTest : public PageTest
{
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        RememberCsvFolder(QString());
    }

    void TearDown() override
    {
        SetFileDialogHandler(FileDialogHandler());
        RememberCsvFolder(QString());
        PageTest::TearDown();
    }
};

TEST_F(HistoryDialogTest, AnEmptyHistorySaysSo)
{
    LookAt<CHistoryDialog>([&](CHistoryDialog& dialog) {
        QTreeWidget* list = dialog.List();
        // The legend, which screen readers get with the list.
        const QString legend = QStringLiteral(
            "Italic: predicted, no bleeding recorded. Bold: the current cycle, counted to the next expected start.");
        EXPECT_EQ(dialog.Legend()->text(), legend);
        EXPECT_EQ(list->accessibleDescription(), legend);
        const auto* note = list->viewport()->findChild<QLabel*>();
        ASSERT_NE(note, nullptr);
        EXPECT_TRUE(note->isVisible());
        EXPECT_EQ(note->text(), QStringLiteral("No cycles yet"));
    });
}

TEST_F(HistoryDialogTest, TheWorkedExampleShowsTheModelsRows)
{
    // Periods on days 0 to 4 and 25 to 29, today day 29.
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(StartTwoPeriodExample()));

    LookAt<CHistoryDialog>([&](CHistoryDialog& dialog) {
        EXPECT_EQ(RowTexts(dialog.List(), u' '),
                  (QStringList{QStringLiteral("3/10/26 5 25"), QStringLiteral("4/4/26 5 25")}));
    });
    // An impossible stored date counts as its month's last day.
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords({Day(Date(2026, 2, 31), Heavy)}));
    LookAt<CHistoryDialog>([&](CHistoryDialog& impossible) {
        ASSERT_GE(impossible.List()->topLevelItemCount(), 1);
        EXPECT_EQ(impossible.List()->topLevelItem(0)->text(0), QStringLiteral("2/28/26"));
    });
}

TEST_F(HistoryDialogTest, PredictedAndCurrentCyclesAreMarked)
{
    StoreJanuaryAndMarch();
    for (int theme = 0; theme < ColorTheme::kThemeCount; ++theme) {
        SCOPED_TRACE(theme);
        TheAppSettings().selectedTheme = theme;
        LookAt<CHistoryDialog>([&](CHistoryDialog& dialog) {
            QTreeWidget* list = dialog.List();
            ASSERT_EQ(RowTexts(list, u' '), (QStringList{QStringLiteral("1/5/26 5 28"), QStringLiteral("2/2/26 5 28"),
                                                         QStringLiteral("3/2/26 5 28")}));
            const QTreeWidgetItem* predicted = list->topLevelItem(1);
            const QTreeWidgetItem* current = list->topLevelItem(2);

            const QColor background = SelectedTheme().Color(11);
            for (int column = 0; column < 3; ++column) {
                EXPECT_TRUE(predicted->font(column).italic());
                EXPECT_TRUE(predicted->toolTip(column).contains(QStringLiteral("(predicted)")));
                const QColor muted = predicted->foreground(column).color();
                EXPECT_NE(muted, SelectedTheme().Color(10)) << "muted, not the plain text colour";
                EXPECT_GE(ContrastRatio(muted, background), 4.5) << "and still readable";
                EXPECT_TRUE(current->font(column).bold());
                EXPECT_TRUE(current->toolTip(column).contains(QStringLiteral("3/30/26"))) << "the predicted next start";
                EXPECT_FALSE(current->data(column, Qt::AccessibleDescriptionRole).toString().isEmpty());
            }
        });
    }
}

TEST_F(HistoryDialogTest, OpensScrolledToTheNewestRowAndCopiesSelectedRows)
{
    // Six years of 28-day cycles: more rows than the page shows.
    std::vector<DayRecord> records;
    for (int day = 0; day < 80 * 28; day += 28)
        records.push_back(Day(OffsetDate(Date(2020, 10, 1), day), Heavy));
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(records));

    LookAt<CHistoryDialog>([&](CHistoryDialog& dialog) {
        QTreeWidget* list = dialog.List();
        const int rows = list->topLevelItemCount();
        ASSERT_GE(rows, 80);
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->topLevelItem(rows - 1))))
            << "the newest row is in view";

        QApplication::clipboard()->clear();
        list->setFocus();
        list->topLevelItem(rows - 3)->setSelected(true);
        list->topLevelItem(rows - 1)->setSelected(true);
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        const QTreeWidgetItem* a = list->topLevelItem(rows - 3);
        const QTreeWidgetItem* b = list->topLevelItem(rows - 1);
        EXPECT_EQ(QApplication::clipboard()->text(),
                  QStringLiteral("%1\t%2\t%3\n%4\t%5\t%6\n")
                      .arg(a->text(0), a->text(1), a->text(2), b->text(0), b->text(1), b->text(2)));
    });
}

TEST_F(HistoryDialogTest, ExportWritesTheCyclesWhereSheChooses)
{
    StoreJanuaryAndMarch();
    struct Asked
    {
        FileDialogKind kind;
        QString folder;
        QString suggested;
    };
    std::vector<Asked> asked;
    QString answer;
    SetFileDialogHandler(
        [&](FileDialogKind kind, QWidget*, const QString&, const QString& folder, const QString& suggested) {
            asked.push_back({kind, folder, suggested});
            return answer;
        });
    MessageRecorder messages;
    LookAt<CHistoryDialog>([&](CHistoryDialog& dialog) {
        // She chooses `path` in the save dialog that `command` opens.
        const auto exportTo = [&](const QString& path, int command = kCmdHistoryExport) {
            messages.Clear();
            answer = path;
            dialog.OnCommand(command);
        };
        // Cancelled: nothing shown, nothing written.
        dialog.OnCommand(kCmdHistoryExport);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(QDir(asked[0].folder), QDir(DocumentsPath())) << "the documents folder first";
        EXPECT_EQ(asked[0].suggested, QStringLiteral("Velumina-cycles-2026-03-08.csv"));
        EXPECT_TRUE(messages.Messages().empty());

        exportTo(TempPath(QStringLiteral("cycles.csv")));
        ASSERT_EQ(messages.Texts(),
                  QStringList{QStringLiteral("Exported 3 cycles to %1.").arg(QDir::toNativeSeparators(answer))});
        EXPECT_EQ(FileBytes(answer).size(), 2 * (38 + 3 * 13)) << "a header and three rows in UTF-16";
        // The spreadsheet form: UTF-8 with a byte-order mark, ISO dates, the status of each row.
        exportTo(TempPath(QStringLiteral("sheet.csv")), kCmdHistoryExportSpreadsheet);
        EXPECT_EQ(messages.Texts(),
                  QStringList{QStringLiteral("Exported 3 cycles to %1.").arg(QDir::toNativeSeparators(answer))});
        EXPECT_EQ(FileBytes(answer), QByteArray("\xef\xbb\xbf"
                                                "First day,Bleeding days,Cycle length,Status\r\n"
                                                "2026-01-05,5,28,recorded\r\n"
                                                "2026-02-02,5,28,predicted\r\n"
                                                "2026-03-02,5,28,current\r\n"));
        dialog.OnCommand(kCmdHistoryExport);
        EXPECT_EQ(QDir(asked.back().folder), QDir(QFileInfo(answer).absolutePath())) << "then the last folder";

        // A folder whose place a file takes cannot be written.
        exportTo(QDir(answer).filePath(QStringLiteral("inside.csv")));
        EXPECT_TRUE(messages.Texts().contains(QStringLiteral("Failed to export data.")));

        // The data file is never the target.
        ASSERT_TRUE(TheCycleDatabase().Save());
        const QByteArray data = FileBytes(GetDataFilePath());
        exportTo(GetDataFilePath());
        EXPECT_TRUE(messages.Texts().value(0).contains(QStringLiteral("own data file")));
        EXPECT_EQ(FileBytes(GetDataFilePath()), data);
    });
}
