#include "ui/screens/CPasswordStartup.h"

#include "platform/MessageBox.h"
#include "platform/gui/PasswordVisibilityToggle.h"
#include "platform/gui/ResourceImages.h"
#include "resources/ResourceIds.h"
#include "settings/DataProtection.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr quint32 kNativeLockMask = 0x2;
}

CPasswordStartup::CPasswordStartup(QWidget* parent, Purpose purpose)
    : CBlackDialog(kIddPasswordStartup, parent), m_purpose(purpose)
{
    // The task bar names the window by its caption.
    setWindowTitle(QStringLiteral("Velumina"));
    setWindowIcon(ResourceIcon(kIdiMainIcon));
}

CPasswordStartup::~CPasswordStartup() = default;

bool CPasswordStartup::OnInitDialog()
{
    if (!CBlackDialog::OnInitDialog())
        return false;
    m_field = ControlAs<QLineEdit>(kIdcPasswordStartup);
    m_capsLockHint = ControlAs<QLabel>(kIdcPasswordCapsLock);
    if (!m_field || !m_capsLockHint)
        return false;
    new PasswordVisibilityToggle(m_field);
    m_field->installEventFilter(this);
    m_capsLockHint->hide();
    if (m_purpose == Purpose::SwitchOff) {
        if (auto* text = ControlAs<QLabel>(kIdcPasswordPromptText))
            text->setText(QStringLiteral("Type your current password to switch protection off."));
    }
    m_field->setFocus();
    return true;
}

QString CPasswordStartup::WrongPasswordText(int failures)
{
    if (failures < 2)
        return QStringLiteral("Wrong password!");
    return QStringLiteral("Wrong password!\n\nVelumina checks the password by opening your data file with it. If "
                          "you are sure it is right, the file was changed or damaged since it was saved; it stays as "
                          "it is.");
}

void CPasswordStartup::OnOK()
{
    const QString text = m_field->text();
    QString message;
    DataProtection::Unlock result = DataProtection::Unlock::WrongPassword;
    if (m_purpose == Purpose::Startup)
        result = DataProtection::OpenSession(text, message);
    else if (DataProtection::IsCurrentPassword(text))
        result = DataProtection::Unlock::Opened;
    switch (result) {
    case DataProtection::Unlock::Opened:
        // A conversion that could not be written is said; the days stay as they were.
        if (!message.isEmpty())
            ShowMessage(message, MessageButtons::Ok, MessageIcon::Warning);
        m_password = text;
        done(QDialog::Accepted);
        return;
    case DataProtection::Unlock::WrongPassword:
        ShowMessage(WrongPasswordText(++m_failures), MessageButtons::Ok, MessageIcon::Warning);
        break;
    case DataProtection::Unlock::Damaged:
        ShowMessage(message, MessageButtons::Ok, MessageIcon::Error);
        break;
    }
    m_field->setFocus();
    m_field->selectAll();
}

bool CPasswordStartup::CapsLockOn(const QKeyEvent& event)
{
    const bool locked = (event.nativeModifiers() & kNativeLockMask) != 0;
    // The modifiers of a key event are those from before the key: pressing Caps Lock flips them.
    if (event.key() == Qt::Key_CapsLock && event.type() == QEvent::KeyPress)
        return !locked;
    return locked;
}

bool CPasswordStartup::IsCapsLockHintShown() const
{
    return m_capsLockHint && !m_capsLockHint->isHidden();
}

bool CPasswordStartup::eventFilter(QObject* watched, QEvent* event)
{
    const bool keyPress = event->type() == QEvent::KeyPress;
    // A release of Caps Lock still carries the state from before its press.
    if (watched == m_field && (keyPress || event->type() == QEvent::KeyRelease)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (keyPress || key->key() != Qt::Key_CapsLock)
            m_capsLockHint->setVisible(CapsLockOn(*key));
    }
    return CBlackDialog::eventFilter(watched, event);
}
