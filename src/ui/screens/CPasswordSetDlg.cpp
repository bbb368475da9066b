#include "ui/screens/CPasswordSetDlg.h"

#include "platform/MessageBox.h"
#include "platform/gui/PasswordVisibilityToggle.h"
#include "platform/gui/SoftKeyBar.h"
#include "resources/ResourceIds.h"

#include <QLineEdit>
#include <QResizeEvent>

#include <algorithm>

CPasswordSetDlg::CPasswordSetDlg(QWidget* parent) : CBlackDialog(kIddPasswordSet, parent)
{
}

CPasswordSetDlg::~CPasswordSetDlg() = default;

bool CPasswordSetDlg::OnInitDialog()
{
    if (!CBlackDialog::OnInitDialog())
        return false;
    m_first = ControlAs<QLineEdit>(kIdcPasswordFirst);
    m_second = ControlAs<QLineEdit>(kIdcPasswordSecond);
    if (!m_first || !m_second)
        return false;
    for (QLineEdit* field : {m_first, m_second})
        new PasswordVisibilityToggle(field);
    CreateMenuBar(kMenuOkCancel);
    return true;
}

void CPasswordSetDlg::OnOK()
{
    const QString first = m_first->text();
    const QString second = m_second->text();
    if (first.isEmpty()) {
        const MessageAnswer answer = ShowMessage(QStringLiteral("Empty password! Do you want to disable passwords?"),
                                                 MessageButtons::YesNo, MessageIcon::Information);
        if (answer != MessageAnswer::Yes) {
            m_first->setFocus();
            return;
        }
    }
    if (first != second) {
        ShowMessage(QStringLiteral("The two password copies do not match - please re-enter the paswords"),
                    MessageButtons::Ok, MessageIcon::Warning);
        m_first->setFocus();
        m_first->selectAll();
        return;
    }
    m_password = first;
    // Whatever was answered before, the copies that close the dialog decide: a matching
    // non-empty password is always a password given.
    m_passwordGiven = !first.isEmpty();
    done(QDialog::Accepted);
}

void CPasswordSetDlg::resizeEvent(QResizeEvent* event)
{
    CBlackDialog::resizeEvent(event);
    CentreTemplateBlock();
}
