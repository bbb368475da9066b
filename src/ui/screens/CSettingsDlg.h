#pragma once

#include "ui/toolkit/CSizeableDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class UpDownEdit;
class PasswordProtectionSwitch;

/// "Settings": the three cycle parameters that seed the predictions, the password protection
/// switch, the next-cycle reminder and its days in advance, and the colour theme. The cycle
/// parameters, the reminder and the theme take effect with OK, which refuses numbers outside
/// their ranges; so do the password controls (PasswordProtectionSwitch), and Cancel leaves
/// protection, password and data file as they were. When reminders cannot appear on this
/// computer, a line under the reminder switch says why. The calendar file switch and its
/// discreet titles take effect with OK; "Copy path" copies where the file is at once.
///
/// The controls keep their template's arrangement (the portrait or the landscape one, after
/// the window's shape), as one block centred in the page.
class CSettingsDlg : public CSizeableDialog
{
    Q_OBJECT

public:
    /// Whether `edit` holds an initial cycle length that may be set; otherwise says so under
    /// the name its label gives it ("The initial cycle length must be between 20 and 40
    /// days", the range of model/CycleLimits.h) and selects it.
    static bool AcceptsCycleLength(UpDownEdit* edit, const QString& name = QStringLiteral("initial cycle length"));

    explicit CSettingsDlg(QWidget* parent = nullptr);
    ~CSettingsDlg() override;

    bool OnInitDialog() override;
    bool UsesOrientationTemplates() const override;
    /// The landscape template when the window is wider than high, else the portrait one.
    int GetLayoutTemplateId() const override;
    void OnSize(int type, int cx, int cy) override;
    void OnCommand(int id) override;
    /// Checks the three numbers, then stores everything and ends with OK.
    void OnOK() override;

    PasswordProtectionSwitch* ProtectionSwitch() const
    {
        return m_protection;
    }

private:
    void Store();
    void PlaceControls();
    /// The calendar file switch says whether the file is encrypted like her data.
    void ShowCalendarSwitch(bool protectionOn);

    UpDownEdit* m_cycleLength = nullptr;
    UpDownEdit* m_periodLength = nullptr;
    UpDownEdit* m_lutealPhase = nullptr;
    QCheckBox* m_notify = nullptr;
    QComboBox* m_notifyDays = nullptr;
    QLabel* m_reminderNote = nullptr;
    QComboBox* m_theme = nullptr;
    QCheckBox* m_calendarFile = nullptr;
    QCheckBox* m_calendarDiscreet = nullptr;
    QLineEdit* m_calendarPath = nullptr;
    PasswordProtectionSwitch* m_protection = nullptr;
    bool m_ready = false;
};
