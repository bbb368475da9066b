#include "ui/screens/CPasswordStartup.h"

#include "platform/MessageBox.h"
#include "platform/gui/PasswordVisibilityToggle.h"
#include "platform/gui/ResourceImages.h"
#include "resources/ResourceIds.h"
#include "settings/PasswordStore.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr quint32 kNativeLockMask = 0x2;
}

CPasswordStartup::CPasswordStartup(QWidget* parent) : CBlackDialog(kIddPasswordStartup, parent)
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
    m_field->setFocus();
    return true;
}

void CPasswordStartup::OnOK()
{
    if (ThePasswordStore().Check(m_field->text())) {
        done(QDialog::Accepted);
        return;
    }
    ShowMessage(QStringLiteral("Wrong password!"), MessageButtons::Ok, MessageIcon::Warning);
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
