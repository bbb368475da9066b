#include "ui/screens/CCalendarDlg.h"

#include "resources/ResourceIds.h"
#include "ui/screens/CCalPainter.h"
#include "ui/screens/CTodayDlg.h"
#include "ui/screens/MonthRenderer.h"

#include <QApplication>
#include <QDate>
#include <QPointer>
#include <QResizeEvent>

CCalendarDlg::CCalendarDlg(QWidget* parent) : CBlackDialog(kIddCalendar, parent)
{
}

CCalendarDlg::~CCalendarDlg() = default;

bool CCalendarDlg::OnInitDialog()
{
    if (!CBlackDialog::OnInitDialog())
        return false;
    TheMonthRenderer().Prepare();
    CreateMenuBar(kMenuCalendar);
    // The painter fills its pages when it is first shown, that is once the page has the
    // window's size, so that it makes as many pages as that size needs.
    m_painter = new CCalPainter(this);
    m_painter->setObjectName(QStringLiteral("CalPainter"));
    if (!ReplaceControl(kIdcCalendarPainter, m_painter)) {
        m_painter = nullptr;
        return false;
    }
    PlacePainter();
    m_painter->setFocus(Qt::OtherFocusReason);
    return true;
}

void CCalendarDlg::PlacePainter()
{
    if (m_painter)
        m_painter->setGeometry(QRect(QPoint(0, 0), ClientSize()));
}

void CCalendarDlg::resizeEvent(QResizeEvent* event)
{
    CBlackDialog::resizeEvent(event);
    PlacePainter();
}

void CCalendarDlg::SetDayEditor(DayEditorRun run)
{
    m_runDayEditor = std::move(run);
}

void CCalendarDlg::OnCommand(int id)
{
    switch (id) {
    case kCmdDayTapped:
        if (m_painter && IsValidDate(m_painter->SelectedDate())) {
            const CalDate day = m_painter->SelectedDate();
            const QDate tapped(day.year, day.month, day.day);
            // A day the editor cannot take would open it on another day.
            if (tapped < CTodayDlg::FirstDate() || tapped > CTodayDlg::LastDate())
                QApplication::beep();
            else
                RunDayEditor(day);
        }
        break;
    case kCmdGoToDate:
        RunDayEditor(CalDate{0, 0, 0});
        break;
    case kCmdCalendarBack:
        OnCancel();
        break;
    default:
        CBlackDialog::OnCommand(id);
        break;
    }
}

int CCalendarDlg::RunTodayDialog(QWidget* host, const CalDate& preset, CalDate& date)
{
    CTodayDlg editor(host);
    if (IsValidDate(preset))
        editor.SetCurrentDate(preset);
    const int result = editor.RunAsPage(host);
    date = editor.CurrentDate();
    return result;
}

void CCalendarDlg::RunDayEditor(const CalDate& preset)
{
    // One editor at a time; a second tap queued behind the first is dropped.
    if (m_editorOpen)
        return;
    m_editorOpen = true;
    QPointer<CCalendarDlg> self(this);
    QWidget* host = Host() ? Host() : this;
    CalDate date{0, 0, 0};
    const int result = m_runDayEditor ? m_runDayEditor(host, preset, date) : RunTodayDialog(host, preset, date);
    if (!self)
        return;
    m_editorOpen = false;
    if (!m_painter)
        return;
    // The editor may have stored or changed any day: the pages are drawn again in every case.
    if (result == QDialog::Accepted && IsValidDate(date)) {
        TheMonthRenderer().SetMarkedDate(date);
        m_painter->SetCursorDate(date, m_painter->IsCursorVisible());
        m_painter->ScrollToMonth(date.month, date.year);
    } else {
        m_painter->RenderPages(m_painter->FirstMonth(), m_painter->FirstYear(), true);
    }
    m_painter->setFocus(Qt::OtherFocusReason);
}
