#include "ui/screens/PasswordProtectionSwitch.h"

#include "platform/MessageBox.h"
#include "settings/DataProtection.h"
#include "ui/screens/CPasswordSetDlg.h"
#include "ui/screens/CPasswordStartup.h"
#include "ui/toolkit/CBlackDialog.h"

#include <QAbstractButton>
#include <QCheckBox>

#include <utility>

namespace {
// Passwords leave memory when the screen closes, not when the process ends.
void Wipe(QString& text)
{
    text.fill(QChar(u'\0'));
    text.clear();
}
} // namespace

PasswordProtectionSwitch::PasswordProtectionSwitch(QCheckBox* box, QAbstractButton* setPassword)
    : QObject(box), m_box(box), m_setPassword(setPassword), m_wasOn(DataProtection::IsOn())
{
    if (!m_box)
        return;
    m_box->setChecked(m_wasOn);
    connect(m_box, &QCheckBox::clicked, this, &PasswordProtectionSwitch::OnBoxClicked);
    if (m_setPassword)
        connect(m_setPassword, &QAbstractButton::clicked, this, [this] { RunSetPasswordFlow(); });
    ShowState();
}

PasswordProtectionSwitch::~PasswordProtectionSwitch()
{
    Wipe(m_newPassword);
    Wipe(m_currentPassword);
}

QString PasswordProtectionSwitch::StateLabel(bool enabled)
{
    return enabled ? QStringLiteral("Password protection: enabled") : QStringLiteral("Password protection: disabled");
}

void PasswordProtectionSwitch::ShowState()
{
    if (!m_box)
        return;
    m_box->setText(StateLabel(m_box->isChecked()));
    if (m_setPassword)
        m_setPassword->setEnabled(m_box->isChecked());
}

void PasswordProtectionSwitch::OnBoxClicked(bool checked)
{
    if (checked) {
        RunFlow(true);
        return;
    }
    Wipe(m_newPassword);
    if (m_wasOn && m_currentPassword.isEmpty() && !AskCurrentPassword())
        m_box->setChecked(true);
    ShowState();
}

bool PasswordProtectionSwitch::AskCurrentPassword()
{
    CPasswordStartup prompt(nullptr, CPasswordStartup::Purpose::SwitchOff);
    if (prompt.RunAsPage(PageHost()) != QDialog::Accepted)
        return false;
    m_currentPassword = prompt.Password();
    return true;
}

QWidget* PasswordProtectionSwitch::PageHost() const
{
    // The dialog covers the window the screen covers; a screen that is a window of its own
    // (no host) gets a window of its own for it.
    for (QWidget* parent = m_box ? m_box->parentWidget() : nullptr; parent; parent = parent->parentWidget()) {
        if (const auto* screen = qobject_cast<const CBlackDialog*>(parent))
            return screen->Host();
    }
    return nullptr;
}

bool PasswordProtectionSwitch::RunSetPasswordFlow()
{
    return RunFlow(false);
}

bool PasswordProtectionSwitch::RunFlow(bool fromBox)
{
    if (m_flowRunning || !m_box)
        return false;
    m_flowRunning = true;
    bool chosen = false;
    CPasswordSetDlg dialog;
    const bool accepted = dialog.RunAsPage(PageHost()) == QDialog::Accepted;
    if (accepted && dialog.PasswordGiven()) {
        m_newPassword = dialog.Password();
        m_box->setChecked(true);
        chosen = true;
    } else if (accepted) {
        // She agreed to no password: protection off, after the current password when it is on.
        Wipe(m_newPassword);
        m_box->setChecked(m_wasOn && m_currentPassword.isEmpty() && !AskCurrentPassword());
    } else {
        // Cancel keeps the switch as it was before this flow: a box just checked goes back.
        m_box->setChecked(!fromBox);
    }
    m_flowRunning = false;
    ShowState();
    if (m_box)
        m_box->setFocus();
    return chosen;
}

bool PasswordProtectionSwitch::HasChange() const
{
    if (!m_box)
        return false;
    return m_box->isChecked() ? !m_newPassword.isEmpty() : m_wasOn;
}

bool PasswordProtectionSwitch::Apply()
{
    if (!HasChange())
        return true;
    QString error;
    const bool on = m_box->isChecked();
    const bool done =
        on ? DataProtection::SetPassword(m_newPassword, error) : DataProtection::SwitchOff(m_currentPassword, error);
    if (!done) {
        ShowMessage((on ? QStringLiteral("The password could not be set: %1")
                        : QStringLiteral("Password protection could not be switched off: %1"))
                            .arg(error) +
                        QStringLiteral("\n\nProtection and your data file are as they were."),
                    MessageButtons::Ok, MessageIcon::Warning);
        return false;
    }
    m_wasOn = on;
    Wipe(m_newPassword);
    Wipe(m_currentPassword);
    return true;
}
