#include "ui/screens/PasswordProtectionSwitch.h"

#include "platform/MessageBox.h"
#include "settings/PasswordStore.h"
#include "ui/screens/CPasswordSetDlg.h"
#include "ui/toolkit/CBlackDialog.h"

#include <QAbstractButton>
#include <QCheckBox>

PasswordProtectionSwitch::PasswordProtectionSwitch(QCheckBox* box, QAbstractButton* setPassword, Opening opening)
    : QObject(box), m_box(box), m_setPassword(setPassword)
{
    if (!m_box)
        return;
    m_box->setChecked(opening == Opening::FromStore && ThePasswordStore().IsEnabled());
    connect(m_box, &QCheckBox::clicked, this, &PasswordProtectionSwitch::OnBoxClicked);
    if (m_setPassword)
        connect(m_setPassword, &QAbstractButton::clicked, this, [this] { RunSetPasswordFlow(); });
    ShowState();
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

void PasswordProtectionSwitch::ShowStoredState()
{
    if (!m_box)
        return;
    m_box->setChecked(ThePasswordStore().IsEnabled());
    ShowState();
}

void PasswordProtectionSwitch::OnBoxClicked(bool checked)
{
    if (checked) {
        RunSetPasswordFlow();
        return;
    }
    if (!ThePasswordStore().SetEnabled(false))
        ShowMessage(QStringLiteral("Password protection could not be switched off."), MessageButtons::Ok,
                    MessageIcon::Warning);
    ShowStoredState();
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
    if (m_flowRunning)
        return false;
    m_flowRunning = true;
    bool stored = false;
    CPasswordSetDlg dialog;
    if (dialog.RunAsPage(PageHost()) == QDialog::Accepted) {
        PasswordStore& store = ThePasswordStore();
        if (dialog.PasswordGiven()) {
            stored = store.EnableWithPassword(dialog.Password());
            if (!stored)
                ShowMessage(QStringLiteral("The password could not be saved."), MessageButtons::Ok,
                            MessageIcon::Warning);
        } else if (!store.SetEnabled(false)) {
            ShowMessage(QStringLiteral("Password protection could not be switched off."), MessageButtons::Ok,
                        MessageIcon::Warning);
        }
    }
    m_flowRunning = false;
    ShowStoredState();
    if (m_box)
        m_box->setFocus();
    return stored;
}
