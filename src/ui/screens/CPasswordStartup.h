#pragma once

#include "ui/toolkit/CBlackDialog.h"

class QLabel;
class QLineEdit;
class QKeyEvent;

/// The start-up password prompt, a window of its own because no main window exists yet:
/// "Velumina is protected with a password." with a password field, "OK" (Enter) and "Cancel"
/// (Esc). OK closes it only for the stored password; a wrong one is said and selected for
/// retyping, as often as needed. A hint shows while Caps Lock is on, where key events say so.
class CPasswordStartup : public CBlackDialog
{
    Q_OBJECT

public:
    explicit CPasswordStartup(QWidget* parent = nullptr);
    ~CPasswordStartup() override;

    bool OnInitDialog() override;
    void OnOK() override;

    /// Whether Caps Lock is on, as far as `event` tells: the lock bit of the key event's native
    /// modifiers (the X11 and xkb lock mask); a press of Caps Lock itself reports the state it
    /// leaves.
    static bool CapsLockOn(const QKeyEvent& event);

    bool IsCapsLockHintShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_field = nullptr;
    QLabel* m_capsLockHint = nullptr;
};
