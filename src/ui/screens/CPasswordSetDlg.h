#pragma once

#include "ui/toolkit/CBlackDialog.h"

#include <QString>

class QLineEdit;

/// "Set Password": the new password typed twice, with "OK" and "Cancel" soft keys. OK with an
/// empty first field asks whether to disable passwords; two copies that differ keep the
/// dialog open. The dialog stores nothing: its opener reads Password and PasswordGiven. The
/// fields keep their template's arrangement, centred in the page.
class CPasswordSetDlg : public CBlackDialog
{
    Q_OBJECT

public:
    explicit CPasswordSetDlg(QWidget* parent = nullptr);
    ~CPasswordSetDlg() override;

    bool OnInitDialog() override;
    void OnOK() override;

    /// The password accepted by OK.
    QString Password() const
    {
        return m_password;
    }
    /// False when OK accepted an empty password (the user agreed to disable passwords).
    bool PasswordGiven() const
    {
        return m_passwordGiven;
    }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* m_first = nullptr;
    QLineEdit* m_second = nullptr;
    QString m_password;
    bool m_passwordGiven = true;
};
