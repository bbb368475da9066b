#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAbstractButton;
class QCheckBox;
class QWidget;

/// The password protection switch that the settings and welcome screens share: a screen's
/// check box and its "Set Password..." button, the state they show and the set-password flow.
///
/// Use: construct it in the screen's OnInitDialog with the two controls (it becomes a child
/// of the check box and listens to both controls' clicks itself, so the screen's OnCommand
/// needs no case for them), and call Apply() from the screen's OK:
///
///     m_protection = new PasswordProtectionSwitch(ControlAs<QCheckBox>(kIdcWelcomePassword),
///                                                 ControlAs<QPushButton>(kIdcWelcomeSetPassword));
///
/// What it does:
/// - The box reads "Password protection: enabled" while checked and "Password protection:
///   disabled" while not; "Set Password..." is enabled only while it is checked. The box
///   opens checked while protection is on.
/// - Checking the box, or "Set Password...", runs the "Set Password" dialog as a page over the
///   window the screen runs in. OK with two matching non-empty copies makes that password the
///   one to set; OK with an empty password the user agreed to unchecks the box; Cancel (or
///   Esc, or closing) changes nothing.
/// - Unchecking the box while protection is on asks for the current password first; without
///   it the box stays checked.
/// - Nothing is stored until Apply(): the screen's Cancel leaves protection, password and
///   data file exactly as they were.
class PasswordProtectionSwitch : public QObject
{
    Q_OBJECT

public:
    PasswordProtectionSwitch(QCheckBox* box, QAbstractButton* setPassword);
    ~PasswordProtectionSwitch() override;

    /// The label of the box and the enabling of the button, from the box's state.
    void ShowState();

    /// The set-password flow, as "Set Password..." runs it. True when a password was chosen.
    bool RunSetPasswordFlow();

    /// Whether Apply() would change anything.
    bool HasChange() const;

    /// Carries out what the controls say: seals the data file with the chosen password, or
    /// switches protection off. False, with the reason said and nothing changed, when it failed.
    bool Apply();

    static QString StateLabel(bool enabled);

private:
    void OnBoxClicked(bool checked);
    bool RunFlow(bool fromBox);
    bool AskCurrentPassword();
    QWidget* PageHost() const;

    QPointer<QCheckBox> m_box;
    QPointer<QAbstractButton> m_setPassword;
    bool m_wasOn = false;
    QString m_newPassword;     ///< chosen in the set-password dialog, set by Apply
    QString m_currentPassword; ///< asked before switching off
    bool m_flowRunning = false;
};
