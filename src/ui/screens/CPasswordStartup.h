#pragma once

#include "ui/toolkit/CBlackDialog.h"

#include <QString>

class QLabel;
class QLineEdit;
class QKeyEvent;

/// The password prompt: "Velumina is protected with a password." with a password field, "OK"
/// (Enter) and "Cancel" (Esc). At start-up (a window of its own, because no main window exists
/// yet) OK opens the data file with the password (DataProtection::OpenSession) and closes
/// only when it opened; before protection is switched off it asks for the current password
/// the same way. A wrong one is said and selected for retyping, as often as needed; there is
/// no other way in. A hint shows while Caps Lock is on, where key events say so.
class CPasswordStartup : public CBlackDialog
{
    Q_OBJECT

public:
    enum class Purpose {
        Startup,   ///< opens the session
        SwitchOff, ///< only checks the current password, which Password() then holds
    };

    explicit CPasswordStartup(QWidget* parent = nullptr, Purpose purpose = Purpose::Startup);
    ~CPasswordStartup() override;

    bool OnInitDialog() override;
    void OnOK() override;

    /// Whether Caps Lock is on, as far as `event` tells: the lock bit of the key event's native
    /// modifiers (the X11 and xkb lock mask); a press of Caps Lock itself reports the state it
    /// leaves.
    static bool CapsLockOn(const QKeyEvent& event);

    bool IsCapsLockHintShown() const;

    /// The password OK accepted.
    QString Password() const
    {
        return m_password;
    }

    /// "Wrong password!", and from the second failure on why a right password can fail too.
    static QString WrongPasswordText(int failures);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_field = nullptr;
    QLabel* m_capsLockHint = nullptr;
    Purpose m_purpose;
    int m_failures = 0;
    QString m_password;
};
