#pragma once

#include "model/CalDate.h"
#include "ui/toolkit/CSizeableDialog.h"

#include <QString>

class QDateEdit;
class QPlainTextEdit;
class CBleedingButton;

/// "How Do I Feel Today?": the bleeding level and the note of one day. The level starts from
/// what is stored for the day, so nothing is recorded that the user did not pick; every road
/// that leaves a day (the arrows, a picked date, "Save", "Back", Esc, closing) runs the saving
/// routine first, and a failed store keeps the day and its edits on screen.
class CTodayDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    explicit CTodayDlg(QWidget* parent = nullptr);
    ~CTodayDlg() override;

    /// The day to open on (set before running); an invalid date opens on today.
    void SetCurrentDate(const CalDate& date);
    /// The day last loaded.
    CalDate CurrentDate() const;

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    CalDate m_currentDate{0, 0, 0};
};
