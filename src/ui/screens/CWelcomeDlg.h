#pragma once

#include "ui/toolkit/CSizeableDialog.h"

#include <QDate>

#include <functional>

class CheckedDateEdit;
class QCheckBox;
class PasswordProtectionSwitch;
class UpDownEdit;

/// "Welcome": greets her when no day is stored yet and asks when her last cycle started and
/// how long her cycles usually are, so that the first predictions are there at once; offers
/// password protection, the import of an exported file, and not to be greeted again.
///
/// "Save" (Enter) checks the cycle length (20 to 40 days, said and refused otherwise), stores
/// it, and stores the start date, when one is picked, as a day of heavy bleeding. Only that
/// day record writes the data file: without a date nothing is written, so a data file that
/// could not be read at this start is never replaced by an empty one. "Skip" (Esc) stores
/// nothing. The password controls take effect with "Save" (PasswordProtectionSwitch); the
/// "Do not show this again" box is stored whichever way the screen ends.
class CWelcomeDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    /// Runs the import of an exported file; true when days were stored.
    using ImportFlow = std::function<bool()>;

    explicit CWelcomeDlg(QWidget* parent = nullptr);
    ~CWelcomeDlg() override;

    /// The first date the start date may take; the last is today.
    static QDate FirstDate();

    /// Offers "Import..." (set before running); without a flow the button is hidden.
    void SetImportFlow(ImportFlow flow);

    bool OnInitDialog() override;
    bool UsesOrientationTemplates() const override;
    /// The landscape template when the window is wider than high, else the portrait one.
    int GetLayoutTemplateId() const override;
    void OnSize(int type, int cx, int cy) override;
    void OnCommand(int id) override;
    /// "Save".
    void OnOK() override;
    /// "Skip".
    void OnCancel() override;

    PasswordProtectionSwitch* ProtectionSwitch() const
    {
        return m_protection;
    }

private:
    void StoreDismissal();
    void RunImport();

    CheckedDateEdit* m_lastCycle = nullptr;
    UpDownEdit* m_cycleLength = nullptr;
    QCheckBox* m_dontShow = nullptr;
    PasswordProtectionSwitch* m_protection = nullptr;
    ImportFlow m_importFlow;
};
