#include "ui/screens/CTodayDlg.h"

#include "resources/ResourceIds.h"

CTodayDlg::CTodayDlg(QWidget* parent) : CSizeableDialog(kIddToday, parent)
{
}

CTodayDlg::~CTodayDlg() = default;

void CTodayDlg::SetCurrentDate(const CalDate& date)
{
    m_currentDate = date;
}

CalDate CTodayDlg::CurrentDate() const
{
    return m_currentDate;
}

bool CTodayDlg::OnInitDialog()
{
    if (!CSizeableDialog::OnInitDialog())
        return false;
    CreateMenuBar(kMenuToday);
    if (!IsValidDate(m_currentDate))
        m_currentDate = Today();
    return true;
}

void CTodayDlg::OnCommand(int id)
{
    CSizeableDialog::OnCommand(id);
}

void CTodayDlg::OnOK()
{
    CSizeableDialog::OnOK();
}

void CTodayDlg::OnCancel()
{
    CSizeableDialog::OnCancel();
}
