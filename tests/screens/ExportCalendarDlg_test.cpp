#include "PageTestSupport.h"

#include "model/CycleDatabase.h"
#include "platform/MessageRecorder.h"
#include "platform/gui/FileDialogs.h"
#include "settings/CalendarSettings.h"
#include "ui/screens/CExportCalendarDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class ExportCalendarDlgTest : public PageTest
{
protected:
    void TearDown() override
    {
        SetFileDialogHandler({});
        PageTest::TearDown();
    }
};

TEST_F(ExportCalendarDlgTest, ChoicesAreCheckedStoredAndTheMessageSaysWhatWasWritten)
{
    ASSERT_TRUE(TheCycleDatabase().ReplaceRecords(StartTwoPeriodExample()));
    MessageRecorder messages;
    const int result = RunNew<CExportCalendarDlg>([&](CExportCalendarDlg& dialog) {
        EXPECT_EQ(dialog.ControlAs<QLineEdit>(kIdcCalendarMonths)->text(), QStringLiteral("12"));
        auto* discreet = dialog.ControlAs<QCheckBox>(kIdcCalendarDiscreet);
        auto* legend = dialog.ControlAs<QLabel>(kIdcCalendarLegend);
        QTest::mouseClick(discreet, Qt::LeftButton, {}, QPoint(5, discreet->height() / 2));
        EXPECT_TRUE(legend->text().contains(QStringLiteral("V2 fertile days"))) << legend->text().toStdString();
        Type(dialog, kIdcCalendarMonths, QStringLiteral("25"));
        dialog.OnCommand(kIdOk);
        EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("The number of months must be between 1 and 24")});
        Type(dialog, kIdcCalendarMonths, QStringLiteral("2"));
        dialog.ControlAs<QCheckBox>(kIdcCalendarRecorded)->setChecked(true);
        dialog.OnCommand(kIdOk);
    });
    ASSERT_EQ(result, QDialog::Accepted);
    const CalendarSettings stored = CalendarSettings::Load();
    EXPECT_EQ(stored.months, 2);
    EXPECT_TRUE(stored.discreet);
    EXPECT_TRUE(stored.includeRecorded);

    // The save dialog suggests a name that says nothing in discreet mode; cancelling it says nothing.
    QString suggested;
    SetFileDialogHandler([&](FileDialogKind, QWidget*, const QString&, const QString&, const QString& name) {
        suggested = name;
        return QString();
    });
    messages.Clear();
    EXPECT_FALSE(CExportCalendarDlg::ExportWithStoredChoices(m_host.get()));
    EXPECT_EQ(suggested, QStringLiteral("calendar-2026-04-08.ics"));
    EXPECT_TRUE(messages.Texts().isEmpty());

    // Two recorded periods and eight events ahead.
    const QString path = TempPath(QStringLiteral("mine.ics"));
    SetFileDialogHandler(
        [&](FileDialogKind, QWidget*, const QString&, const QString&, const QString&) { return path; });
    EXPECT_TRUE(CExportCalendarDlg::ExportWithStoredChoices(m_host.get()));
    EXPECT_EQ(messages.Texts(),
              QStringList{QStringLiteral("Exported 10 events to %1.").arg(QDir::toNativeSeparators(path))});
    EXPECT_TRUE(QFileInfo(path).isFile());
}
