#pragma once

#include "ui/toolkit/CBlackDialog.h"

class QCheckBox;
class QLabel;
class UpDownEdit;

/// "Export to Calendar": how many months ahead (1 to 24), discreet titles, and whether her
/// recorded periods go along. OK refuses a month count outside its range and stores the
/// choices for the next export and the live calendar file. With discreet titles on, the
/// dialog tells which "V" number stands for what.
class CExportCalendarDlg : public CBlackDialog
{
    Q_OBJECT

public:
    explicit CExportCalendarDlg(QWidget* parent = nullptr);
    ~CExportCalendarDlg() override;

    /// The whole export: this dialog, the save dialog for an .ics file, the file and the
    /// message that says what was written ("Exported 14 events to <file>."). Cancelling
    /// either dialog shows nothing. True only when a file was written.
    static bool RunExport(QWidget* host);
    /// The part after this dialog: the save dialog, the file and the message, with the
    /// stored choices.
    static bool ExportWithStoredChoices(QWidget* host);

    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowLegend();

    UpDownEdit* m_months = nullptr;
    QCheckBox* m_discreet = nullptr;
    QCheckBox* m_recorded = nullptr;
    QLabel* m_legend = nullptr;
};
