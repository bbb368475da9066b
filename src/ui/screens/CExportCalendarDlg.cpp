#include "ui/screens/CExportCalendarDlg.h"

#include "model/CycleDatabase.h"
#include "platform/MessageBox.h"
#include "platform/gui/FileDialogs.h"
#include "platform/gui/SoftKeyBar.h"
#include "platform/gui/UpDownButtons.h"
#include "platform/gui/UpDownEdit.h"
#include "resources/ResourceIds.h"
#include "settings/CalendarSettings.h"
#include "storage/ICalendarWriter.h"
#include "storage/LiveCalendarFile.h"
#include "ui/toolkit/CsvExportFlow.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

namespace {
QString EventCount(int count)
{
    return count == 1 ? QStringLiteral("1 event") : QStringLiteral("%1 events").arg(count);
}
} // namespace

CExportCalendarDlg::CExportCalendarDlg(QWidget* parent) : CBlackDialog(kIddExportCalendar, parent)
{
}

CExportCalendarDlg::~CExportCalendarDlg() = default;

bool CExportCalendarDlg::OnInitDialog()
{
    if (!CBlackDialog::OnInitDialog())
        return false;
    m_months = ControlAs<UpDownEdit>(kIdcCalendarMonths);
    m_discreet = ControlAs<QCheckBox>(kIdcCalendarDiscreet);
    m_recorded = ControlAs<QCheckBox>(kIdcCalendarRecorded);
    m_legend = ControlAs<QLabel>(kIdcCalendarLegend);
    if (!m_months || !m_discreet || !m_recorded || !m_legend)
        return false;
    CreateMenuBar(kMenuOkCancel);
    const CalendarSettings settings = CalendarSettings::Load();
    m_months->setText(QString::number(settings.months));
    if (auto* arrows = ControlAs<UpDownButtons>(kIdcCalendarMonthsSpin)) {
        arrows->SetBuddy(m_months);
        arrows->SetRange(CalendarSettings::kMinMonths, CalendarSettings::kMaxMonths);
    }
    m_discreet->setChecked(settings.discreet);
    m_recorded->setChecked(settings.includeRecorded);
    m_legend->setWordWrap(true);
    ShowLegend();
    return true;
}

void CExportCalendarDlg::ShowLegend()
{
    m_legend->setText(
        m_discreet->isChecked()
            ? QStringLiteral("Titles without words: V1 period expected, V2 fertile days, V3 ovulation expected, "
                             "V4 period late, V5 recorded period. No descriptions.")
            : QStringLiteral("All-day events shown as free time: the expected periods, fertile days and "
                             "ovulations, and while your period is late, since when."));
}

void CExportCalendarDlg::OnCommand(int id)
{
    if (id == kIdcCalendarDiscreet) {
        ShowLegend();
        return;
    }
    CBlackDialog::OnCommand(id);
}

void CExportCalendarDlg::OnOK()
{
    if (!m_months->AcceptsNumber(CalendarSettings::kMinMonths, CalendarSettings::kMaxMonths,
                                 QStringLiteral("The number of months must be between %1 and %2")))
        return;
    CalendarSettings settings = CalendarSettings::Load();
    settings.months = m_months->ReadNumber();
    settings.discreet = m_discreet->isChecked();
    settings.includeRecorded = m_recorded->isChecked();
    settings.Save();
    done(QDialog::Accepted);
}

void CExportCalendarDlg::resizeEvent(QResizeEvent* event)
{
    CBlackDialog::resizeEvent(event);
    CentreTemplateBlock();
}

bool CExportCalendarDlg::RunExport(QWidget* host)
{
    {
        CExportCalendarDlg dialog(host);
        if (dialog.RunAsPage(host) != QDialog::Accepted)
            return false;
    }
    // The choices are those of the live file too.
    LiveCalendarFile::Follow();
    return ExportWithStoredChoices(host);
}

bool CExportCalendarDlg::ExportWithStoredChoices(QWidget* host)
{
    const CalendarSettings settings = CalendarSettings::Load();
    CycleDatabase& database = TheCycleDatabase();
    if (ICalendarWriter(database).CollectEvents(settings, Today()).empty()) {
        ShowMessage(QStringLiteral("There is nothing to export yet: Velumina predicts from the periods you record."),
                    MessageButtons::Ok, MessageIcon::Information);
        return false;
    }
    // A discreet export gets a file name that does not say what it is about either.
    const QString suggested =
        QStringLiteral("%1-%2.ics")
            .arg(settings.discreet ? QStringLiteral("calendar") : QStringLiteral("Velumina-predictions"),
                 IsoDayText(Today()));
    const QString path = AskForFile(FileDialogKind::Save, host, QStringLiteral("Export to Calendar"), CsvStartFolder(),
                                    suggested, QStringLiteral("iCalendar Files (*.ics)"), QStringLiteral("ics"));
    if (path.isEmpty())
        return false;
    RememberCsvFolder(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (IsDataFileTarget(path)) {
        ShowMessage(QStringLiteral("'%1' is Velumina's own data file. Please export to another file.").arg(shown),
                    MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    int count = 0;
    QString error;
    if (!ICalendarWriter(database).Write(path, settings, count, error)) {
        ShowMessage(QStringLiteral("%1\nNothing was exported.").arg(error), MessageButtons::Ok, MessageIcon::Error);
        return false;
    }
    ShowMessage(QStringLiteral("Exported %1 to %2.").arg(EventCount(count), shown), MessageButtons::Ok,
                MessageIcon::Information);
    return true;
}
